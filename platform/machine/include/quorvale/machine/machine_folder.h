// Which machine folder a process works on, and where the parts of a machine
// are kept inside it. Every library loaded into the process finds the same
// machine here, as every library on Windows sees the same registry.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvale {

// $QUORVALE_MACHINE when set, else the default machine under the user's
// data folder ($XDG_DATA_HOME or ~/.local/share, then quorvale/machine).
std::filesystem::path MachineFolder();

// True when QUORVALE_MACHINE names the folder (not the default machine).
bool MachineFolderNamed();

// The command that makes the machine in the folder anew, as a person types
// it: "quorvale-machine --machine DIR reset", DIR quoted when the shell
// would split or read it.
std::string ResetCommandOf(const std::filesystem::path& machine);

// The registry of a machine: one REGEDIT4 file.
std::filesystem::path RegistryFileOf(const std::filesystem::path& machine);

// "C:\WINDOWS\system32\x.dll" -> <machine>/drives/C/WINDOWS/system32/x.dll.
// Names are found without regard to letter case and through their 8.3 names
// ("C:\PROGRA~1"); a name not found is taken as written. A path that is no
// drive path (an absolute host path) is taken as it is.
std::filesystem::path HostPathOf(const std::filesystem::path& machine, const std::string& windows_path);

// The inverse: the Windows path of a file under the machine's drives, or
// nothing for a file outside them.
std::optional<std::string> WindowsPathOf(const std::filesystem::path& machine,
                                         const std::filesystem::path& host_path);

// Takes "--machine DIR" (or "--machine=DIR") out of a program's arguments
// and sets QUORVALE_MACHINE to DIR. False when the arguments hold none;
// raises std::invalid_argument for "--machine" without a folder.
bool TakeMachineArgument(std::vector<std::string>& args);

}  // namespace quorvale
