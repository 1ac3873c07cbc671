#include "boundary.h"

#include <atomic>
#include <iostream>
#include <mutex>
#include <set>

#include "quorvale/core/codepage.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

namespace {

thread_local DWORD last_error = 0;
thread_local std::string last_message;

}  // namespace

DWORD GetLastError() { return last_error; }
void SetLastError(DWORD error) { last_error = error; }
std::string LastMachineMessage() { return last_message; }

std::optional<std::string> ToAnsi(const std::string& utf8) { return Utf8ToCp936(utf8); }
std::string FromAnsi(const std::string& ansi) { return Cp936ToUtf8(ansi); }

namespace detail {

std::shared_ptr<Machine> TheMachine() { return CurrentMachine(); }

void NoteDamage(const MachineStateError& e) {
  static std::mutex mutex;
  static std::set<std::string> told;
  last_message = e.what();
  std::lock_guard lock(mutex);
  if (told.insert(e.what()).second) std::cerr << "quorvale: " << e.what() << "\n";
}

bool PathArg(LPCSTR path, std::string& utf8) {
  if (!path) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  std::string ansi(path);
  if (ansi.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  utf8 = Cp936ToUtf8(ansi);
  if (Utf8ToCp936(utf8) != ansi) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

DWORD MissingError(const ResolvedPath& r) {
  if (r.error) return r.error;
  return r.parent_exists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace detail
}  // namespace quorvale::win32

namespace quorvale::win32::detail {

std::uintptr_t NewHandleValue() {
  static std::atomic<std::uintptr_t> next{0x1000};
  return next += 4;
}

bool HeldWithin(const Machine& m, const std::string& long_path) {
  for (const auto& h : m.Holds())
    if (PathWithin(h.path, long_path)) return true;
  return false;
}

}  // namespace quorvale::win32::detail
