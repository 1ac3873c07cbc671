#include "quorvale/setup/win32_hooks.h"

#include <cstring>

#include "quorvale/win32/win32.h"

namespace quorvale::setup {

namespace w = quorvale::win32;

namespace {

std::optional<OSVersionRecord> GetVersion() {
  w::OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!w::GetVersionExA(&info)) return std::nullopt;
  OSVersionRecord r;
  r.dwOSVersionInfoSize = info.dwOSVersionInfoSize;
  r.dwMajorVersion = info.dwMajorVersion;
  r.dwMinorVersion = info.dwMinorVersion;
  r.dwBuildNumber = info.dwBuildNumber;
  r.dwPlatformId = info.dwPlatformId;
  r.szCSDVersion =
      w::FromAnsi(std::string(info.szCSDVersion, ::strnlen(info.szCSDVersion, sizeof info.szCSDVersion)));
  return r;
}

// IIS answers where it is installed.
bool BindIis() {
  w::HKEY key = nullptr;
  if (w::RegOpenKeyExA(w::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\InetStp", 0, w::KEY_READ, &key) !=
      w::ERROR_SUCCESS)
    return false;
  w::RegCloseKey(key);
  return true;
}

// A REG_SZ value read into a buffer of the given size, up to its first NUL.
std::string ReadString(const std::string& key_name, const std::string& value_name, int size) {
  auto key_ansi = w::ToAnsi(key_name), value_ansi = w::ToAnsi(value_name);
  if (!key_ansi || !value_ansi || size <= 0) return {};
  w::HKEY key = nullptr;
  if (w::RegOpenKeyExA(w::HKEY_LOCAL_MACHINE, key_ansi->c_str(), 0, w::KEY_READ, &key) != w::ERROR_SUCCESS)
    return {};
  std::string buffer(static_cast<std::size_t>(size), '\0');
  w::DWORD type = 0, length = static_cast<w::DWORD>(size);
  const auto rc = w::RegQueryValueExA(key, value_ansi->c_str(), nullptr, &type,
                                      reinterpret_cast<w::LPBYTE>(buffer.data()), &length);
  w::RegCloseKey(key);
  if (rc != w::ERROR_SUCCESS) return {};
  buffer.resize(std::min<std::size_t>(length, buffer.size()));
  return w::FromAnsi(buffer.substr(0, buffer.find('\0')));
}

w::DWORD Attributes(const std::string& path) {
  auto ansi = w::ToAnsi(path);
  return ansi ? w::GetFileAttributesA(ansi->c_str()) : w::INVALID_FILE_ATTRIBUTES;
}

}  // namespace

MachineHooks Win32Hooks() {
  MachineHooks h;
  h.get_version = GetVersion;
  h.bind_iis = BindIis;
  h.read_string = ReadString;
  h.file_exists = [](const std::string& path) {
    auto a = Attributes(path);
    return a != w::INVALID_FILE_ATTRIBUTES && !(a & w::FILE_ATTRIBUTE_DIRECTORY);
  };
  h.folder_exists = [](const std::string& path) {
    auto a = Attributes(path);
    return a != w::INVALID_FILE_ATTRIBUTES && (a & w::FILE_ATTRIBUTE_DIRECTORY);
  };
  h.windows_directory = [] {
    char buffer[260] = {};
    const auto n = w::GetWindowsDirectoryA(buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? w::FromAnsi(std::string(buffer, n)) : std::string();
  };
  h.disk_free_space = [](const std::string& root) -> std::optional<DiskFreeSpace> {
    auto ansi = w::ToAnsi(root);
    w::DWORD spc = 0, bps = 0, free = 0, total = 0;
    if (!ansi || !w::GetDiskFreeSpaceA(ansi->c_str(), &spc, &bps, &free, &total)) return std::nullopt;
    return DiskFreeSpace{static_cast<std::int32_t>(spc), static_cast<std::int32_t>(bps),
                         static_cast<std::int32_t>(free), static_cast<std::int32_t>(total)};
  };
  h.start_program = [](const std::string& command_line) {
    auto ansi = w::ToAnsi(command_line);
    return ansi && w::WinExec(ansi->c_str(), w::SW_SHOWNORMAL) > 31;
  };
  return h;
}

}  // namespace quorvale::setup
