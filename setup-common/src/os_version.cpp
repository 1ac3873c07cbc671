#include "quorvale/setup/os_version.h"

#include <cstring>

#include "quorvale/win32/win32.h"

namespace quorvale::setup {

namespace w = quorvale::win32;

OSVersionRecord GetVersionRecord() {
  OSVersionRecord r;
  w::OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (w::GetVersionExA(&info)) {
    r.dwMajorVersion = info.dwMajorVersion;
    r.dwMinorVersion = info.dwMinorVersion;
    r.dwBuildNumber = info.dwBuildNumber;
    r.dwPlatformId = info.dwPlatformId;
    r.szCSDVersion =
        w::FromAnsi(std::string(info.szCSDVersion, ::strnlen(info.szCSDVersion, sizeof info.szCSDVersion)));
  }
  // A failed call leaves platform 0, named "Failed".
  r.name = WindowsName(r.dwPlatformId, r.dwMajorVersion, r.dwMinorVersion);
  return r;
}

std::string WindowsName(std::uint32_t platform_id, std::uint32_t major, std::uint32_t minor) {
  if (platform_id == 1) {  // Windows 9x
    switch (minor) {
      case 0: return "Windows 95";
      case 10: return "Windows 98";
      case 90: return "Windows Mellinnium";
      default: return "";
    }
  }
  if (platform_id == 2) {  // Windows NT
    if (major == 3) return "Windows NT 3.51";
    if (major == 4) return "Windows NT 4.0";
    if (major == 5) {
      switch (minor) {
        case 0: return "Windows 2000";
        case 1: return "Windows XP";
        case 2: return "Windows Server 2003";
        default: return "";
      }
    }
    return "";
  }
  return "Failed";
}

}  // namespace quorvale::setup
