#include "quorvale/providers/http_request.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "quorvale/core/err.h"

namespace quorvale {
namespace {

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

Variant Fetch(const std::string& url) {
  HttpRequest req;
  req.Open("GET", url, false);
  req.Send();
  return req.ReadyState() == 4 ? req.ResponseBody() : Variant();
}

TEST(HttpRequest, BodyOfAnyStatusComesBack) {
  LoopbackAgent agent;
  struct Case {
    int status;
    std::string body;
  } cases[] = {{200, "\xD6\xD0OK"}, {404, "not here"}, {500, "boom"}, {200, ""}};
  for (const auto& c : cases) {
    agent.status_ = c.status;
    agent.body_ = c.body;
    Variant got = Fetch(agent.Url("/GetState?ServerPassWord=pw&SiteNum=12"));
    ASSERT_NE(got.AsBytes(), nullptr) << c.status;
    EXPECT_EQ(std::string(got.AsBytes()->begin(), got.AsBytes()->end()), c.body);
  }
  EXPECT_EQ(agent.target_, "/GetState?ServerPassWord=pw&SiteNum=12");
  EXPECT_EQ(agent.headers_.count("Accept"), 0u);
  EXPECT_EQ(agent.headers_.count("User-Agent"), 0u);
}

TEST(HttpRequest, IncompleteRequestsGiveEmpty) {
  int closed_port;
  {
    LoopbackAgent gone;
    closed_port = gone.port_;
  }
  const std::string urls[] = {
      "http://127.0.0.1:" + std::to_string(closed_port) + "/Hello?ServerPassWord=",
      "",
      "http://:80/Hello",
      "ftp://127.0.0.1/x",
  };
  for (const auto& url : urls) {
    HttpRequest req;
    req.Open("GET", url, false);
    req.Send();
    EXPECT_NE(req.ReadyState(), 4) << url;
    EXPECT_TRUE(req.ResponseBody().IsEmpty()) << url;
  }
}

TEST(HttpRequest, MisuseRaises) {
  HttpRequest req;
  EXPECT_THROW(req.Send(), RaisedError);
  EXPECT_THROW(req.Open("GET", "http://127.0.0.1/", true), RaisedError);
  EXPECT_EQ(req.ReadyState(), 0);
}

}  // namespace
}  // namespace quorvale
