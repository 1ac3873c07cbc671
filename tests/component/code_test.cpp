#include "quorvale/component/code.h"

#include <gtest/gtest.h>

#include "transport_fixture.h"

namespace quorvale::component {
namespace {

using Transport = TransportFixture;

TEST(CommandUrl, Recipe) {
  struct Case {
    Variant ip, port, password, command, query;
    std::optional<std::string> url;
  } cases[] = {
      {"h", std::int32_t{80}, "pw", "Hello", "", "http://h:80/Hello?ServerPassWord=pw"},
      {"h", std::int32_t{80}, "pw", "Hello", Variant(), "http://h:80/Hello?ServerPassWord=pw"},
      {"h", " 80 ", "", "GetState", "SiteNum=12", "http://h: 80 /GetState?ServerPassWord=&SiteNum=12"},
      {"h", 8080.0, Variant::Null(), "X", "a=1&b=2", "http://h:8080/X?ServerPassWord=&a=1&b=2"},
      {"h", Variant(Variant::Array{}), "pw", "X", "", std::nullopt},
      {"h", std::int32_t{80}, "pw", "X", Variant(Bytes{1}), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandUrl(c.ip, c.port, c.password, c.command, c.query), c.url);
}

TEST(WireUrl, EncodesOnlyWhatWouldBreakTheRequestLine) {
  struct Case {
    const char* url;
    const char* wire;
  } cases[] = {
      {"/X?a=1&b=?=", "/X?a=1&b=?="},
      {"/X?a=b c", "/X?a=b%20c"},
      {"/X?a=1\r\nHost: evil", "/X?a=1%0D%0AHost:%20evil"},
      {"/X?a=#frag&b=2", "/X?a=%23frag&b=2"},
      {"/X?d=中文.com", "/X?d=%D6%D0%CE%C4.com"},
      {"/X?t=\t\x7F", "/X?t=%09%7F"},
  };
  for (const auto& c : cases) EXPECT_EQ(WireUrl(c.url), c.wire) << c.url;
}

TEST_F(Transport, RepliesAndTargets) {
  agent_.body_ = "\xD6\xD0\xCE\xC4\xE9\x46";
  EXPECT_EQ(SendCommand("127.0.0.1", Port(), "pw", "GetState", "SiteNum=12"), Variant("中文镕"));
  EXPECT_EQ(agent_.target_, "/GetState?ServerPassWord=pw&SiteNum=12");
  agent_.status_ = 500;
  agent_.body_ = "err";
  EXPECT_EQ(SendCommand("127.0.0.1", Port(), "", "Hello", ""), Variant("err"));
  EXPECT_EQ(agent_.target_, "/Hello?ServerPassWord=");
  agent_.status_ = 404;
  agent_.body_ = "";
  EXPECT_EQ(SendCommand("127.0.0.1", Port(), "pw", "A", "v=x y#z&k=中"), Variant(""));
  EXPECT_EQ(agent_.target_, "/A?ServerPassWord=pw&v=x%20y%23z&k=%D6%D0");
}

TEST_F(Transport, NoAnswerIsEmpty) {
  agent_.target_ = "none";
  EXPECT_TRUE(SendCommand("127.0.0.1", Port(), Variant(Variant::Array{}), "Hello", "").IsEmpty());
  EXPECT_EQ(agent_.target_, "none");  // no request was sent
  int closed;
  {
    LoopbackAgent gone;
    closed = gone.port_;
  }
  EXPECT_TRUE(SendCommand("127.0.0.1", Variant(std::int32_t{closed}), "pw", "Hello", "").IsEmpty());
  EXPECT_TRUE(BytesToText(Variant(Bytes{'o', 'k'}), "GB2312") == Variant("ok"));
}

}  // namespace
}  // namespace quorvale::component
