#include "quorvale/providers/http_request.h"

#include <gtest/gtest.h>

#include "loopback_agent.h"
#include "quorvale/core/err.h"

namespace quorvale {
namespace {

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
