// The common open-file dialog: the ANSI record the caller fills, the call
// that shows the dialog, and the dialog itself, which whoever owns the
// windows provides.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quorvale/win32/types.h"

namespace quorvale::win32 {

// The open-file record without the fields Windows 2000 added: 76 bytes on
// the 32-bit platform it was made for, which its size field says.
struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;  // display text NUL pattern NUL ... NUL NUL
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;  // in: an initial name; out: the chosen path
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;  // out: the chosen file's name alone
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  void* lpfnHook;
  LPCSTR lpTemplateName;
};

inline constexpr DWORD OPENFILENAME_SIZE_VERSION_400A = 76;

inline constexpr DWORD OFN_READONLY = 0x1, OFN_HIDEREADONLY = 0x4, OFN_NOCHANGEDIR = 0x8,
                       OFN_PATHMUSTEXIST = 0x800, OFN_FILEMUSTEXIST = 0x1000;

// What CommDlgExtendedError reports.
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001, CDERR_INITIALIZATION = 0x0002, CDERR_DIALOGFAILURE = 0xFFFF,
                       FNERR_INVALIDFILENAME = 0x3002, FNERR_BUFFERTOOSMALL = 0x3003;

// The dialog as the record asks for it, its texts in UTF-8.
struct FileDialogRequest {
  const OPENFILENAMEA* record;
  std::vector<std::pair<std::string, std::string>> filter;
  std::string title;
  std::string initial_folder;
};
// Shows the dialog: the chosen file's full Windows path, or nothing when
// the user cancels.
using FileDialog = std::function<std::optional<std::string>(const FileDialogRequest&)>;

// Installs the dialog GetOpenFileNameA shows; returns the one it replaces.
FileDialog SetFileDialog(FileDialog dialog);

// Shows the dialog of the record. On a choice: the path and its NUL in
// lpstrFile, the name alone in lpstrFileTitle, nFileOffset and
// nFileExtension set, and, unless OFN_NOCHANGEDIR, the chosen file's folder
// made the current folder; TRUE. Cancel: FALSE with CommDlgExtendedError 0.
// A record of another size, no file buffer, no dialog or a buffer too small
// for the path: FALSE with the error (a too-small file buffer gets the size
// needed in its first two bytes).
BOOL GetOpenFileNameA(OPENFILENAMEA* record);
DWORD CommDlgExtendedError();

}  // namespace quorvale::win32
