// The machine's drives and folders as the browse and open-file dialogs show
// them. Paths go through the machine's own resolution, as Windows resolves
// them: letter case does not matter, 8.3 names ("C:\PROGRA~1") are taken,
// and hidden files and folders are not shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {
class Machine;
}

namespace quorvale::ui::fltk {

struct FolderEntry {
  std::string name;
  bool folder = false;
  bool operator==(const FolderEntry&) const = default;
};

// "C:\", "D:\", ...: the machine's drives, in order.
std::vector<std::string> Drives(const Machine& machine);

// An existing file or folder, with the names as the drive keeps them
// ("c:\progra~1" -> "C:\Program Files"); nothing when there is none.
struct FoundPath {
  std::string long_path;
  bool folder = false;
};
std::optional<FoundPath> FindPath(const Machine& machine, const std::string& windows_path);

// The subfolders of a Windows folder and, when files is set, its files that
// match the filter; folders first, each group sorted without regard to case.
// Hidden entries and names Windows could not hold (with "\" or ":") are left
// out. Empty when the folder does not exist.
std::vector<FolderEntry> ListFolder(const Machine& machine, const std::string& windows_folder, bool files,
                                    std::string_view filter = "*.*");

// "D:\" + "Apps" -> "D:\Apps"; "D:\Apps" + "x" -> "D:\Apps\x".
std::string JoinWindowsPath(const std::string& folder, const std::string& name);
// "D:\Apps\x" -> "D:\Apps"; "D:\Apps" -> "D:\"; "D:\" -> "" (the list of drives).
std::string ParentWindowsPath(const std::string& path);

// Whether a name matches one of the patterns "*.exe;*.com" (case-insensitive,
// "*" any run, "?" one character; "*.*" matches every name).
bool MatchesFilter(std::string_view name, std::string_view patterns);

}  // namespace quorvale::ui::fltk
