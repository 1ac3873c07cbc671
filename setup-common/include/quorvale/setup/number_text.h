// Numbers as the Directory page shows and reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvale::setup {

// What GetDiskFreeSpaceA reports, the counts read as signed 32-bit integers.
struct DiskFreeSpace {
  std::int32_t sectors_per_cluster = 0;
  std::int32_t bytes_per_sector = 0;
  std::int32_t free_clusters = 0;
  std::int32_t total_clusters = 0;
};

// Free space of a drive in GB: free clusters / 1024 * sectors per cluster *
// bytes per sector, rounded half to even to whole kilobytes, / 1024².
double FreeGigabytes(const DiskFreeSpace& space);

// The pattern "#####.##": no leading zeros, the point always there, at most
// two decimals without trailing zeros (12.346 -> "12.35", 40 -> "40.",
// 0.5 -> ".5", 0 -> ".").
std::string FormatFreeSpace(double gb);

// A text that reads as a number: blanks around it, an optional sign, digits
// with an optional point, at least one digit. Nothing otherwise.
std::optional<double> ReadNumber(std::string_view text);

}  // namespace quorvale::setup
