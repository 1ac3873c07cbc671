// The file statements of the Basic runtime the programs were written in
// (Dir, Kill, FileCopy, FileLen, GetAttr, SetAttr, MkDir, RmDir, Name, and
// Open ... For Binary with Put and Close), over
// the calls of kernel.h. Text is UTF-8; a failure raises RaisedError with the
// runtime's error number, so resume-on-error code records and skips it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quorvale/win32/types.h"

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

// A file opened For Binary Access Write: Put writes one byte at the current
// position. As in the runtime, the bytes pass through a buffer of the
// runtime's own and reach the file in blocks, so a byte-by-byte write costs
// no system call per byte. The file is made anew (an older, longer file of
// that name leaves nothing behind) and is held until Close.
class BinaryFile {
 public:
  // Raises as Open does: 76 for a missing folder, 75 for a folder or a
  // read-only file, 70 for a file another program holds, 52 for a bad name.
  explicit BinaryFile(const std::string& path);
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  void Put(std::uint8_t byte) {
    buffer_.push_back(byte);
    if (buffer_.size() == kBlock) Flush();
  }
  // Writes what is buffered and closes; raises 75 when a write failed.
  // Later calls do nothing.
  void Close();

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  void Flush();
  HANDLE handle_;
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
};

}  // namespace quorvale::win32
