// SleepFile and ToDeleteFile: the whole waiting policy for files that
// programs started without waiting produce or still hold.
#include "quorvale/core/err.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/ansi.h"
#include "quorvale/win32/kernel.h"
#include "quorvale/win32/vb_files.h"

namespace quorvale::setup {

bool FilePresent(const std::string& file) { return !win32::Dir(file, win32::vbNormal).empty(); }

bool SystemHelpers::Present(const std::string& file) const {
  if (wait_.errors_pass) return FilePresent(file);
  try {
    return FilePresent(file);
  } catch (const RaisedError&) {
    return false;
  }
}

bool SystemHelpers::SleepFile(const std::string& file) const {
  if (file.empty()) return false;
  for (int round = 0; round < wait_.tries; ++round) {
    if (Present(file)) return true;
    win32::Sleep(wait_.interval_ms);
  }
  return false;
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
