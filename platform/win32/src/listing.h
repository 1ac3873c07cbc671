// Directory listing shared by FindFirstFileA and Dir.
#pragma once

#include <string>
#include <vector>

#include "quorvale/machine/machine.h"
#include "quorvale/win32/types.h"

namespace quorvale::win32::detail {

struct FoundFile {
  std::string name;        // long name as the drive keeps it (UTF-8)
  std::string short_name;  // its 8.3 name, or "" when the long name is one
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

// The entries matching a pattern whose last name may hold * and ?; "." and
// ".." are listed in a folder other than a root. error is 0 or the Windows
// error (ERROR_PATH_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_INVALID_NAME).
std::vector<FoundFile> ListMatching(const Machine& m, const std::string& pattern, DWORD& error);

// DOS wildcards without regard to letter case: "*.*" matches every name.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace quorvale::win32::detail
