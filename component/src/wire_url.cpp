// The agent command URL as it goes on the wire: what would break the
// request line is percent-encoded, and every character outside ASCII goes as
// its code-page-936 bytes (its UTF-8 bytes where code page 936 has no place
// for it), each byte percent-encoded.
#include <array>

#include "quorvale/component/code.h"
#include "quorvale/core/codepage.h"

namespace quorvale::component {

namespace {

void AppendEncoded(std::string& out, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out += '%';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
}

// Whether a byte goes as it stands: printable ASCII but "#".
constexpr auto kRaw = [] {
  std::array<bool, 256> raw{};
  for (int b = 0x21; b < 0x7F; ++b) raw[static_cast<std::size_t>(b)] = b != '#';
  return raw;
}();
bool Raw(char c) { return kRaw[static_cast<unsigned char>(c)]; }

// The length of the UTF-8 character that starts at text[at], or 0 when no
// well-formed one starts there.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (n == 0 || at + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

std::string WireUrl(std::string text) {
  const std::string_view url(text);
  // A URL with nothing to encode goes as it stands.
  std::size_t plain = 0;
  while (plain < url.size() && Raw(url[plain])) ++plain;
  if (plain == url.size()) return text;
  std::string out;
  out.reserve(url.size() + url.size() / 2);
  for (std::size_t i = 0; i < url.size();) {
    // A run that goes as it stands.
    std::size_t end = i;
    while (end < url.size() && Raw(url[end])) ++end;
    out.append(url.substr(i, end - i));
    if (end == url.size()) break;
    i = end;
    const std::size_t n = static_cast<unsigned char>(url[i]) < 0x80 ? 0 : CharacterLength(url, i);
    if (n == 0) {  // a control byte, blank, DEL, "#" or a stray byte
      AppendEncoded(out, url.substr(i, 1));
      ++i;
      continue;
    }
    const std::string_view character = url.substr(i, n);
    const auto cp936 = Utf8ToCp936(character);
    AppendEncoded(out, cp936 ? std::string_view(*cp936) : character);
    i += n;
  }
  return out;
}

}  // namespace quorvale::component
