#include "quorvale/core/text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quorvale {
namespace {

TEST(Text, CountsAndCutsCharactersNotBytes) {
  struct Case {
    const char* text;
    std::size_t count;
    std::size_t n;
    const char* first;
  };
  const Case cases[] = {
      {"", 0, 3, ""},           {"C:\\WINDOWS", 10, 3, "C:\\"},
      {"主控端", 3, 2, "主控"}, {"D:\\中文", 5, 4, "D:\\中"},
      {"ab", 2, 5, "ab"},       {"é€𝄞x", 4, 3, "é€𝄞"},
      {"中文", 2, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CharCount(c.text), c.count);
    EXPECT_EQ(FirstChars(c.text, c.n), c.first);
  }
}

TEST(Text, CharactersGiveWhereEachStartsAndItsCodePoint) {
  using Chars = std::vector<std::pair<std::size_t, char32_t>>;
  struct Case {
    const char* name;
    std::string text;
    Chars chars;
  };
  const std::vector<Case> cases = {
      {"empty", "", {}},
      {"one to four bytes", "aé中𝄞", {{0, U'a'}, {1, U'é'}, {3, U'中'}, {6, U'𝄞'}}},
      // A byte that starts nothing valid stands alone; decoding goes on.
      {"lone continuation byte", "\x80z", {{0, 0x80}, {1, U'z'}}},
      {"lead without its continuation",
       "\xE4"
       "A中",
       {{0, 0xE4}, {1, U'A'}, {2, U'中'}}},
      {"cut off at the end", "x\xE4\xB8", {{0, U'x'}, {1, 0xE4}, {2, 0xB8}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Chars got;
    for (const auto& ch : Characters(c.text)) got.emplace_back(ch.offset, ch.code);
    EXPECT_EQ(got, c.chars);
  }
}

TEST(Text, OnlyAsciiLettersChangeCase) {
  struct Case {
    const char* text;
    const char* upper;
    const char* lower;
  };
  const Case cases[] = {
      {"mssql-中文-Ab1", "MSSQL-中文-AB1", "mssql-中文-ab1"},
      {"Windows Server 2003", "WINDOWS SERVER 2003", "windows server 2003"},
      {"ＡＢｃ", "ＡＢｃ", "ＡＢｃ"},  // full-width letters stay
      {"é[`{@", "é[`{@", "é[`{@"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(UpperCase(c.text), c.upper);
    EXPECT_EQ(LowerCase(c.text), c.lower);
  }
}

TEST(Text, TrimTakesOnlySpacesAtTheEnds) {
  const std::pair<std::string, std::string> cases[] = {
      {"  C:\\Serv-U\\ServUDaemon.ini ", "C:\\Serv-U\\ServUDaemon.ini"},
      {"   ", ""},
      {"", ""},
      {"a b", "a b"},
      {"\tx\t", "\tx\t"},  // tabs stay
      {" \xD6\xD0 ", "\xD6\xD0"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Trim(in), out) << in;
}

TEST(Text, ComparesWithoutCase) {
  struct Case {
    std::string a, b;
    bool same;
    bool less;  // a before b, without case
    bool cp936_same;
  };
  const std::vector<Case> cases = {
      {"IIS://LocalHost", "iis://localhost", true, false, true},
      {"abc", "ABD", false, true, false},
      {"ab", "ABC", false, true, false},
      {"[", "a", false, true, false},  // letters fold to lower case: '[' sorts before 'a'
      {"\xD6\xD0"
       "A",
       "\xD6\xD0"
       "a",
       true, false, true},  // "中A" in code page 936
      // Code page 936 bytes: 0xB0 0x41 is one character whose second half
      // reads as "A"; it is not the same as 0xB0 0x61.
      {"\xB0\x41", "\xB0\x61", true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(SameText(c.a, c.b), c.same);
    EXPECT_EQ(TextLess(c.a, c.b), c.less);
    EXPECT_EQ(Cp936SameText(c.a, c.b), c.cp936_same);
    EXPECT_FALSE(Cp936TextLess(c.a, c.a));
  }
  EXPECT_TRUE(Cp936TextLess("\xB0\x41", "\xB0\x61"));
  EXPECT_FALSE(Cp936TextLess("\xB0\x61", "\xB0\x41"));
  EXPECT_TRUE(Cp936TextLess("A", "b"));
}

}  // namespace
}  // namespace quorvale
