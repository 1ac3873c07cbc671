#include "quorvale/setup/number_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace quorvale::setup {

double FreeGigabytes(const DiskFreeSpace& space) {
  // Kept in 64 bits: a 32-bit count would overflow on drives with more
  // than 2 TB free and make them look full.
  const double kilobytes = std::nearbyint(static_cast<double>(space.free_clusters) / 1024 *
                                          space.sectors_per_cluster * space.bytes_per_sector);
  return kilobytes / (1024.0 * 1024.0);
}

std::string FormatFreeSpace(double gb) {
  const long long hundredths = std::llround(std::fabs(gb) * 100);
  std::string out = gb < 0 && hundredths != 0 ? "-" : "";
  if (hundredths / 100 != 0) out += std::to_string(hundredths / 100);
  out += '.';
  const long long frac = hundredths % 100;
  if (frac != 0) {
    out += static_cast<char>('0' + frac / 10);
    if (frac % 10 != 0) out += static_cast<char>('0' + frac % 10);
  }
  return out;
}

std::optional<double> ReadNumber(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return std::strtod(std::string(text).c_str(), nullptr);
}

}  // namespace quorvale::setup
