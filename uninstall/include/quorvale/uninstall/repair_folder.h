// The folder the repair and the uninstall work in.
#pragma once

#include <string>

namespace quorvale::uninstall {

// The program's own folder (App.Path), a drive root ("C:\") as its first
// two characters ("C:"), so that every path is the folder followed by a
// text that starts with "\". Only a drive root is cut: a folder such as
// "C:\Q" is three characters long too.
std::string RepairFolder(const std::string& app_path);

}  // namespace quorvale::uninstall
