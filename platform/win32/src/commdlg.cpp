// GetOpenFileNameA: reads the record, shows the installed dialog and writes
// the answer back into the caller's buffers.
#include "quorvale/win32/commdlg.h"

#include <cstring>
#include <mutex>

#include "boundary.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

namespace {

std::mutex dialog_mutex;
FileDialog& Dialog() {
  static FileDialog dialog;
  return dialog;
}

thread_local DWORD extended_error = 0;

BOOL Fail(DWORD error) {
  extended_error = error;
  return FALSE;
}

// Display text NUL pattern NUL ... ended by an empty text; a text without
// its pattern is left out.
std::vector<std::pair<std::string, std::string>> FilterPairs(LPCSTR filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!filter) return pairs;
  for (const char* p = filter; *p;) {
    const char* pattern = p + std::strlen(p) + 1;
    if (!*pattern) break;
    pairs.emplace_back(FromAnsi(p), FromAnsi(pattern));
    p = pattern + std::strlen(pattern) + 1;
  }
  return pairs;
}

std::string CurrentFolder() {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
  return n > 0 && n < MAX_PATH ? FromAnsi(std::string(buffer, n)) : "";
}

}  // namespace

FileDialog SetFileDialog(FileDialog dialog) {
  std::lock_guard lock(dialog_mutex);
  std::swap(Dialog(), dialog);
  return dialog;
}

DWORD CommDlgExtendedError() { return extended_error; }

BOOL GetOpenFileNameA(OPENFILENAMEA* record) {
  extended_error = 0;
  if (!record || record->lStructSize != OPENFILENAME_SIZE_VERSION_400A) return Fail(CDERR_STRUCTSIZE);
  if (!record->lpstrFile || record->nMaxFile == 0) return Fail(CDERR_INITIALIZATION);
  FileDialog dialog;
  {
    std::lock_guard lock(dialog_mutex);
    dialog = Dialog();
  }
  if (!dialog) return Fail(CDERR_DIALOGFAILURE);

  FileDialogRequest request{record, FilterPairs(record->lpstrFilter),
                            record->lpstrTitle ? FromAnsi(record->lpstrTitle) : "",
                            record->lpstrInitialDir ? FromAnsi(record->lpstrInitialDir) : CurrentFolder()};
  const std::optional<std::string> chosen = dialog(request);
  if (!chosen) return FALSE;

  const auto path = ToAnsi(*chosen);
  const auto slash = path ? path->rfind('\\') : std::string::npos;
  if (!path || slash == std::string::npos || slash + 1 >= path->size()) return Fail(FNERR_INVALIDFILENAME);
  if (path->size() + 1 > record->nMaxFile) {
    if (record->nMaxFile >= 2) {
      const auto needed = static_cast<WORD>(path->size() + 1);
      std::memcpy(record->lpstrFile, &needed, sizeof needed);
    }
    return Fail(FNERR_BUFFERTOOSMALL);
  }
  const std::string name = path->substr(slash + 1);
  if (record->lpstrFileTitle && name.size() + 1 > record->nMaxFileTitle) return Fail(FNERR_BUFFERTOOSMALL);

  std::memcpy(record->lpstrFile, path->c_str(), path->size() + 1);
  if (record->lpstrFileTitle) std::memcpy(record->lpstrFileTitle, name.c_str(), name.size() + 1);
  record->nFileOffset = static_cast<WORD>(slash + 1);
  const auto dot = name.rfind('.');
  record->nFileExtension = dot == std::string::npos ? WORD{0} : static_cast<WORD>(slash + 1 + dot + 1);
  if (!(record->Flags & OFN_NOCHANGEDIR)) {
    // The folder the user ended in; a drive root keeps its backslash.
    const std::string folder = path->substr(0, slash == 2 ? 3 : slash);
    SetCurrentDirectoryA(folder.c_str());
  }
  return TRUE;
}

}  // namespace quorvale::win32
