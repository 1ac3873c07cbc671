#include "quorvale/win32/resources.h"

#include <cstdint>
#include <string>
#include <vector>

#include "quorvale/core/elf_sections.h"  // ResourceSectionLanguage
#include "quorvale/core/text.h"
#include "quorvale/win32/kernel.h"

// What the build links beside each resource of the program
// (payload/resources.cmake): its section's name, its first byte and its
// size. The loader relocates these addresses with the program, so they are
// right whatever loaded it (the system's loader, one started by name, or a
// tool's), and no file is read to find them.
struct QuorvaleResourceEntry {
  const char* section;
  const char* data;
  std::uint64_t size;
};

// The linker's bounds of the entries; none in a program without resources.
extern "C" const QuorvaleResourceEntry __start_qvres_index[] __attribute__((weak, visibility("hidden")));
extern "C" const QuorvaleResourceEntry __stop_qvres_index[] __attribute__((weak, visibility("hidden")));

struct quorvale::win32::HRSRC__ {
  std::string section;
  const char* data;
  DWORD size;
};

namespace quorvale::win32 {

namespace {

// The program's resources, as the loader mapped them, listed once.
const std::vector<HRSRC__>& ProgramResources() {
  static const std::vector<HRSRC__> table = [] {
    std::vector<HRSRC__> out;
    const auto from = reinterpret_cast<std::uintptr_t>(__start_qvres_index);
    const auto to = reinterpret_cast<std::uintptr_t>(__stop_qvres_index);
    const std::size_t count = from && to > from ? (to - from) / sizeof(QuorvaleResourceEntry) : 0;
    for (std::size_t i = 0; i < count; ++i) {
      const QuorvaleResourceEntry& e = __start_qvres_index[i];
      if (e.size > 0xFFFFFFFFu) continue;
      out.push_back({e.section, e.data, static_cast<DWORD>(e.size)});
    }
    return out;
  }();
  return table;
}

// The number of "#123" or MAKEINTRESOURCEA(123); -1 for any other name.
long ResourceNumber(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return static_cast<long>(reinterpret_cast<std::uintptr_t>(name));
  if (name[0] != '#' || name[1] == '\0') return -1;
  long value = 0;
  for (const char* p = name + 1; *p; ++p) {
    if (*p < '0' || *p > '9' || value > 0xFFFF) return -1;
    value = value * 10 + (*p - '0');
  }
  return value <= 0xFFFF ? value : -1;
}

std::string TypeText(LPCSTR type) {
  if (IS_INTRESOURCE(type)) return std::to_string(reinterpret_cast<std::uintptr_t>(type));
  return UpperCase(type);
}

HRSRC Find(HMODULE module, LPCSTR type, LPCSTR name, bool any_language, WORD language) {
  if (module != nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (type == nullptr || name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const long id = ResourceNumber(name);
  const std::string type_text = TypeText(type);
  bool type_found = false, name_found = false;
  for (const HRSRC__& r : ProgramResources()) {
    if (r.section.compare(0, 8 + type_text.size(), ".qvres." + type_text + ".") == 0) type_found = true;
    if (id < 0) continue;
    auto lang = ResourceSectionLanguage(r.section, type_text, static_cast<int>(id));
    if (!lang) continue;
    name_found = true;
    if (any_language || language == LANG_NEUTRAL || *lang == language) return &r;
  }
  SetLastError(!type_found   ? ERROR_RESOURCE_TYPE_NOT_FOUND
               : !name_found ? ERROR_RESOURCE_NAME_NOT_FOUND
                             : ERROR_RESOURCE_LANG_NOT_FOUND);
  return nullptr;
}

}  // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) { return Find(module, type, name, true, 0); }

HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  return Find(module, type, name, false, language);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  if (module != nullptr || resource == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<char*>(resource->data);
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  if (module != nullptr || resource == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return resource->size;
}

LPVOID LockResource(HGLOBAL data) { return data; }

}  // namespace quorvale::win32
