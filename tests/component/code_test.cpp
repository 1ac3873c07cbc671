#include "quorvale/component/code.h"

#include <gtest/gtest.h>

#include "raw_agent.h"
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

// The request line the agent receives, byte for byte, for a query text.
TEST_F(Transport, WireEncodingOnTheRequestLine) {
  struct Case {
    const char* password;
    const char* query;
    const char* target;
  } cases[] = {
      // ASCII goes as it stands, "%", "&", "=", "?" and "\" included.
      {"pw", "a=1&b=?=&c=%41|\\{}[]^`~'!$()*+,;:@",
       "/X?ServerPassWord=pw&a=1&b=?=&c=%41|\\{}[]^`~'!$()*+,;:@"},
      // Blanks, control bytes and DEL are encoded: no second line, no header.
      {"pw", "v=a b\tc\r\nHost: x\x01\x7F", "/X?ServerPassWord=pw&v=a%20b%09c%0D%0AHost:%20x%01%7F"},
      {"p w", "", "/X?ServerPassWord=p%20w"},
      // "#" would end the query as a fragment.
      {"pw", "v=#1&w=##", "/X?ServerPassWord=pw&v=%231&w=%23%23"},
      // Chinese as code page 936, every byte encoded, the ASCII trail bytes
      // of 镕 (E9 46), 誠 (D5 5C) and 輡 (DD 7C) too.
      {"pw", "d=目录", "/X?ServerPassWord=pw&d=%C4%BF%C2%BC"},
      {"pw", "d=镕誠輡", "/X?ServerPassWord=pw&d=%E9%46%D5%5C%DD%7C"},
      {"密码", "", "/X?ServerPassWord=%C3%DC%C2%EB"},
      // The euro sign is the single byte 80 of code page 936.
      {"pw", "v=€5", "/X?ServerPassWord=pw&v=%805"},
      // A character code page 936 cannot hold goes as its UTF-8 bytes and
      // changes nothing else of the request.
      {"pw", "d=目录&u=ß", "/X?ServerPassWord=pw&d=%C4%BF%C2%BC&u=%C3%9F"},
      {"pw", "d=目ß录😀", "/X?ServerPassWord=pw&d=%C4%BF%C3%9F%C2%BC%F0%9F%98%80"},
      {"pw",
       "d=a\xFF"
       "b",
       "/X?ServerPassWord=pw&d=a%FFb"},
  };
  RawAgent agent;
  for (const auto& c : cases) {
    EXPECT_EQ(SendCommand("127.0.0.1", std::int32_t{agent.Port()}, c.password, "X", c.query), Variant("ok"))
        << c.query;
    EXPECT_EQ(agent.RequestLine(), std::string("GET ") + c.target + " HTTP/1.1") << c.query;
  }
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
