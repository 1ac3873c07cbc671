#include "quorvale/core/codepage.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(Cp936, RoundTrips) {
  struct Case {
    const char* utf8;
    const char* gbk;
  } cases[] = {
      {"abc", "abc"},
      {"中文", "\xD6\xD0\xCE\xC4"},
      // 镕 is in GBK but not in GB2312.
      {"镕", "\xE9\x46"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp936ToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(Utf8ToCp936(c.utf8), std::string(c.gbk));
  }
}

TEST(Cp936, BadInputs) {
  // A lone lead byte at the end and an invalid pair decode to U+FFFD.
  EXPECT_EQ(Cp936ToUtf8("a\xD6"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp936ToUtf8("\xFF"
                        "b"),
            "\xEF\xBF\xBD"
            "b");
  // A character outside the code page and broken UTF-8 do not encode.
  EXPECT_EQ(Utf8ToCp936("\xF0\x9F\x98\x80"), std::nullopt);
  EXPECT_EQ(Utf8ToCp936("\xC3"), std::nullopt);
}

}  // namespace
}  // namespace quorvale
