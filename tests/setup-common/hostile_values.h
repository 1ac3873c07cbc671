// The hostile values the pages' tables type into every box, and the
// messages that refuse them, spelled out as the boxes name themselves.
#pragma once

#include <string>
#include <vector>

namespace quorvale::setup::testing {

// What a hostile value is refused for when its box refuses it.
enum class Kind { kControl, kNotInGbk, kTooLong, kSign };

struct Hostile {
  const char* name;
  std::string value;
  Kind kind;
  const char* shown;  // the character the message shows (kNotInGbk) or the sign (kSign)
};

inline const std::vector<Hostile>& HostileValues() {
  static const std::vector<Hostile> values = {
      {"CR", "a\rb", Kind::kControl, nullptr},
      {"LF", "a\nb", Kind::kControl, nullptr},
      {"NUL", std::string("a\0b", 3), Kind::kControl, nullptr},
      {"tab", "a\tb", Kind::kControl, nullptr},
      {"ǅ", "aǅb", Kind::kNotInGbk, "ǅ"},
      {"emoji", "a😀b", Kind::kNotInGbk, "😀"},
      {"10,000 characters", std::string(10000, 'a'), Kind::kTooLong, nullptr},
      {"double quote", "a\"b", Kind::kSign, "\""},
      {"single quote", "a'b", Kind::kSign, "'"},
      {"semicolon", "a;b", Kind::kSign, ";"},
      {"closing brace", "a}b", Kind::kSign, "}"},
      {"comma", "a,b", Kind::kSign, ","},
      {"backslash", "a\\b", Kind::kSign, "\\"},
      {"ampersand", "a&b", Kind::kSign, "&"},
      {"percent sign", "a%b", Kind::kSign, "%"},
  };
  return values;
}

inline std::string Repeat(const std::string& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

inline std::string TooLong(const std::string& box, int most) {
  return box + "太长,不能超过" + std::to_string(most) + "个字符(一个汉字按两个字符计)!";
}
inline std::string FolderTooLong(const std::string& box, int most) {
  return box + "太长!安装到其中的文件的路径不能超过259个字符(一个汉字按两个字符计),所以它最多可以有" +
         std::to_string(most) + "个字符,请选择较短的路径!";
}

// How a box refuses a hostile value: its message for 10,000 characters, its
// own signs and their message. "" when the box takes the value.
struct BoxRefusals {
  std::string name;  // the box as its messages name it
  std::string too_long;
  std::string own;  // its own signs ("": none)
  std::string own_message;
};

inline std::string ExpectedRefusal(const Hostile& h, const BoxRefusals& box) {
  switch (h.kind) {
    case Kind::kControl: return box.name + "中不能包含换行、制表符等控制字符!";
    case Kind::kNotInGbk:
      return box.name + "中的字符“" + h.shown + "”不能用简体中文(GBK)编码保存,请换用其他字符!";
    case Kind::kTooLong: return box.too_long;
    case Kind::kSign: return box.own.find(h.shown) != std::string::npos ? box.own_message : "";
  }
  return "";
}

}  // namespace quorvale::setup::testing
