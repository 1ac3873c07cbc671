// Conversions at the Windows boundary: text inside the program is UTF-8,
// "ANSI" text at the boundary is code page 936.
#pragma once

#include <optional>
#include <string>

namespace quorvale::win32 {

// Nothing when the text has a character code page 936 lacks.
std::optional<std::string> ToAnsi(const std::string& utf8);
// Bytes code page 936 does not hold become U+FFFD.
std::string FromAnsi(const std::string& ansi);

}  // namespace quorvale::win32
