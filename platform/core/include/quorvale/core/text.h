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

char UpperChar(char c);
char LowerChar(char c);
std::string UpperCase(std::string text);
std::string LowerCase(std::string text);

// Equality and order without case.
bool SameText(std::string_view a, std::string_view b);
bool TextLess(std::string_view a, std::string_view b);

// Equality and order without case on code page 936 bytes: the byte after a
// lead byte is the second half of a character, compared as it is, never a
// letter to fold.
bool Cp936SameText(std::string_view a, std::string_view b);
bool Cp936TextLess(std::string_view a, std::string_view b);

}  // namespace quorvale
