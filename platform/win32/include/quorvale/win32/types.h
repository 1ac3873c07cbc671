// The Windows data types and constants the API subset uses, as Windows names
// them. Strings at this boundary are code page 936 bytes ("ANSI").
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "quorvale/machine/error_codes.h"

namespace quorvale::win32 {

using BOOL = int;
using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPCBYTE = const BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using LPCVOID = const void*;
using HANDLE = void*;
using HMODULE = void*;
using REGSAM = DWORD;
struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
// A window and a loaded module, as handles; the system passes them on and
// never looks inside.
struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using LPARAM = std::intptr_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr DWORD MAX_PATH = 260;

using quorvale::ERROR_ACCESS_DENIED;
using quorvale::ERROR_ALREADY_EXISTS;
using quorvale::ERROR_DIR_NOT_EMPTY;
using quorvale::ERROR_FILE_CORRUPT;
using quorvale::ERROR_FILE_EXISTS;
using quorvale::ERROR_FILE_NOT_FOUND;
using quorvale::ERROR_FILENAME_EXCED_RANGE;
using quorvale::ERROR_INSUFFICIENT_BUFFER;
using quorvale::ERROR_INVALID_HANDLE;
using quorvale::ERROR_INVALID_NAME;
using quorvale::ERROR_INVALID_PARAMETER;
using quorvale::ERROR_KEY_DELETED;
using quorvale::ERROR_MORE_DATA;
using quorvale::ERROR_NO_MORE_FILES;
using quorvale::ERROR_NO_MORE_ITEMS;
using quorvale::ERROR_NOT_SAME_DEVICE;
using quorvale::ERROR_PATH_NOT_FOUND;
using quorvale::ERROR_SHARING_VIOLATION;
using quorvale::ERROR_SUCCESS;
inline constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
inline constexpr DWORD ERROR_BAD_PATHNAME = 161;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_DIRECTORY = 267;

// Predefined registry keys.
inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000});
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003});

inline constexpr DWORD REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4,
                       REG_MULTI_SZ = 7;
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2;
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001, KEY_SET_VALUE = 0x0002, KEY_READ = 0x20019,
                        KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01, FILE_ATTRIBUTE_HIDDEN = 0x02,
                       FILE_ATTRIBUTE_SYSTEM = 0x04, FILE_ATTRIBUTE_DIRECTORY = 0x10,
                       FILE_ATTRIBUTE_ARCHIVE = 0x20, FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t{0});

inline constexpr DWORD GENERIC_READ = 0x80000000, GENERIC_WRITE = 0x40000000;
inline constexpr DWORD FILE_SHARE_READ = 1, FILE_SHARE_WRITE = 2, FILE_SHARE_DELETE = 4;
inline constexpr DWORD CREATE_NEW = 1, CREATE_ALWAYS = 2, OPEN_EXISTING = 3, OPEN_ALWAYS = 4,
                       TRUNCATE_EXISTING = 5;

inline constexpr UINT SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2,
                      SW_SHOWMAXIMIZED = 3, SW_SHOW = 5;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1, VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};

}  // namespace quorvale::win32
