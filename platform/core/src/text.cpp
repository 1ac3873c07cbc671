#include "quorvale/core/text.h"

#include <algorithm>

namespace quorvale {

namespace {
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }
bool Cp936Lead(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}
}  // namespace

std::size_t CharCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), StartsCharacter));
}

std::string FirstChars(std::string_view text, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < text.size(); ++i) {
    if (StartsCharacter(text[i]) && count++ == n) break;
  }
  return std::string(text.substr(0, i));
}

std::vector<TextChar> Characters(std::string_view text) {
  std::vector<TextChar> out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + len > text.size()) len = 1;
    char32_t code = len == 1 ? lead : lead & (0x3F >> (len - 1));
    for (std::size_t k = 1; k < len; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        len = 1;
        code = lead;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    out.push_back({i, code});
    i += len;
  }
  return out;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = UpperChar(c);
  return text;
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool TextLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(LowerChar(a[i])),
               y = static_cast<unsigned char>(LowerChar(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// -1, 0 or 1 as a sorts before, with or after b.
int Cp936Compare(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (Cp936Lead(a[i]) && x == y && i + 1 < n) {
      ++i;
      x = static_cast<unsigned char>(a[i]);
      y = static_cast<unsigned char>(b[i]);
    } else {
      x = static_cast<unsigned char>(LowerChar(a[i]));
      y = static_cast<unsigned char>(LowerChar(b[i]));
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool Cp936SameText(std::string_view a, std::string_view b) { return Cp936Compare(a, b) == 0; }
bool Cp936TextLess(std::string_view a, std::string_view b) { return Cp936Compare(a, b) < 0; }

}  // namespace quorvale
