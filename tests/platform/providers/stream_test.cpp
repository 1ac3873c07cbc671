#include "quorvale/providers/stream.h"

#include <gtest/gtest.h>

#include "quorvale/core/err.h"

namespace quorvale {
namespace {

// The decoding recipe of the component: binary write, rewind, read as text.
Variant Decode(const std::string& raw, const std::string& charset) {
  Stream s;
  s.SetType(Stream::kTypeBinary);
  s.SetMode(3);
  s.Open();
  s.Write(Variant(Bytes(raw.begin(), raw.end())));
  s.SetPosition(0);
  s.SetType(Stream::kTypeText);
  s.SetCharset(charset);
  Variant text = s.ReadText();
  s.Close();
  return text;
}

TEST(Stream, DecodesCodePage936) {
  struct Case {
    const char* raw;
    const char* charset;
    const char* text;
  } cases[] = {
      {"\xD6\xD0\xCE\xC4", "GB2312", "中文"},
      {"\xE9\x46", "GB2312", "镕"},  // outside GB2312, inside GBK
      {"ok", "gb2312", "ok"},
      {"", "GB2312", ""},
      {"\xE4\xB8\xAD", "utf-8", "中"},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.raw, c.charset), Variant(c.text)) << c.raw;
}

TEST(Stream, RefusesOutOfOrderUse) {
  Stream s;
  EXPECT_THROW(s.ReadText(), RaisedError);
  s.SetMode(3);
  s.Open();
  s.Write(Variant(Bytes{'a', 'b'}));
  EXPECT_THROW(s.SetType(Stream::kTypeText), RaisedError);  // not at position 0
  EXPECT_THROW(s.ReadText(), RaisedError);                  // binary stream
  EXPECT_THROW(s.Write(Variant("text")), RaisedError);
  EXPECT_THROW(s.SetPosition(3), RaisedError);
  s.SetPosition(0);
  EXPECT_THROW(s.SetCharset("koi8-r"), RaisedError);
}

}  // namespace
}  // namespace quorvale
