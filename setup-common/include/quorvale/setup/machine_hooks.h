// The few things the shared pages ask of the machine, handed in by the
// program so that the pages run without one. An empty function acts as a
// call that fails.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "quorvale/setup/os_version.h"

namespace quorvale::setup {

// What GetDiskFreeSpaceA reports, the counts read as signed 32-bit integers.
struct DiskFreeSpace {
  std::int32_t sectors_per_cluster = 0;
  std::int32_t bytes_per_sector = 0;
  std::int32_t free_clusters = 0;
  std::int32_t total_clusters = 0;
};

struct MachineHooks {
  // GetVersionExA; nothing when the call fails.
  std::function<std::optional<OSVersionRecord>()> get_version;
  // Binds "IIS://localhost/w3svc" and releases it; false when binding raised.
  // Raises when the machine's own state cannot be read: the page shows what
  // it raised instead of the missing-IIS box.
  std::function<bool()> bind_iis;
  // ReadString on HKEY_LOCAL_MACHINE: key, value name, buffer size.
  std::function<std::string(const std::string& key, const std::string& name, int size)> read_string;
  std::function<bool(const std::string& path)> file_exists;
  std::function<bool(const std::string& path)> folder_exists;
  // GetWindowsDirectoryA.
  std::function<std::string()> windows_directory;
  // GetDiskFreeSpaceA on a drive root such as "C:\"; nothing when it cannot be read.
  std::function<std::optional<DiskFreeSpace>(const std::string& root)> disk_free_space;
  // Starts a program in a normal window with the focus, without waiting;
  // false when it could not be started.
  std::function<bool(const std::string& command_line)> start_program;
};

}  // namespace quorvale::setup
