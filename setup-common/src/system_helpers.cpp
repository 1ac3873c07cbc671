#include "quorvale/setup/system_helpers.h"

#include <cstring>

#include "ansi_text.h"
#include "quorvale/win32/ansi.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::setup {

using detail::AnsiText;
using win32::DWORD;

namespace {

// The fixed buffers the calls are given, in bytes.
constexpr DWORD kNameBuffer = 255;
constexpr win32::UINT kFolderBuffer = 80;

// The first n bytes a call reported, when they fit the buffer it had.
std::string Reported(const char* buffer, DWORD n, DWORD size) {
  if (n == 0 || n >= size) return "";
  return win32::FromAnsi(std::string(buffer, strnlen(buffer, n)));
}

std::string FolderOf(win32::UINT (*call)(win32::LPSTR, win32::UINT)) {
  char buffer[kFolderBuffer] = {};
  return Reported(buffer, call(buffer, kFolderBuffer), kFolderBuffer);
}

}  // namespace

void StartHidden(Err& err, const std::string& command) {
  const std::string ansi = AnsiText(command);
  err.Resume([&] { win32::WinExec(ansi.c_str(), win32::SW_HIDE); });
}

std::string SystemHelpers::ComputerName() {
  char buffer[kNameBuffer] = {};
  DWORD size = kNameBuffer;
  if (!win32::GetComputerNameA(buffer, &size)) return "";
  return win32::FromAnsi(std::string(buffer, strnlen(buffer, kNameBuffer)));
}

std::string SystemHelpers::GetSystemFolder() { return FolderOf(&win32::GetSystemDirectoryA); }
std::string SystemHelpers::GetWindowsFolder() { return FolderOf(&win32::GetWindowsDirectoryA); }

std::string SystemHelpers::ShortPath(const std::string& path) {
  auto ansi = win32::ToAnsi(path);
  if (!ansi) return "";
  char buffer[kNameBuffer] = {};
  return Reported(buffer, win32::GetShortPathNameA(ansi->c_str(), buffer, kNameBuffer), kNameBuffer);
}

std::string SystemHelpers::GetWindowTempPath() {
  char buffer[kNameBuffer] = {};
  return Reported(buffer, win32::GetTempPathA(kNameBuffer, buffer), kNameBuffer);
}

bool SystemHelpers::CreateDir(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  bool made = false;
  for (std::size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1))
    made = win32::CreateDirectoryA(AnsiText(path.substr(0, end + 1)).c_str(), nullptr) != win32::FALSE;
  return made;
}

}  // namespace quorvale::setup
