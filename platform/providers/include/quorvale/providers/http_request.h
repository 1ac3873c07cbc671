// The HTTP request behind MSXML2.XMLHTTP: one connection per request,
// synchronous GET, nothing added to the request but what HTTP needs.
#pragma once

#include <optional>
#include <string>

#include "quorvale/core/variant.h"

namespace quorvale {

class HttpRequest {
 public:
  // Limits of the client: a request that passes one does not complete.
  static constexpr long kConnectTimeoutSeconds = 30;
  static constexpr long kTotalTimeoutSeconds = 300;
  static constexpr std::size_t kMaxBodyBytes = 64u << 20;

  // Prepares a request. Only synchronous requests are supported; an
  // asynchronous one raises.
  void Open(std::string method, std::string url, bool async);
  // Sends the request and waits for the whole response (or the failure).
  void Send();
  // 1 after Open, 4 once a response has arrived completely, 0 before Open.
  int ReadyState() const { return state_; }
  // The whole body as bytes once the request completed, Empty otherwise.
  Variant ResponseBody() const;
  long Status() const { return status_; }

 private:
  std::string method_;
  std::string url_;
  std::string body_;
  long status_ = 0;
  int state_ = 0;
};

}  // namespace quorvale
