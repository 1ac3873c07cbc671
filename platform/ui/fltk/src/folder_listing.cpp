#include "quorvale/ui/fltk/folder_listing.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "quorvale/core/text.h"
#include "quorvale/machine/machine.h"

namespace quorvale::ui::fltk {

namespace fs = std::filesystem;

namespace {

bool Wild(std::string_view name, std::string_view pattern) {
  // Iterative match with one backtrack point for the last "*".
  std::size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerChar(pattern[p]) == LowerChar(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesFilter(std::string_view name, std::string_view patterns) {
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    std::string_view pattern = patterns.substr(start, end - start);
    while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    // "*.*" is every name on Windows, also those without a dot.
    if (pattern == "*.*" || (!pattern.empty() && Wild(name, pattern))) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> Drives(const Machine& machine) {
  std::vector<std::string> out;
  for (char letter : machine.Drives()) out.push_back(std::string(1, letter) + ":\\");
  return out;
}

std::optional<FoundPath> FindPath(const Machine& machine, const std::string& windows_path) {
  const ResolvedPath r = machine.Resolve(windows_path);
  if (r.error || !r.exists) return std::nullopt;
  return FoundPath{r.long_path, r.is_directory};
}

std::vector<FolderEntry> ListFolder(const Machine& machine, const std::string& windows_folder, bool files,
                                    std::string_view filter) {
  std::vector<FolderEntry> out;
  const ResolvedPath dir = machine.Resolve(windows_folder);
  if (dir.error || !dir.exists || !dir.is_directory) return out;
  std::error_code ec;
  // The names as the drive keeps them; what each one is, the machine says.
  for (const auto& e : fs::directory_iterator(dir.host, ec)) {
    const std::string name = e.path().filename().string();
    if (name.find_first_of("\\:") != std::string::npos) continue;
    const ResolvedPath entry = machine.Resolve(JoinWindowsPath(dir.long_path, name));
    if (entry.error || !entry.exists || (machine.Attributes(entry) & kAttrHidden)) continue;
    if (entry.is_directory || (files && MatchesFilter(name, filter)))
      out.push_back({name, entry.is_directory});
  }
  std::sort(out.begin(), out.end(), [](const FolderEntry& a, const FolderEntry& b) {
    if (a.folder != b.folder) return a.folder;
    return TextLess(a.name, b.name);
  });
  return out;
}

std::string JoinWindowsPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::string ParentWindowsPath(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  if (p.size() <= 3) return "";
  const auto cut = p.find_last_of('\\');
  if (cut == std::string::npos) return "";
  return cut <= 2 ? p.substr(0, 3) : p.substr(0, cut);
}

}  // namespace quorvale::ui::fltk
