// Resources of the running program, as kernel32 offers them: byte arrays
// linked into the executable in sections ".qvres.<TYPE>.<id>[.<language>]".
// They are found through the executable's section table and handed out
// where the loader mapped them: nothing is copied, and nothing is read
// before the first lookup.
#pragma once

#include <cstdint>
#include <string_view>

#include "quorvale/win32/types.h"

namespace quorvale::win32 {

using HGLOBAL = void*;
struct HRSRC__;
using HRSRC = const HRSRC__*;

inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812, ERROR_RESOURCE_TYPE_NOT_FOUND = 1813,
                       ERROR_RESOURCE_NAME_NOT_FOUND = 1814, ERROR_RESOURCE_LANG_NOT_FOUND = 1815;
inline constexpr WORD LANG_NEUTRAL = 0;

inline LPCSTR MAKEINTRESOURCEA(WORD id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)); }
inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0; }

// module: nullptr, the running program. name: MAKEINTRESOURCEA(id) or "#id";
// type: a name ("CUSTOM", without regard to letter case) or a number.
// FindResourceA takes the resource in whatever language it has;
// FindResourceExA the one of that language (LANG_NEUTRAL: any).
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);

}  // namespace quorvale::win32
