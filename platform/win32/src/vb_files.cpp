#include "quorvale/win32/vb_files.h"

#include <vector>

#include "boundary.h"
#include "listing.h"
#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

namespace {

// A damaged machine file adds what the machine said about it.
[[noreturn]] void RaiseFile(Error error) {
  if (GetLastError() == ERROR_FILE_CORRUPT) Raise(error, LastMachineMessage());
  Raise(error);
}

[[noreturn]] void RaiseFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: RaiseFile(Error::kFileNotFound);
    case ERROR_PATH_NOT_FOUND: RaiseFile(Error::kPathNotFound);
    case ERROR_SHARING_VIOLATION: RaiseFile(Error::kPermissionDenied);
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: RaiseFile(Error::kFileAlreadyExists);
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: RaiseFile(Error::kBadFileName);
    default: RaiseFile(Error::kPathFileAccess);
  }
}

std::string Ansi(const std::string& path) {
  auto a = ToAnsi(path);
  if (!a) {
    SetLastError(ERROR_INVALID_NAME);
    RaiseFile(Error::kBadFileName);
  }
  return *a;
}

void Check(BOOL ok) {
  if (!ok) RaiseFor(GetLastError());
}

thread_local std::vector<std::string> dir_rest;

}  // namespace

std::string Dir(const std::string& pattern, int attributes) {
  dir_rest.clear();
  std::string p = pattern;
  if (p.empty()) return "";
  if (p.back() == '\\' || p.back() == '/') p += "*.*";
  Ansi(p);
  std::vector<detail::FoundFile> found;
  DWORD error = 0;
  bool ok = detail::Guard(FALSE, [&] {
    found = detail::ListMatching(*detail::TheMachine(), p, error);
    return TRUE;
  });
  if (!ok) RaiseFile(Error::kPathFileAccess);
  if (error == ERROR_INVALID_NAME) RaiseFile(Error::kBadFileName);
  std::vector<std::string> names;
  for (const auto& f : found) {
    if ((f.attributes & kAttrHidden) && !(attributes & vbHidden)) continue;
    if ((f.attributes & kAttrSystem) && !(attributes & vbSystem)) continue;
    if ((f.attributes & kAttrDirectory) && !(attributes & vbDirectory)) continue;
    names.push_back(f.name);
  }
  if (names.empty()) return "";
  dir_rest.assign(names.rbegin(), names.rend() - 1);
  return names.front();
}

std::string Dir() {
  if (dir_rest.empty()) return "";
  std::string next = dir_rest.back();
  dir_rest.pop_back();
  return next;
}

void Kill(const std::string& pattern) {
  if (pattern.find_first_of("*?") == std::string::npos) return Check(DeleteFileA(Ansi(pattern).c_str()));
  auto slash = pattern.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
  std::string name = Dir(pattern);
  std::vector<std::string> names;
  for (; !name.empty(); name = Dir()) names.push_back(name);
  if (names.empty()) RaiseFile(Error::kFileNotFound);
  for (const auto& n : names) Check(DeleteFileA(Ansi(folder + n).c_str()));
}

void FileCopy(const std::string& source, const std::string& destination) {
  Check(CopyFileA(Ansi(source).c_str(), Ansi(destination).c_str(), FALSE));
}

std::int32_t FileLen(const std::string& path) {
  WIN32_FIND_DATAA d;
  const std::string a = Ansi(path);
  if (a.find_first_of("*?") != std::string::npos) RaiseFile(Error::kBadFileName);
  HANDLE h = FindFirstFileA(a.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) RaiseFor(GetLastError());
  FindClose(h);
  return static_cast<std::int32_t>(d.nFileSizeLow);
}

int GetAttr(const std::string& path) {
  DWORD a = GetFileAttributesA(Ansi(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) RaiseFor(GetLastError());
  return static_cast<int>(a & (vbReadOnly | vbHidden | vbSystem | vbDirectory | vbArchive));
}

void SetAttr(const std::string& path, int attributes) {
  if (attributes & ~(vbReadOnly | vbHidden | vbSystem | vbArchive)) Raise(Error::kInvalidCall);
  Check(SetFileAttributesA(Ansi(path).c_str(),
                           attributes ? static_cast<DWORD>(attributes) : FILE_ATTRIBUTE_NORMAL));
}

void MkDir(const std::string& path) {
  if (!CreateDirectoryA(Ansi(path).c_str(), nullptr)) {
    DWORD e = GetLastError();
    RaiseFor(e == ERROR_ALREADY_EXISTS || e == ERROR_ACCESS_DENIED ? ERROR_ACCESS_DENIED : e);
  }
}

void RmDir(const std::string& path) { Check(RemoveDirectoryA(Ansi(path).c_str())); }

void Name(const std::string& old_path, const std::string& new_path) {
  Check(MoveFileA(Ansi(old_path).c_str(), Ansi(new_path).c_str()));
}

BinaryFile::BinaryFile(const std::string& path) {
  handle_ = CreateFileA(Ansi(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) RaiseFor(GetLastError());
  buffer_.reserve(kBlock);
}

BinaryFile::~BinaryFile() {
  try {
    Close();
  } catch (const RaisedError&) {
    // Closing on the way out reports nothing; Close() itself raises.
  }
}

void BinaryFile::Flush() {
  if (buffer_.empty()) return;
  DWORD written = 0;
  if (handle_ == INVALID_HANDLE_VALUE ||
      !WriteFile(handle_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr) ||
      written != buffer_.size())
    failed_ = true;
  buffer_.clear();
}

void BinaryFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  Flush();
  CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  if (failed_) Raise(Error::kPathFileAccess);
}

}  // namespace quorvale::win32
