// Text is UTF-8 inside the system; code page 936 (GBK) at the boundaries
// where Windows programs, files and the agent expect it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

// Decodes code-page-936 bytes. A byte sequence the code page does not hold
// becomes U+FFFD and decoding goes on after it.
std::string Cp936ToUtf8(std::string_view bytes);

// Encodes UTF-8 text to code page 936; nothing when a character has no place
// in the code page or the text is not valid UTF-8.
std::optional<std::string> Utf8ToCp936(std::string_view text);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t code_point);
// UTF-8 to UTF-16 and back, with surrogate pairs above U+FFFF.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace quorvale
