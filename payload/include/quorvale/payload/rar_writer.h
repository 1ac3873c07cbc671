// A writer of RAR (version 4) archives whose members are stored, not
// compressed: the payload archives that the setup programs carry.
//
// Member names are given in UTF-8 with "\" or "/" between folders and are
// written in code page 936 with "\" between folders, as RAR did on a
// Chinese Windows; a name beyond ASCII also carries its Unicode form (flag
// 0x200), which is what libarchive reads back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "quorvale/core/crc32.h"

namespace quorvale {

struct RarMember {
  std::string name;  // UTF-8
  bool is_folder = false;
  std::string data;  // bytes of a file; empty for a folder
};

// A member name that code page 936 cannot hold, a member of 4 GiB or more,
// or an archive larger than the size asked for.
class RarError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RarWriter {
 public:
  // MS-DOS date and time stamped on every member (default 2008-08-08 08:00:00).
  static constexpr std::uint32_t kDefaultDosTime = (28u << 25) | (8u << 21) | (8u << 16) | (8u << 11);

  explicit RarWriter(std::uint32_t dos_time = kDefaultDosTime);

  // Members are written in the order they are added.
  void AddFile(const std::string& name, std::string_view data);
  void AddFolder(const std::string& name);

  // The archive: signature, archive header, members, end-of-archive block.
  std::string Finish() const;
  // The same, padded with zero bytes after the end-of-archive block (where
  // readers stop) to exactly size bytes.
  std::string Finish(std::size_t size) const;

 private:
  std::uint32_t dos_time_;
  std::string body_;  // the member blocks written so far
};

// An archive of the members in their order, optionally padded to size.
std::string MakeRarArchive(const std::vector<RarMember>& members,
                           std::optional<std::size_t> size = std::nullopt);

}  // namespace quorvale
