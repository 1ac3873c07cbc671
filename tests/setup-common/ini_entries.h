// A profile (INI) file read back as its tests compare it: every entry with
// its section, in file order, comments and blank lines left out.
#pragma once

#include <string>
#include <vector>

namespace quorvale::setup::testing {

struct Entry {
  std::string section, key, value;
  bool operator==(const Entry&) const = default;
};

using Entries = std::vector<Entry>;

// The file's entries, section by section in file order (the profile calls
// append a new key at the end of its section).
inline Entries ReadIni(const std::string& text) {
  Entries out;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find('=');
    out.push_back({section, line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1)});
  }
  return out;
}

}  // namespace quorvale::setup::testing
