// System facts, starting programs and the clock.
#include <algorithm>
#include <mutex>

#include "boundary.h"
#include "quorvale/machine/clock.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

using detail::Guard;
using detail::TheMachine;

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  return Guard(FALSE, [&] {
    const OsVersion v = TheMachine()->Info().version;
    info->dwMajorVersion = v.major;
    info->dwMinorVersion = v.minor;
    info->dwBuildNumber = v.build;
    info->dwPlatformId = v.platform_id;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::string csd = ToAnsi(v.csd).value_or("");
    std::memcpy(info->szCSDVersion, csd.data(), std::min(csd.size(), sizeof info->szCSDVersion - 1));
    return TRUE;
  });
}

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
  if (!size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Guard(FALSE, [&] {
    std::string name = ToAnsi(TheMachine()->Info().computer_name).value_or("");
    if (!buffer || *size < name.size() + 1) {
      *size = static_cast<DWORD>(name.size() + 1);
      SetLastError(ERROR_BUFFER_OVERFLOW);
      return FALSE;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return TRUE;
  });
}

BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectors_per_cluster, LPDWORD bytes_per_sector,
                       LPDWORD free_clusters, LPDWORD total_clusters) {
  return Guard(FALSE, [&] {
    auto machine = TheMachine();
    std::string r = root ? root : machine->Info().windows_directory.substr(0, 3);
    if (r.size() == 2) r += '\\';
    if (r.size() != 3 || r[1] != ':' || (r[2] != '\\' && r[2] != '/')) {
      SetLastError(ERROR_INVALID_NAME);
      return FALSE;
    }
    auto space = machine->FreeSpace(r[0]);
    if (!space) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return FALSE;
    }
    // 512-byte sectors, 8 to a cluster; counts stay within a signed 32-bit
    // number, as on a volume Windows of this age manages.
    constexpr std::uint64_t kCluster = 4096, kMax = 0x7FFFFFFF;
    if (sectors_per_cluster) *sectors_per_cluster = 8;
    if (bytes_per_sector) *bytes_per_sector = 512;
    if (free_clusters) *free_clusters = static_cast<DWORD>(std::min(space->free_bytes / kCluster, kMax));
    if (total_clusters) *total_clusters = static_cast<DWORD>(std::min(space->total_bytes / kCluster, kMax));
    return TRUE;
  });
}

namespace {

UINT FolderCall(LPSTR buffer, UINT size, std::string MachineInfo::*field) {
  return Guard(UINT{0}, [&] {
    std::string text = ToAnsi(TheMachine()->Info().*field).value_or("");
    return static_cast<UINT>(detail::CopyOut(text, buffer, size));
  });
}

std::mutex launcher_mutex;
ProgramLauncher& Launcher() {
  static ProgramLauncher launcher;
  return launcher;
}

}  // namespace

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  return FolderCall(buffer, size, &MachineInfo::system_directory);
}
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  return FolderCall(buffer, size, &MachineInfo::windows_directory);
}
DWORD GetTempPathA(DWORD size, LPSTR buffer) { return FolderCall(buffer, size, &MachineInfo::temp_path); }

void SetProgramLauncher(ProgramLauncher launcher) {
  std::lock_guard lock(launcher_mutex);
  Launcher() = std::move(launcher);
}

UINT WinExec(LPCSTR command_line, UINT show) {
  return Guard(UINT{0}, [&]() -> UINT {
    const std::string text = FromAnsi(command_line ? command_line : "");
    ProgramLauncher launcher;
    {
      std::lock_guard lock(launcher_mutex);
      launcher = Launcher();
    }
    bool started = !launcher || launcher(text, static_cast<int>(show));
    TheMachine()->RecordStart({text, static_cast<int>(show), started});
    if (!started) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return ERROR_FILE_NOT_FOUND;
    }
    return 33;
  });
}

void Sleep(DWORD milliseconds) { ClockSleep(milliseconds); }
DWORD GetTickCount() { return static_cast<DWORD>(ClockNow()); }

}  // namespace quorvale::win32
