#include "windows_paths.h"

#include <cctype>

namespace quorvale::programs {

namespace {
std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }
}  // namespace

std::string FileNameOf(const std::string& path) {
  auto cut = LastSeparator(path);
  if (cut == std::string::npos) cut = path.size() >= 2 && path[1] == ':' ? 1 : std::string::npos;
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOf(const std::string& path) {
  auto cut = LastSeparator(path);
  if (cut == std::string::npos) return "";
  if (cut == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, cut);
}

std::string ExtensionOf(const std::string& path) {
  std::string name = FileNameOf(path);
  auto dot = name.rfind('.');
  return dot == std::string::npos ? "" : LowerCase(name.substr(dot));
}

bool IsDrivePath(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

std::string JoinWindowsPath(const std::string& folder, const std::string& path) {
  if (IsDrivePath(path)) return path;
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\" + path.substr(2);
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return folder.substr(0, 2) + path;
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + path;
  return folder + "\\" + path;
}

}  // namespace quorvale::programs
