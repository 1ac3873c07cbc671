// Lines of a word-wrapping label, measured by a font of fixed widths: 6
// pixels for an ASCII character, 12 for any other.
#include "quorvale/ui/fltk/line_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvale::ui::fltk {
namespace {

double FixedWidths(std::string_view run) {
  double w = 0;
  for (unsigned char c : run) {
    if (c < 0x80)
      w += 6;
    else if ((c & 0xC0) != 0x80)
      w += 12;
  }
  return w;
}

TEST(LineLayout, BreaksAsAChineseWindowsLabel) {
  struct Case {
    const char* name;
    const char* text;
    double width;
    std::vector<std::string> lines;
  } cases[] = {
      {"empty", "", 100, {""}},
      {"at a blank", "abc def ghi", 42, {"abc def", "ghi"}},
      {"blanks at a break go", "abc   def", 30, {"abc", "def"}},
      {"leading blanks stay", "  abc def", 30, {"  abc", "def"}},
      {"trailing blanks go", "abc   ", 18, {"abc"}},
      {"a long word breaks", "abcdefghij", 30, {"abcde", "fghij"}},
      {"a long word on a line of its own", "ab abcdefghij", 30, {"ab", "abcde", "fghij"}},
      {"every character wider than the label", "ab", 0, {"a", "b"}},
      {"between Chinese characters", "一二三四五六", 36, {"一二三", "四五六"}},
      {"no line starts with a closing mark", "一二，三四", 24, {"一", "二，", "三四"}},
      {"nor ends with an opening mark", "一“二”三", 36, {"一", "“二”", "三"}},
      {"beside Chinese characters", "安装Quorvale系统", 60, {"安装", "Quorvale系", "统"}},
      {"not before an enumeration comma", "IIS、PHP、CGI", 30, {"IIS、", "PHP、", "CGI"}},
      {"not inside a Latin word", "版本v3.0版", 24, {"版本", "v3.0", "版"}},
      {"CR LF, LF and CR end lines", "一\r\n二\n三\r四\r\n", 100, {"一", "二", "三", "四", ""}},
      {"an empty line between", "甲\r\n\r\n乙", 100, {"甲", "", "乙"}},
      {"line ends and wrapping", "abc def\r\nghi", 18, {"abc", "def", "ghi"}},
      {"a byte that starts no character",
       "a\xff"
       "b",
       100,
       {"a\xff"
        "b"}},
  };
  for (const auto& c : cases) {
    const std::string_view text = c.text;
    const auto lines = LayoutLines(text, c.width, FixedWidths);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), c.lines) << c.name;
    for (std::string_view line : lines) {
      EXPECT_TRUE(line.data() >= text.data() && line.data() + line.size() <= text.data() + text.size())
          << c.name << ": a line outside the text";
    }
  }
}

TEST(LineLayout, EveryLineFitsUnlessOneCharacterDoesNot) {
  const std::string text =
      "安装被控端程序之前请确认您已经安装该服务器上即将提供服务的相关程序，如：IIS、PHP、CGI、Serv-U、"
      "Imail或WinWebMail、SQL Server、MySQL以及MySQL ODBC驱动等。";
  for (double width : {12.0, 40.0, 100.0, 313.0, 1000.0}) {
    std::string joined;
    for (std::string_view line : LayoutLines(text, width, FixedWidths)) {
      EXPECT_LE(FixedWidths(line), width) << line;
      joined += line;
    }
    // Nothing lost but blanks where lines broke.
    auto without_blanks = [](std::string s) {
      std::erase(s, ' ');
      return s;
    };
    EXPECT_EQ(without_blanks(joined), without_blanks(text)) << width;
  }
}

}  // namespace
}  // namespace quorvale::ui::fltk
