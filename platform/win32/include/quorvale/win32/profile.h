// INI files through the Windows profile calls: sections and keys without
// regard to letter case, values trimmed of blanks and of one pair of quotes,
// lines ended by CR LF, bytes kept as given (code page 936).
#pragma once

#include "quorvale/win32/types.h"

namespace quorvale::win32 {

// A null key deletes the section; a null value deletes the key. The file is
// made on the first write. A name without a folder is in the Windows folder.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
// The count of bytes copied, without the NUL; a value longer than the buffer
// is cut to size - 1 bytes. A null section lists the sections, a null key
// the keys of the section, each ended by a NUL, the list by one more.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_value, LPSTR buffer, DWORD size,
                               LPCSTR file);

}  // namespace quorvale::win32
