// Kernel calls: system facts, files and folders, starting programs, Sleep.
// They work on the process's machine (CurrentMachine()) and behave as
// Windows does, down to the error left for GetLastError.
#pragma once

#include "quorvale/win32/types.h"

namespace quorvale::win32 {

DWORD GetLastError();
void SetLastError(DWORD error);
// The message of the last damaged machine state file met in this thread.
std::string LastMachineMessage();

BOOL GetVersionExA(OSVERSIONINFOA* info);
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectors_per_cluster, LPDWORD bytes_per_sector,
                       LPDWORD free_clusters, LPDWORD total_clusters);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
DWORD GetTempPathA(DWORD size, LPSTR buffer);
DWORD GetShortPathNameA(LPCSTR long_path, LPSTR short_path, DWORD size);

// The process's current folder, without a trailing "\" except at a drive
// root. It starts at the root of the Windows drive and belongs to the
// machine: a process that changes to another machine starts there again.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
// Fails for a folder that does not exist (ERROR_DIRECTORY for a file).
BOOL SetCurrentDirectoryA(LPCSTR path);
// The program's own module for nullptr (the image base a Windows program is
// loaded at); no other module is known here.
HINSTANCE GetModuleHandleA(LPCSTR module);

BOOL CreateDirectoryA(LPCSTR path, LPVOID security_attributes);
BOOL RemoveDirectoryA(LPCSTR path);
BOOL MoveFileA(LPCSTR from, LPCSTR to);
BOOL DeleteFileA(LPCSTR path);
BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL fail_if_exists);
DWORD GetFileAttributesA(LPCSTR path);
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);

// Files opened with CreateFileA are held while open: another DeleteFileA or
// MoveFileA of them fails with ERROR_SHARING_VIOLATION.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPVOID security_attributes, DWORD disposition,
                   DWORD flags, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read, LPVOID overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD to_write, LPDWORD written, LPVOID overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD high);
BOOL CloseHandle(HANDLE handle);

// Listing: the last name may hold * and ?; names match by their long or
// their 8.3 name, without regard to letter case.
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

// Starts a program: records the start on the machine, then hands the command
// line (UTF-8) to the launcher. > 31 when it started, ERROR_FILE_NOT_FOUND
// when the launcher found nothing to start.
UINT WinExec(LPCSTR command_line, UINT show);
using ProgramLauncher = std::function<bool(const std::string& command_line, int show)>;
void SetProgramLauncher(ProgramLauncher launcher);

// A named mutex, kept per machine: it exists while any handle to it is open
// in any process on the machine. The last error is ERROR_ALREADY_EXISTS when
// the name was there before the call, ERROR_SUCCESS when the call made it.
// Only named mutexes are kept (no name: nullptr, ERROR_INVALID_PARAMETER);
// CloseHandle lets go of the handle.
HANDLE CreateMutexA(LPVOID security_attributes, BOOL initial_owner, LPCSTR name);

// The running program's file as a Windows path on the machine (module
// nullptr). 0 with ERROR_FILE_NOT_FOUND when the program's file lies outside
// the machine's drives (a program run from the build); a path longer than
// the buffer is cut to size - 1 characters and its NUL, and size returned.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// On the test clock, returns at once with virtual time advanced.
void Sleep(DWORD milliseconds);
DWORD GetTickCount();

}  // namespace quorvale::win32
