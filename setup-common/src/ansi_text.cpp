#include "ansi_text.h"

#include "quorvale/win32/ansi.h"

namespace quorvale::setup::detail {

namespace {

// Bytes of the UTF-8 sequence that starts with lead; 1 for a stray byte.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

std::string AnsiText(const std::string& utf8) {
  if (auto whole = win32::ToAnsi(utf8)) return *whole;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    auto one = win32::ToAnsi(utf8.substr(i, n));
    out += one ? *one : "?";
    i += n;
  }
  return out;
}

}  // namespace quorvale::setup::detail
