// The process's current folder and its own module handle.
#include <mutex>

#include "boundary.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

using detail::Guard;
using detail::TheMachine;

namespace {

// The folder belongs to the machine it was set on: another machine starts
// again at its Windows drive's root.
struct CurrentFolder {
  std::mutex mutex;
  std::weak_ptr<Machine> machine;
  std::string folder;  // UTF-8
};

CurrentFolder& Current() {
  static CurrentFolder current;
  return current;
}

std::string FolderOn(const std::shared_ptr<Machine>& m) {
  auto& c = Current();
  std::lock_guard lock(c.mutex);
  if (c.machine.lock() != m) {
    c.machine = m;
    c.folder = m->Info().windows_directory.substr(0, 3);
  }
  return c.folder;
}

}  // namespace

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  return Guard(DWORD{0}, [&] {
    const std::string ansi = ToAnsi(FolderOn(TheMachine())).value_or("");
    return detail::CopyOut(ansi, buffer, size);
  });
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  return Guard(FALSE, [&] {
    auto m = TheMachine();
    std::string utf8;
    if (!detail::PathArg(path, utf8)) return FALSE;
    const ResolvedPath r = m->Resolve(utf8);
    if (r.error || !r.exists) {
      SetLastError(detail::MissingError(r));
      return FALSE;
    }
    if (!r.is_directory) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    std::string folder = r.long_path;
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    FolderOn(m);
    auto& c = Current();
    std::lock_guard lock(c.mutex);
    c.folder = folder;
    return TRUE;
  });
}

HINSTANCE GetModuleHandleA(LPCSTR module) {
  if (module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000});
}

}  // namespace quorvale::win32
