// The Windows version record of the start-up checks and the Windows name.
#pragma once

#include <cstdint>
#include <string>

namespace quorvale::setup {

struct OSVersionRecord {
  std::uint32_t dwOSVersionInfoSize = 148;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  std::string szCSDVersion;  // service-pack text, at most 128 characters
  std::string name;          // the Windows name, filled from the numbers
};

// The record GetVersionExA fills, with its Windows name.
OSVersionRecord GetVersionRecord();

// "Windows 2000", "Windows Server 2003", ...; "" for a version of a known
// platform that has no name; "Failed" for any other platform.
std::string WindowsName(std::uint32_t platform_id, std::uint32_t major, std::uint32_t minor);

}  // namespace quorvale::setup
