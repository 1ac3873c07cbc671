// CRC-32 (polynomial 0xEDB88320) as RAR and ZIP compute it.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvale {

// Pass an earlier result as crc to go on over more bytes.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

}  // namespace quorvale
