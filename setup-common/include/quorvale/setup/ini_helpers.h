// INI file access of the progress form's module: one file at a time, named
// by INIFileName, through the Windows profile calls. Texts are UTF-8 here
// and code page 936 in the file.
#pragma once

#include <string>

namespace quorvale::setup {

// Folder, "\" and Name, without the backslashes Folder ends with or Name
// starts with.
std::string JoinPath(std::string folder, std::string name);

class IniHelpers {
 public:
  // The full path of the file the procedures below work on; empty until set.
  std::string INIFileName;

  void SetIniPath(const std::string& folder, const std::string& file) {
    INIFileName = JoinPath(folder, file);
  }

  // Key = Value in [Section], made or replaced as the profile call does.
  void WriteIniKey(const std::string& section, const std::string& key, const std::string& value);
  // The stored value without its leading blanks, at most 1023 bytes of it;
  // "" for a missing file, section or key.
  std::string GetIniKey(const std::string& section, const std::string& key) const;
  void DelIniKey(const std::string& section, const std::string& key);
  // [Section] with all its keys.
  void DelIniSec(const std::string& section);
};

}  // namespace quorvale::setup
