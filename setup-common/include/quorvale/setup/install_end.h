// The two ends of the system that the setup programs install, and what
// names each: its words, the product's name with them and its uninstall
// registry key, written once for the pages' texts, the records and the
// checks.
#pragma once

#include <string>

namespace quorvale::setup {

enum class InstallEnd { kServer, kControl };

// The ends' uninstall entries under HKEY_LOCAL_MACHINE.
inline constexpr const char* kServerEndUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";
inline constexpr const char* kControlEndUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";

const char* UninstallKeyOf(InstallEnd end);
// "被控端" or "主控端".
const char* EndWordsOf(InstallEnd end);

// The product's name with the end, in the three ways the texts write it:
// "Quorvale虚拟主机管理系统v3.0 被控端" (the pages' texts and the registry's
// DisplayName), "Quorvale虚拟主机管理系统v3.0被控端" (the window captions)
// and "Quorvale虚拟主机管理系统 v3.0 被控端" (the desktop shortcut).
std::string ProductName(InstallEnd end);
std::string ProductCaption(InstallEnd end);
std::string ProductDescription(InstallEnd end);

}  // namespace quorvale::setup
