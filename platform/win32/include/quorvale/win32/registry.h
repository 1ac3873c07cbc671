// Registry calls on the machine's registry. Key and value names are code
// page 936 bytes; values keep exactly the bytes given.
#pragma once

#include "quorvale/win32/types.h"

namespace quorvale::win32 {

LONG RegOpenKeyA(HKEY key, LPCSTR sub_key, PHKEY result);
LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR key_class, DWORD options, REGSAM access,
                     LPVOID security_attributes, PHKEY result, LPDWORD disposition);
LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved, LPSTR key_class,
                   LPDWORD class_size, FILETIME* last_write);
LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key);
LONG RegDeleteValueA(HKEY key, LPCSTR value_name);
LONG RegCloseKey(HKEY key);

}  // namespace quorvale::win32
