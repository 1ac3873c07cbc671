// What every call at the Windows boundary shares: the machine, the last
// error, ANSI arguments, and the guard that turns a damaged state file into
// a failed call with a clear message.
#pragma once

#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "quorvale/machine/machine.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::win32::detail {

std::shared_ptr<Machine> TheMachine();

// Reports the damaged file on stderr (once per message) and keeps the
// message for LastMachineMessage().
void NoteDamage(const MachineStateError& e);

// A path argument in UTF-8. False, with the last error set, for a null, too
// long or undecodable path.
bool PathArg(LPCSTR path, std::string& utf8);

// ERROR_PATH_NOT_FOUND when the folder is missing too, else ERROR_FILE_NOT_FOUND.
DWORD MissingError(const ResolvedPath& r);

// Copies text and its NUL when it fits: returns its length. Otherwise
// returns the size needed, NUL included, and writes nothing.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size);

// Runs a call; a damaged state file or a host failure makes it fail with
// the given result.
template <class R, class F>
R Guard(R failure, F&& call) {
  try {
    return call();
  } catch (const MachineStateError& e) {
    NoteDamage(e);
    SetLastError(ERROR_FILE_CORRUPT);
  } catch (const std::filesystem::filesystem_error& e) {
    // A name longer than the host keeps (its UTF-8 form can be longer than
    // the code-page form Windows counts) is a name the machine cannot hold.
    SetLastError(e.code() == std::errc::filename_too_long ? ERROR_FILENAME_EXCED_RANGE : ERROR_ACCESS_DENIED);
  } catch (const std::exception&) {
    SetLastError(ERROR_ACCESS_DENIED);
  }
  return failure;
}

// The same for the registry calls, which return their error.
template <class F>
LONG RegGuard(F&& call) {
  try {
    return call();
  } catch (const MachineStateError& e) {
    NoteDamage(e);
    return static_cast<LONG>(ERROR_FILE_CORRUPT);
  } catch (const std::exception&) {
    return static_cast<LONG>(ERROR_ACCESS_DENIED);
  }
}

}  // namespace quorvale::win32::detail

namespace quorvale::win32::detail {

// Handle values of files and listings, never a predefined key's.
std::uintptr_t NewHandleValue();

// Closes a handle of CreateMutexA; false when h is none.
bool CloseMutexHandle(HANDLE h);

// Any hold on the path or below it.
bool HeldWithin(const Machine& m, const std::string& long_path);

}  // namespace quorvale::win32::detail
