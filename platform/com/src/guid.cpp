#include <cstdio>

#include "quorvale/com/unknown.h"

namespace quorvale {

std::optional<Guid> Guid::Parse(const std::string& text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  auto hex = [&](std::size_t pos, std::size_t len, std::uint64_t& out) {
    out = 0;
    for (std::size_t i = pos; i < pos + len; ++i) {
      char c = text[i];
      int d = (c >= '0' && c <= '9')   ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                       : -1;
      if (d < 0) return false;
      out = out * 16 + static_cast<std::uint64_t>(d);
    }
    return true;
  };
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return std::nullopt;
  Guid g;
  std::uint64_t v;
  if (!hex(1, 8, v)) return std::nullopt;
  g.data1 = static_cast<std::uint32_t>(v);
  if (!hex(10, 4, v)) return std::nullopt;
  g.data2 = static_cast<std::uint16_t>(v);
  if (!hex(15, 4, v)) return std::nullopt;
  g.data3 = static_cast<std::uint16_t>(v);
  const std::size_t pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!hex(pos[i], 2, v)) return std::nullopt;
    g.data4[i] = static_cast<std::uint8_t>(v);
  }
  return g;
}

std::string Guid::ToString() const {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2, data3,
                data4[0], data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
  return buf;
}

}  // namespace quorvale
