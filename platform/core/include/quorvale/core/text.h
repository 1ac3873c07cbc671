// The one set of text helpers. Text is UTF-8: lengths and "the first n
// characters" count code points, never bytes. Case follows code page 936:
// only the ASCII letters have an upper and a lower case; every other
// character, full-width letters included, stays as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

// Number of characters (code points).
std::size_t CharCount(std::string_view text);
// The first n characters; the whole text when it is shorter.
std::string FirstChars(std::string_view text, std::size_t n);

// One character: the byte where it starts and its code point.
struct TextChar {
  std::size_t offset;
  char32_t code;
};
// Every character in order. A byte that starts no valid sequence is one
// character of its own, with the byte's value as its code.
std::vector<TextChar> Characters(std::string_view text);

// ASCII letters only; inline, as member and key lookups fold every byte.
constexpr char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string UpperCase(std::string text);
std::string LowerCase(std::string text);
// Without the blanks (spaces only) at either end, as Basic's Trim.
std::string Trim(std::string_view text);

// Equality and order without case.
inline bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  return true;
}
bool TextLess(std::string_view a, std::string_view b);

// Equality and order without case on code page 936 bytes: the byte after a
// lead byte is the second half of a character, compared as it is, never a
// letter to fold.
bool Cp936SameText(std::string_view a, std::string_view b);
bool Cp936TextLess(std::string_view a, std::string_view b);

}  // namespace quorvale
