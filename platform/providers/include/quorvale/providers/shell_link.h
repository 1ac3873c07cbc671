// Shell links (.lnk) in the Shell Link binary format: the 76-byte header
// with the LinkCLSID {00021401-0000-0000-C000-000000000046}, a LinkInfo with
// the target as a local base path (code page 936) on a fixed volume, and the
// string data in UTF-16: description, relative path, working folder,
// arguments, icon location, each only when its flag is set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

struct ShellLink {
  std::string description;
  std::string target_path;  // the LinkInfo's local base path
  std::string relative_path;
  std::string working_directory;
  std::string arguments;
  std::string icon_location;
  std::int32_t icon_index = 0;
  std::uint32_t show_command = 1;  // SW_SHOWNORMAL
  std::uint32_t file_attributes = 0;
  std::uint32_t file_size = 0;
  std::uint64_t write_time = 0;  // FILETIME of the target
  bool operator==(const ShellLink&) const = default;
};

// The flags of the header (HasLinkInfo, HasName, ...).
inline constexpr std::uint32_t kLinkHasLinkInfo = 0x2, kLinkHasName = 0x4, kLinkHasRelativePath = 0x8,
                               kLinkHasWorkingDir = 0x10, kLinkHasArguments = 0x20,
                               kLinkHasIconLocation = 0x40, kLinkIsUnicode = 0x80;

std::string WriteShellLink(const ShellLink& link);
// Nothing for bytes that are no shell link or are cut short.
std::optional<ShellLink> ReadShellLink(std::string_view bytes);

// The path of target relative to the folder, "..\" up to the first common
// folder ("..\Program Files\A\a.exe"); the target itself on another drive.
std::string RelativeWindowsPath(const std::string& folder, const std::string& target);

}  // namespace quorvale
