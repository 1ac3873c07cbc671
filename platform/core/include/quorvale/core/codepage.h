// Text is UTF-8 inside the system; code page 936 (GBK) at the boundaries
// where Windows programs, files and the agent expect it.
#pragma once

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

}  // namespace quorvale
