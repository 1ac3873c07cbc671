#include "quorvale/setup/value_rules.h"

#include <vector>

#include "quorvale/core/codepage.h"
#include "quorvale/core/text.h"

namespace quorvale::setup {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

bool ControlByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 0x20 || b == 0x7F;
}

// The bytes of character i of text, split by Characters.
std::string_view CharacterAt(std::string_view text, const std::vector<TextChar>& chars, std::size_t i) {
  const std::size_t end = i + 1 < chars.size() ? chars[i + 1].offset : text.size();
  return text.substr(chars[i].offset, end - chars[i].offset);
}

// The character's code page 936 bytes, when it has them and they read back
// as the same character.
std::optional<std::string> AnsiOf(std::string_view character) {
  auto ansi = Utf8ToCp936(character);
  if (!ansi || Cp936ToUtf8(*ansi) != character) return std::nullopt;
  return ansi;
}

// The first character of value that code page 936 lacks, as the message
// shows it; nothing when it holds them all.
std::optional<std::string> LackedCharacter(std::string_view value) {
  if (AnsiOf(value)) return std::nullopt;
  const auto chars = Characters(value);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const std::string_view one = CharacterAt(value, chars, i);
    if (AnsiOf(one)) continue;
    // A byte that starts no character, or half of a surrogate pair, shows as U+FFFD.
    const char32_t code = chars[i].code;
    const bool stray = (one.size() == 1 && code >= 0x80) || (code >= 0xD800 && code < 0xE000);
    return stray ? std::string(kReplacement) : std::string(one);
  }
  return std::string(kReplacement);
}

// "a b c" from "abc".
std::string Spaced(std::string_view characters) {
  std::string out;
  for (char c : characters) (out += out.empty() ? "" : " ") += c;
  return out;
}

bool Quote(char c) { return c == '"' || c == '\''; }

}  // namespace

std::size_t AnsiLength(std::string_view text) {
  if (auto ansi = Utf8ToCp936(text)) return ansi->size();
  std::size_t n = 0;
  const auto chars = Characters(text);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    auto one = Utf8ToCp936(CharacterAt(text, chars, i));
    n += one ? one->size() : 1;
  }
  return n;
}

std::optional<std::string> RefusalOf(std::string_view value, const ValueRule& rule) {
  const std::string name = rule.name;
  for (char c : value)
    if (ControlByte(c)) return name + "中不能包含换行、制表符等控制字符!";
  if (auto c = LackedCharacter(value))
    return name + "中的字符“" + *c + "”不能用简体中文(GBK)编码保存,请换用其他字符!";
  const std::string_view refused = rule.refused;
  if (value.find_first_of(refused) != std::string_view::npos)
    return name + "中不能包含以下字符：" + Spaced(refused);
  if (value.empty()) return std::nullopt;
  if (value.front() == ' ' || value.back() == ' ') return name + "的开头和结尾不能是空格!";
  if (value.size() >= 2 && Quote(value.front()) && value.back() == value.front())
    return name + "不能用一对引号括起来!";
  const std::size_t bytes = AnsiLength(value);
  if (rule.folder) {
    const std::size_t most = rule.longest > rule.inside ? rule.longest - rule.inside : 0;
    if (bytes > most)
      return name + "太长!安装到其中的文件的路径不能超过" + std::to_string(rule.longest) +
             "个字符(一个汉字按两个字符计),所以它最多可以有" + std::to_string(most) +
             "个字符,请选择较短的路径!";
  } else if (bytes > rule.longest) {
    return name + "太长,不能超过" + std::to_string(rule.longest) + "个字符(一个汉字按两个字符计)!";
  }
  return std::nullopt;
}

}  // namespace quorvale::setup
