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

char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string UpperCase(std::string text) {
  for (char& c : text) c = UpperChar(c);
  return text;
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerChar(x) == LowerChar(y); });
}

bool TextLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(LowerChar(x)) < static_cast<unsigned char>(LowerChar(y));
  });
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
