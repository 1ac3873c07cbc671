// The machine's drives and folders as the browse and open-file dialogs show
// them: Windows paths over <machine>/drives/<letter>/...
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale::ui::fltk {

struct FolderEntry {
  std::string name;
  bool folder = false;
  bool operator==(const FolderEntry&) const = default;
};

// "C:\", "D:\", ...: one per one-letter folder under <machine>/drives, in order.
std::vector<std::string> Drives(const std::filesystem::path& machine);

// The subfolders of a Windows folder and, when files is set, its files that
// match the filter; folders first, each group sorted without regard to case.
// Names that Windows could not hold (with "\" or ":") are left out. Empty
// when the folder does not exist.
std::vector<FolderEntry> ListFolder(const std::filesystem::path& machine, const std::string& windows_folder,
                                    bool files, std::string_view filter = "*.*");

// "D:\" + "Apps" -> "D:\Apps"; "D:\Apps" + "x" -> "D:\Apps\x".
std::string JoinWindowsPath(const std::string& folder, const std::string& name);
// "D:\Apps\x" -> "D:\Apps"; "D:\Apps" -> "D:\"; "D:\" -> "" (the list of drives).
std::string ParentWindowsPath(const std::string& path);

// Whether a name matches one of the patterns "*.exe;*.com" (case-insensitive,
// "*" any run, "?" one character; "*.*" matches every name).
bool MatchesFilter(std::string_view name, std::string_view patterns);

}  // namespace quorvale::ui::fltk
