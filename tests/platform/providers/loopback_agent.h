#pragma once

#include <httplib.h>

#include <string>
#include <thread>

namespace quorvale {

// A loopback server on an ephemeral port that records what it was asked and
// answers with fixed bytes and status.
class LoopbackAgent {
 public:
  LoopbackAgent() {
    server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      target_ = req.target;
      headers_ = req.headers;
      res.status = status_;
      res.set_content(body_, "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  ~LoopbackAgent() {
    server_.stop();
    thread_.join();
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  httplib::Server server_;
  int port_ = 0;
  int status_ = 200;
  std::string body_;
  std::string target_;
  httplib::Headers headers_;
  std::thread thread_;
};

}  // namespace quorvale
