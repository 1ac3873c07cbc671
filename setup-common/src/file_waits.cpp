// Looks at files (present to a listing, there as a file or a folder) and
// SleepFile and ToDeleteFile: the whole waiting policy for files that
// programs started without waiting produce or still hold.
#include <functional>
#include <optional>

#include "quorvale/core/err.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/ansi.h"
#include "quorvale/win32/kernel.h"
#include "quorvale/win32/vb_files.h"

namespace quorvale::setup {

bool FilePresent(const std::string& file) { return !win32::Dir(file, win32::vbNormal).empty(); }

namespace {
// The attributes of a path; nothing when it is not there or cannot be named.
std::optional<win32::DWORD> Attributes(const std::string& path) {
  auto ansi = win32::ToAnsi(path);
  if (!ansi) return std::nullopt;
  const auto a = win32::GetFileAttributesA(ansi->c_str());
  if (a == win32::INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}
}  // namespace

bool FileExists(const std::string& path) {
  auto a = Attributes(path);
  return a && !(*a & win32::FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  auto a = Attributes(path);
  return a && (*a & win32::FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemHelpers::Present(const std::string& file) const {
  if (wait_.errors_pass) return FilePresent(file);
  try {
    return FilePresent(file);
  } catch (const RaisedError&) {
    return false;
  }
}

bool SystemHelpers::WaitUntil(const std::string& name, const std::function<bool()>& present) const {
  if (name.empty()) return false;
  for (int round = 0; round < wait_.tries; ++round) {
    if (present()) return true;
    win32::Sleep(wait_.interval_ms);
  }
  return false;
}

bool SystemHelpers::SleepFile(const std::string& file) const {
  return WaitUntil(file, [&] { return Present(file); });
}

bool SystemHelpers::SleepFolder(const std::string& folder) const {
  return WaitUntil(folder, [&] { return FolderExists(folder); });
}

bool SystemHelpers::ToDeleteFile(const std::string& file) const {
  if (file.empty() || !Present(file)) return false;
  for (int round = 0; round < wait_.tries; ++round) {
    if (!Present(file)) return true;
    win32::DeleteFileA(win32::ToAnsi(file).value_or("").c_str());
    win32::Sleep(wait_.interval_ms);
  }
  return false;
}

}  // namespace quorvale::setup
