#include "quorvale/core/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace quorvale {

namespace {

// One conversion descriptor per direction and call; iconv_t is not shareable
// between threads.
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

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) {
  Converter conv("UTF-8", "CP936");
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
  Converter conv("CP936", "UTF-8");
  std::string out;
  const char* in = text.data();
  size_t left = text.size();
  if (!conv.Run(in, left, out)) return std::nullopt;
  return out;
}

}  // namespace quorvale
