// Small helpers on Windows path text shared by the programs.
#pragma once

#include <string>

#include "quorvale/core/text.h"
#include "quorvale/machine/machine.h"  // NamesEqual

namespace quorvale::programs {

// "C:\a\b.txt" -> "b.txt"; "C:\a\b.txt" -> "C:\a"; "C:\a" -> "C:\".
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);
// The extension with its dot, lower-cased (".exe"), or "".
std::string ExtensionOf(const std::string& path);

// True for "X:\..." or "X:/...".
bool IsDrivePath(const std::string& path);
// An argument resolved against a current folder: a drive path as it is, a
// path starting with "\" on the folder's drive, anything else inside it.
std::string JoinWindowsPath(const std::string& folder, const std::string& path);

}  // namespace quorvale::programs
