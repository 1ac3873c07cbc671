// What the unpacker reads in the member headers of a RAR (version 4)
// archive itself: the data checksums, which the library that reads the
// archives does not check for stored members, and whether a name starts
// with a separator, which that library takes away.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "quorvale/core/crc32.h"

namespace quorvale::programs {

struct MemberHeader {
  std::uint32_t crc = 0;  // CRC-32 of the member's data
  bool absolute = false;  // its name starts with "\" or "/"
};

// The member headers in archive order (folders included); nothing for a
// file that is no RAR 4 archive or whose headers are cut.
std::optional<std::vector<MemberHeader>> MemberHeaders(const std::filesystem::path& archive);

}  // namespace quorvale::programs
