// The file statements of the Basic runtime the programs were written in
// (Dir, Kill, FileCopy, FileLen, GetAttr, SetAttr, MkDir, RmDir, Name), over
// the calls of kernel.h. Text is UTF-8; a failure raises RaisedError with the
// runtime's error number, so resume-on-error code records and skips it.
#pragma once

#include <cstdint>
#include <string>

namespace quorvale::win32 {

inline constexpr int vbNormal = 0, vbReadOnly = 1, vbHidden = 2, vbSystem = 4, vbVolume = 8, vbDirectory = 16,
                     vbArchive = 32;

// The first name matching the pattern ("" for none). Hidden and system files
// and folders are absent unless their bits are in attributes. A pattern that
// ends with "\" lists the folder.
std::string Dir(const std::string& pattern, int attributes = vbNormal);
// The next name of the last Dir(pattern), "" at the end.
std::string Dir();

void Kill(const std::string& pattern);
void FileCopy(const std::string& source, const std::string& destination);
std::int32_t FileLen(const std::string& path);
int GetAttr(const std::string& path);
void SetAttr(const std::string& path, int attributes);
void MkDir(const std::string& path);
void RmDir(const std::string& path);
// Name old As new.
void Name(const std::string& old_path, const std::string& new_path);

}  // namespace quorvale::win32
