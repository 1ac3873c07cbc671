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

// One libcurl handle per thread, kept between requests, so that its transfer
// machinery (buffers, the wake-up pair of its multi handle) is made once.
// Nothing it keeps changes a request: each connection closes when its
// request ends and no name stays resolved, as with a fresh handle.
class ThreadHandle {
 public:
  ThreadHandle() : curl_(curl_easy_init()) {
    if (!curl_) return;
    // Only Host goes with the request: drop the Accept line libcurl would add.
    static curl_slist* const headers = curl_slist_append(nullptr, "Accept:");
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, HttpRequest::kConnectTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT, HttpRequest::kTotalTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl_, CURLOPT_DNS_CACHE_TIMEOUT, 0L);
  }
  ~ThreadHandle() {
    if (curl_) curl_easy_cleanup(curl_);
  }
  ThreadHandle(const ThreadHandle&) = delete;
  ThreadHandle& operator=(const ThreadHandle&) = delete;
  CURL* get() const { return curl_; }

 private:
  CURL* curl_;
};

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
  thread_local ThreadHandle handle;
  CURL* curl = handle.get();
  if (!curl) return;
  Sink sink{&body_};
  curl_easy_setopt(curl, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  const CURLcode code = curl_easy_perform(curl);
  // The URL and the sink belong to this request only.
  curl_easy_setopt(curl, CURLOPT_URL, nullptr);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
  if (code != CURLE_OK || sink.overflow) {
    body_.clear();
    return;
  }
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status_);
  state_ = 4;
}

Variant HttpRequest::ResponseBody() const {
  if (state_ != 4) return Variant();
  return Variant(Bytes(body_.begin(), body_.end()));
}

}  // namespace quorvale
