#include "quorvale/providers/http_request.h"

#include <curl/curl.h>

#include <memory>

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"

namespace quorvale {

namespace {

struct CurlGlobal {
  CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
  ~CurlGlobal() { curl_global_cleanup(); }
};

struct Sink {
  std::string* body;
  bool overflow = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  size_t n = size * count;
  if (sink->body->size() + n > HttpRequest::kMaxBodyBytes) {
    sink->overflow = true;
    return 0;
  }
  sink->body->append(data, n);
  return n;
}

}  // namespace

void HttpRequest::Open(std::string method, std::string url, bool async) {
  if (async) Raise(Error::kInternal, "asynchronous requests are not supported");
  method_ = std::move(method);
  url_ = std::move(url);
  body_.clear();
  status_ = 0;
  state_ = 1;
}

void HttpRequest::Send() {
  static CurlGlobal global;
  if (state_ != 1) Raise(Error::kInternal, "request not opened");
  if (method_ != "GET") Raise(Error::kInternal, "only GET is supported");
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return;
  // Only Host goes with the request: drop the Accept line libcurl would add.
  static curl_slist* const headers = curl_slist_append(nullptr, "Accept:");
  Sink sink{&body_};
  curl_easy_setopt(curl.get(), CURLOPT_URL, url_.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, kTotalTimeoutSeconds);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http");
  if (curl_easy_perform(curl.get()) != CURLE_OK || sink.overflow) {
    body_.clear();
    return;
  }
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status_);
  state_ = 4;
}

Variant HttpRequest::ResponseBody() const {
  if (state_ != 4) return Variant();
  return Variant(Bytes(body_.begin(), body_.end()));
}

}  // namespace quorvale
