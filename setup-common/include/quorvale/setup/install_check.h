// The last look of an install: did it happen? Nothing in an install stops
// on a failure, so a folder the unpacker could not fill (a full drive, a
// path too long for Windows, a machine that went read-only) would otherwise
// end on the success page with nothing installed. The look finds the files
// the install leaves behind and the two records it writes.
#pragma once

#include <string>
#include <vector>

#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/install_records.h"

namespace quorvale::setup {

class ProgressPage;

struct InstallEssentials {
  InstallEnd end;
  std::string folder;                     // the install folder as typed
  std::vector<std::string> folder_files;  // names under it
  std::string system_folder;
  const ComponentVariant* components;  // what the install put into the system folder
};

// What is missing, each as the list names it: a file under the install
// folder by its name there, a component by its path in the system folder,
// "反安装注册表项" for an uninstall entry whose UninstallString is not the
// one the install writes, "Uninstall.ini" for a record that does not hold
// the install folder as SetupDir. Empty when everything is there.
std::vector<std::string> MissingEssentials(RegistryHelpers& registry, IniHelpers& ini,
                                           const InstallEssentials& essentials);

// The look as an install's last step, showing nothing when everything is
// there. Otherwise the list gets "安装失败，缺少：" with the parts
// and "...", and Complete shows the failure (the program then ends failed).
void CheckInstallation(ProgressPage& page, RegistryHelpers& registry, IniHelpers& ini,
                       const InstallEssentials& essentials);

}  // namespace quorvale::setup
