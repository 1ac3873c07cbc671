// The decoder of agent replies: any bytes through the stream, read as
// GB2312 (code page 936) or UTF-8 as the first byte chooses. The text is
// always well-formed UTF-8.
#include "fuzz_support.h"
#include "quorvale/providers/stream.h"

using namespace quorvale;

namespace {

bool WellFormed(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bool utf8 = size && (data[0] & 1);
  Stream stream;
  stream.SetType(Stream::kTypeBinary);
  stream.SetMode(3);
  stream.Open();
  stream.Write(Variant(Bytes(data, data + size)));
  stream.SetPosition(0);
  stream.SetType(Stream::kTypeText);
  stream.SetCharset(utf8 ? "UTF-8" : "GB2312");
  const Variant text = stream.ReadText();
  stream.Close();
  if (!utf8 && !WellFormed(*text.TextForm())) fuzz::Broken("a reply decodes to well-formed UTF-8");
  return 0;
}
