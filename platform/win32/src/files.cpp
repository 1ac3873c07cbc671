// Files and folders on the machine's drives.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

#include "boundary.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

namespace fs = std::filesystem;
using detail::Guard;
using detail::MissingError;
using detail::PathArg;
using detail::TheMachine;

namespace {

// Resolves a path argument; false with the last error set when the machine
// cannot hold it.
bool Arg(LPCSTR path, const Machine& m, ResolvedPath& r, std::string* text = nullptr) {
  std::string utf8;
  if (!PathArg(path, utf8)) return false;
  if (text) *text = utf8;
  r = m.Resolve(utf8);
  if (r.error) {
    SetLastError(r.error);
    return false;
  }
  return true;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

struct OpenFile {
  std::shared_ptr<Machine> machine;
  int fd = -1;
  FileHold hold;
};

std::mutex files_mutex;
std::map<std::uintptr_t, std::shared_ptr<OpenFile>>& Files() {
  static std::map<std::uintptr_t, std::shared_ptr<OpenFile>> files;
  return files;
}

std::shared_ptr<OpenFile> FileOf(HANDLE h) {
  std::lock_guard lock(files_mutex);
  auto it = Files().find(reinterpret_cast<std::uintptr_t>(h));
  return it == Files().end() ? nullptr : it->second;
}

}  // namespace

DWORD GetShortPathNameA(LPCSTR long_path, LPSTR short_path, DWORD size) {
  return Guard(DWORD{0}, [&]() -> DWORD {
    auto m = TheMachine();
    ResolvedPath r;
    std::string text;
    if (!Arg(long_path, *m, r, &text)) return 0;
    auto s = r.exists ? m->ShortPath(text) : std::nullopt;
    if (!s) {
      SetLastError(MissingError(r));
      return 0;
    }
    return detail::CopyOut(ToAnsi(*s).value_or(""), short_path, size);
  });
}

BOOL CreateDirectoryA(LPCSTR path, LPVOID) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    ResolvedPath r;
    if (!Arg(path, *m, r)) return FALSE;
    if (r.long_path.size() == 3) return Fail(ERROR_ACCESS_DENIED);  // a drive root
    if (r.exists) return Fail(ERROR_ALREADY_EXISTS);
    if (!r.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);
    fs::create_directory(r.host);
    m->ForgetPath(r.long_path);
    return TRUE;
  });
}

BOOL RemoveDirectoryA(LPCSTR path) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    ResolvedPath r;
    if (!Arg(path, *m, r)) return FALSE;
    if (!r.exists) return Fail(MissingError(r));
    if (!r.is_directory || r.long_path.size() == 3) return Fail(ERROR_ACCESS_DENIED);
    if (!fs::is_empty(r.host)) return Fail(ERROR_DIR_NOT_EMPTY);
    if (detail::HeldWithin(*m, r.long_path)) return Fail(ERROR_SHARING_VIOLATION);
    fs::remove(r.host);
    m->ForgetPath(r.long_path);
    return TRUE;
  });
}

BOOL MoveFileA(LPCSTR from, LPCSTR to) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    ResolvedPath f, t;
    std::string to_text;
    if (!Arg(from, *m, f) || !Arg(to, *m, t, &to_text)) return FALSE;
    if (!f.exists) return Fail(MissingError(f));
    if (f.long_path.size() == 3) return Fail(ERROR_ACCESS_DENIED);
    if (t.exists) {  // a change of case: the new name is the one written
      std::string name = to_text.substr(to_text.find_last_of("\\/") + 1);
      while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
      t.host = t.host.parent_path() / name;
      t.long_path = t.long_path.substr(0, t.long_path.rfind('\\') + 1) + name;
    }
    // Only a change of letter case may land on an existing name.
    if (t.exists && !NamesEqual(f.long_path, t.long_path)) return Fail(ERROR_ALREADY_EXISTS);
    if (!t.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);
    if (detail::HeldWithin(*m, f.long_path)) return Fail(ERROR_SHARING_VIOLATION);
    if (PathWithin(t.long_path, f.long_path) && !NamesEqual(f.long_path, t.long_path))
      return Fail(ERROR_ACCESS_DENIED);  // a folder into itself
    const std::string target =
        t.long_path.substr(0, t.long_path.rfind('\\') + 1) + t.host.filename().string();
    if (f.long_path[0] != t.long_path[0]) {
      if (f.is_directory) return Fail(ERROR_NOT_SAME_DEVICE);
      fs::copy_file(f.host, t.host);
      fs::remove(f.host);
    } else {
      fs::rename(f.host, t.host);
    }
    m->MovePath(f.long_path, target);
    return TRUE;
  });
}

BOOL DeleteFileA(LPCSTR path) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    ResolvedPath r;
    if (!Arg(path, *m, r)) return FALSE;
    if (!r.exists) return Fail(MissingError(r));
    if (r.is_directory) return Fail(ERROR_ACCESS_DENIED);
    if (m->IsHeld(r.long_path)) return Fail(ERROR_SHARING_VIOLATION);
    if (m->Attributes(r) & kAttrReadOnly) return Fail(ERROR_ACCESS_DENIED);
    fs::remove(r.host);
    m->ForgetPath(r.long_path);
    return TRUE;
  });
}

BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL fail_if_exists) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    ResolvedPath f, t;
    if (!Arg(from, *m, f) || !Arg(to, *m, t)) return FALSE;
    if (!f.exists) return Fail(MissingError(f));
    if (f.is_directory) return Fail(ERROR_ACCESS_DENIED);
    if (!t.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);
    if (t.exists) {
      if (fail_if_exists) return Fail(ERROR_FILE_EXISTS);
      if (t.is_directory || (m->Attributes(t) & (kAttrReadOnly | kAttrHidden)))
        return Fail(ERROR_ACCESS_DENIED);
      if (m->IsHeld(t.long_path)) return Fail(ERROR_SHARING_VIOLATION);
    }
    const std::uint32_t attributes = m->Attributes(f);
    fs::copy_file(f.host, t.host, fs::copy_options::overwrite_existing);
    m->ForgetPath(t.long_path);
    if (attributes != kAttrArchive) m->SetAttributes(t.long_path, attributes);
    return TRUE;
  });
}

DWORD GetFileAttributesA(LPCSTR path) {
  return Guard(INVALID_FILE_ATTRIBUTES, [&] {
    auto m = TheMachine();
    ResolvedPath r;
    if (!Arg(path, *m, r)) return INVALID_FILE_ATTRIBUTES;
    if (!r.exists) {
      SetLastError(MissingError(r));
      return INVALID_FILE_ATTRIBUTES;
    }
    return m->Attributes(r);
  });
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    ResolvedPath r;
    if (!Arg(path, *m, r)) return FALSE;
    if (!r.exists) return Fail(MissingError(r));
    m->SetAttributes(r.long_path, attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive));
    return TRUE;
  });
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, LPVOID, DWORD disposition, DWORD, HANDLE) {
  return Guard(INVALID_HANDLE_VALUE, [&]() -> HANDLE {
    auto m = TheMachine();
    ResolvedPath r;
    if (!Arg(path, *m, r)) return INVALID_HANDLE_VALUE;
    auto fail = [](DWORD e) {
      SetLastError(e);
      return INVALID_HANDLE_VALUE;
    };
    if (r.is_directory) return fail(ERROR_ACCESS_DENIED);
    if (!r.parent_exists) return fail(ERROR_PATH_NOT_FOUND);
    if (!r.exists && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING))
      return fail(ERROR_FILE_NOT_FOUND);
    if (r.exists && disposition == CREATE_NEW) return fail(ERROR_FILE_EXISTS);
    const bool write = access & GENERIC_WRITE;
    if (r.exists && write && (m->Attributes(r) & kAttrReadOnly)) return fail(ERROR_ACCESS_DENIED);
    if (r.exists && write && m->IsHeld(r.long_path)) return fail(ERROR_SHARING_VIOLATION);
    int flags = O_CLOEXEC | (write ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY);
    if (!r.exists) flags |= O_CREAT;
    if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) flags |= O_TRUNC;
    auto file = std::make_shared<OpenFile>();
    file->machine = m;
    file->fd = ::open(r.host.c_str(), flags, 0644);
    if (file->fd < 0) return fail(ERROR_ACCESS_DENIED);
    if (!r.exists) m->ForgetPath(r.long_path);
    const std::string long_path = r.exists ? r.long_path : m->Resolve(r.long_path).long_path;
    file->hold = m->Hold(long_path, "open file");
    const std::uintptr_t h = detail::NewHandleValue();
    std::lock_guard lock(files_mutex);
    Files()[h] = file;
    return reinterpret_cast<HANDLE>(h);
  });
}

BOOL ReadFile(HANDLE h, LPVOID buffer, DWORD to_read, LPDWORD read, LPVOID) {
  auto file = FileOf(h);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  ssize_t n = ::read(file->fd, buffer, to_read);
  if (n < 0) return Fail(ERROR_ACCESS_DENIED);
  if (read) *read = static_cast<DWORD>(n);
  return TRUE;
}

BOOL WriteFile(HANDLE h, LPCVOID buffer, DWORD to_write, LPDWORD written, LPVOID) {
  auto file = FileOf(h);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  ssize_t n = ::write(file->fd, buffer, to_write);
  if (n < 0) return Fail(ERROR_ACCESS_DENIED);
  if (written) *written = static_cast<DWORD>(n);
  return TRUE;
}

DWORD GetFileSize(HANDLE h, LPDWORD high) {
  auto file = FileOf(h);
  if (!file) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0xFFFFFFFF;
  }
  struct stat st {};
  ::fstat(file->fd, &st);
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  if (high) *high = static_cast<DWORD>(size >> 32);
  return static_cast<DWORD>(size);
}

BOOL CloseHandle(HANDLE h) {
  std::shared_ptr<OpenFile> file;
  {
    std::lock_guard lock(files_mutex);
    auto it = Files().find(reinterpret_cast<std::uintptr_t>(h));
    if (it == Files().end()) return detail::CloseMutexHandle(h) ? TRUE : Fail(ERROR_INVALID_HANDLE);
    file = it->second;
    Files().erase(it);
  }
  ::close(file->fd);
  return Guard(TRUE, [&] {
    file->hold.Release();
    return TRUE;
  });
}

}  // namespace quorvale::win32
