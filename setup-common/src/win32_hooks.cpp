#include "quorvale/setup/win32_hooks.h"

#include <cstring>

#include "quorvale/com/create_object.h"
#include "quorvale/core/err.h"
#include "quorvale/setup/registry_helpers.h"
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

// Binds "IIS://localhost/w3svc" and releases it at once. A bind that fails
// because a state file of the machine is damaged raises that damage: it is
// no missing IIS.
bool BindIis() {
  Err err;
  err.Resume([] { GetObject("IIS://localhost/w3svc"); });
  if (err.Number() == kErrMachineDamaged) throw RaisedError(err.Number(), err.Description());
  return !err;
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
  h.read_string = [](const std::string& key, const std::string& name, int size) {
    return RegistryHelpers().ReadString(w::HKEY_LOCAL_MACHINE, key, name, size);
  };
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
