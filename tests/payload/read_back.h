// Reads a RAR archive back with libarchive, as the machine's unpacker does:
// members in archive order, names in UTF-8.
#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <locale.h>

#include <string>
#include <vector>

namespace quorvale {

struct ReadMember {
  std::string name;
  bool is_folder;
  std::string data;
  bool operator==(const ReadMember&) const = default;
};

inline std::vector<ReadMember> ReadBack(const std::string& bytes) {
  locale_t utf8 = ::newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
  locale_t previous = ::uselocale(utf8);
  std::vector<ReadMember> out;
  archive* a = ::archive_read_new();
  ::archive_read_support_format_rar(a);
  EXPECT_EQ(::archive_read_open_memory(a, bytes.data(), bytes.size()), ARCHIVE_OK);
  archive_entry* entry;
  int r;
  while ((r = ::archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
    ReadMember m{::archive_entry_pathname_utf8(entry), ::archive_entry_filetype(entry) == AE_IFDIR, ""};
    char buffer[65536];
    la_ssize_t n;
    while ((n = ::archive_read_data(a, buffer, sizeof buffer)) > 0)
      m.data.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(n, 0) << m.name;
    out.push_back(m);
  }
  EXPECT_EQ(r, ARCHIVE_EOF) << ::archive_error_string(a);
  ::archive_read_free(a);
  ::uselocale(previous);
  ::freelocale(utf8);
  return out;
}

}  // namespace quorvale
