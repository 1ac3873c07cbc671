#include "quorvale/core/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "quorvale/core/text.h"

namespace quorvale {

namespace {

// A conversion descriptor of one direction. iconv_t is not shareable between
// threads, and opening one costs more than converting a short text, so each
// thread keeps one per direction for its lifetime.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; returns false at an invalid or incomplete
  // sequence, leaving in/left pointing at it.
  bool Run(const char*& in, size_t& left, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char buf[4096];
    while (left > 0) {
      char* inp = const_cast<char*>(in);
      char* outp = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &inp, &left, &outp, &room);
      out.append(buf, static_cast<size_t>(outp - buf));
      in = inp;
      if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

Converter& ToUtf8() {
  thread_local Converter conv("UTF-8", "CP936");
  return conv;
}

Converter& ToCp936() {
  thread_local Converter conv("CP936", "UTF-8");
  return conv;
}

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) {
  Converter& conv = ToUtf8();
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const char* in = bytes.data();
  size_t left = bytes.size();
  while (!conv.Run(in, left, out)) {
    out += "\xEF\xBF\xBD";
    // A lead byte followed by a byte that cannot trail it loses only the lead.
    ++in;
    --left;
  }
  return out;
}

std::optional<std::string> Utf8ToCp936(std::string_view text) {
  Converter& conv = ToCp936();
  std::string out;
  const char* in = text.data();
  size_t left = text.size();
  if (!conv.Run(in, left, out)) return std::nullopt;
  return out;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  for (const TextChar& c : Characters(s)) {
    std::uint32_t cp = c.code;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::uint32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[++i] - 0xDC00u);
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace quorvale
