// The Directory page's reading of the free space it shows: any text through
// ReadNumber, which takes exactly a number with blanks around it (a sign,
// digits with one point at most, one digit at least). And the free space of
// any drive GetDiskFreeSpaceA can report (the input's first bytes as its
// counts), written as the page shows it, reads back rounded to hundredths,
// or not at all when it shows as ".".
#include <cmath>
#include <cstring>
#include <regex>

#include "fuzz_support.h"
#include "quorvale/setup/number_text.h"

using namespace quorvale;
using namespace quorvale::setup;

namespace {

bool IsNumber(const std::string& text) {
  static const std::regex number("[ \t]*[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)[ \t]*");
  return std::regex_match(text, number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  if (ReadNumber(text).has_value() != IsNumber(text))
    fuzz::Broken("a number is read exactly from a number", text);

  if (size < 6) return 0;
  DiskFreeSpace space;
  std::memcpy(&space.free_clusters, data, 4);
  space.sectors_per_cluster = 1 << (data[4] % 8);  // 1 to 128
  space.bytes_per_sector = 512 << (data[5] % 4);   // 512 to 4096
  const double gb = FreeGigabytes(space);
  const std::string shown = FormatFreeSpace(gb);
  const double hundredths = std::round(gb * 100);
  const auto read = ReadNumber(shown);
  if (hundredths == 0 ? read.has_value()
                      : !read || std::fabs(*read * 100 - hundredths) > 1e-6 * std::fabs(hundredths))
    fuzz::Broken("free space shown reads back rounded to hundredths", shown);
  return 0;
}
