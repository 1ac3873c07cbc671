// The data checksums that a RAR (version 4) archive keeps in its member
// headers. The library that reads the archives does not check them for
// stored members, so the unpacker checks them itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "quorvale/core/crc32.h"

namespace quorvale::programs {

// CRC-32 of the member headers, in archive order (folders included);
// nothing for a file that is no RAR 4 archive or whose headers are cut.
std::optional<std::vector<std::uint32_t>> MemberChecksums(const std::filesystem::path& archive);

}  // namespace quorvale::programs
