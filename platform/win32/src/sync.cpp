// Named mutexes and the running program's own file name.
//
// A named mutex is kept per machine: its name is a lock file under the
// machine's .locks folder, and every handle holds a shared flock() on it.
// The mutex exists while any handle of any process on the machine is open,
// so CreateMutexA tells the first creator (ERROR_SUCCESS) from the later
// ones (ERROR_ALREADY_EXISTS), and a process that ends, crashed or not,
// lets go of its handles with its descriptors.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "boundary.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

namespace fs = std::filesystem;
using detail::Guard;
using detail::TheMachine;

namespace {

std::mutex mutexes_mutex;
// Handle value -> the descriptor that holds the name's lock file.
std::map<std::uintptr_t, int>& Mutexes() {
  static std::map<std::uintptr_t, int> mutexes;
  return mutexes;
}

// A descriptor the programs this process starts do not inherit.
int OpenLockFile(const fs::path& file) { return ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644); }

// Names are case-sensitive and may hold any character: the file is named
// after the name's bytes in hexadecimal.
fs::path LockFileOf(const fs::path& locks, const std::string& name) {
  static const char digits[] = "0123456789abcdef";
  std::string file = "mutex-";
  for (unsigned char c : name) {
    file += digits[c >> 4];
    file += digits[c & 15];
  }
  return locks / (file + ".lock");
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

HANDLE CreateMutexA(LPVOID, BOOL, LPCSTR name) {
  return Guard(HANDLE{nullptr}, [&]() -> HANDLE {
    if (!name || !*name) {
      SetLastError(ERROR_INVALID_PARAMETER);  // only named mutexes are kept
      return nullptr;
    }
    const fs::path locks = TheMachine()->Folder() / ".locks";
    fs::create_directories(locks);
    // Creators take the guard one at a time, so "nobody holds the name" and
    // "now this handle holds it" are one step.
    Descriptor guard(OpenLockFile(locks / "mutexes.lock"));
    Descriptor lock(OpenLockFile(LockFileOf(locks, name)));
    if (guard.get() < 0 || lock.get() < 0 || ::flock(guard.get(), LOCK_EX) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    const bool first = ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
    if (::flock(lock.get(), LOCK_SH) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    const std::uintptr_t h = detail::NewHandleValue();
    {
      std::lock_guard held(mutexes_mutex);
      Mutexes()[h] = lock.release();
    }
    SetLastError(first ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
    return reinterpret_cast<HANDLE>(h);
  });
}

bool detail::CloseMutexHandle(HANDLE h) {
  int fd = -1;
  {
    std::lock_guard held(mutexes_mutex);
    auto it = Mutexes().find(reinterpret_cast<std::uintptr_t>(h));
    if (it == Mutexes().end()) return false;
    fd = it->second;
    Mutexes().erase(it);
  }
  ::close(fd);
  return true;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  return Guard(DWORD{0}, [&]() -> DWORD {
    if (module != nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);  // only the running program is known
      return 0;
    }
    const auto path = WindowsPathOf(TheMachine()->Folder(), fs::read_symlink("/proc/self/exe"));
    const auto ansi = path ? ToAnsi(*path) : std::nullopt;
    if (!ansi) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return 0;
    }
    if (size == 0) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    if (ansi->size() < size) {
      std::memcpy(buffer, ansi->c_str(), ansi->size() + 1);
      SetLastError(ERROR_SUCCESS);
      return static_cast<DWORD>(ansi->size());
    }
    std::memcpy(buffer, ansi->data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  });
}

}  // namespace quorvale::win32
