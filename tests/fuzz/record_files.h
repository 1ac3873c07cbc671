// The machine's line files: tab-separated records, one a line, "# end"
// last. The targets read a text with the machine's own readers; what a
// reader takes, written again as the machine writes its line files, reads
// the same.
#pragma once

#include "fuzz_support.h"

namespace quorvale::fuzz {

// The records of a text the readers took, written again.
inline std::string Rewritten(const std::string& text, const std::filesystem::path& file, std::size_t fields) {
  return FormatRecordText("header", ParseRecordText(text, file, fields));
}

// The round trip of a line file: what parse takes from the text, written
// again as the machine writes its line files, reads the same.
template <class Parse, class Same>
void RecordRoundTrip(const std::string& text, const std::filesystem::path& file, std::size_t fields,
                     Parse parse, Same same, const char* promise) {
  RoundTrip(
      text, file, parse, [&](const auto&) { return Rewritten(text, file, fields); }, same, promise);
}

}  // namespace quorvale::fuzz
