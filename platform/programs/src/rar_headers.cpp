#include "rar_headers.h"

#include <cstdint>
#include <fstream>

namespace quorvale::programs {

namespace {

constexpr std::string_view kSignature{"Rar!\x1A\x07\x00", 7};
constexpr std::uint8_t kFileHead = 0x74;
constexpr std::uint8_t kEndHead = 0x7B;
constexpr std::uint16_t kLongBlock = 0x8000;
constexpr std::uint16_t kLargeFile = 0x0100;

std::uint32_t Get(const unsigned char* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

}  // namespace

std::optional<std::vector<MemberHeader>> MemberHeaders(const std::filesystem::path& archive) {
  std::ifstream in(archive, std::ios::binary);
  char signature[7];
  if (!in.read(signature, 7) || std::string_view(signature, 7) != kSignature) return std::nullopt;
  std::vector<MemberHeader> sums;
  std::uint64_t position = 7;
  while (true) {
    unsigned char head[32] = {};
    in.seekg(static_cast<std::streamoff>(position));
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const auto got = in.gcount();
    in.clear();
    if (got == 0) return sums;  // no end block: the archive simply ends
    if (got < 7) return std::nullopt;
    const std::uint8_t type = head[2];
    const std::uint16_t flags = static_cast<std::uint16_t>(Get(head + 3, 2));
    const std::uint32_t size = Get(head + 5, 2);
    if (size < 7) return std::nullopt;
    std::uint64_t data = 0;
    if (flags & kLongBlock) {
      if (got < 11) return std::nullopt;
      data = Get(head + 7, 4);
    }
    if (type == kFileHead) {
      if (got < 32) return std::nullopt;
      MemberHeader member;
      member.crc = Get(head + 16, 4);
      const std::uint32_t name_size = Get(head + 26, 2);
      char first = 0;
      in.seekg(static_cast<std::streamoff>(position + 32 + ((flags & kLargeFile) ? 8 : 0)));
      if (name_size > 0 && !in.read(&first, 1)) return std::nullopt;
      member.absolute = first == '\\' || first == '/';
      sums.push_back(member);
      if ((flags & kLargeFile) && got >= 32) {
        // The high half of the packed size lies after the fixed fields.
        unsigned char high[4];
        in.seekg(static_cast<std::streamoff>(position + 32));
        if (!in.read(reinterpret_cast<char*>(high), 4)) return std::nullopt;
        data |= static_cast<std::uint64_t>(Get(high, 4)) << 32;
      }
    }
    if (type == kEndHead) return sums;
    // A block that claims more bytes than any file holds would take the
    // position round to where it was, and the reading would never end.
    if (data > UINT64_MAX - position - size) return std::nullopt;
    position += size + data;
  }
}

}  // namespace quorvale::programs
