// Registry calls over the machine's RegistryStore. An open key is its path.
#include "quorvale/win32/registry.h"

#include <map>
#include <mutex>

#include "boundary.h"

namespace quorvale::win32 {

namespace {

std::mutex keys_mutex;
std::map<std::uintptr_t, std::string>& Keys() {
  static std::map<std::uintptr_t, std::string> keys;
  return keys;
}

// The path of an open or predefined key; nothing for an unknown handle.
std::optional<std::string> PathOf(HKEY key) {
  const auto v = reinterpret_cast<std::uintptr_t>(key);
  switch (v) {
    case 0x80000000: return "HKEY_CLASSES_ROOT";
    case 0x80000001: return "HKEY_CURRENT_USER";
    case 0x80000002: return "HKEY_LOCAL_MACHINE";
    case 0x80000003: return "HKEY_USERS";
    default: break;
  }
  std::lock_guard lock(keys_mutex);
  auto it = Keys().find(v);
  if (it == Keys().end()) return std::nullopt;
  return it->second;
}

HKEY NewKey(const std::string& path) {
  const std::uintptr_t h = detail::NewHandleValue();
  std::lock_guard lock(keys_mutex);
  Keys()[h] = path;
  return reinterpret_cast<HKEY>(h);
}

// Joins a sub-key to a key path. Nothing for a name the registry cannot
// hold: an empty part between backslashes, a part over 255 bytes, a line break.
std::optional<std::string> Join(const std::string& base, LPCSTR sub) {
  std::string s = sub ? sub : "";
  while (!s.empty() && s.back() == '\\') s.pop_back();
  if (s.empty()) return base;
  if (s.find_first_of("\r\n") != std::string::npos || s.find("\\\\") != std::string::npos)
    return std::nullopt;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t end = s.find('\\', start);
    if (end == std::string::npos) end = s.size();
    if (end - start > 255) return std::nullopt;
    start = end + 1;
  }
  return base + "\\" + s;
}

LONG L(DWORD e) { return static_cast<LONG>(e); }

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD, REGSAM, PHKEY result) {
  if (!result) return L(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  return detail::RegGuard([&] {
    auto base = PathOf(key);
    if (!base) return L(ERROR_INVALID_HANDLE);
    std::string s = sub_key ? sub_key : "";
    while (!s.empty() && s.front() == '\\') s.erase(0, 1);
    auto path = Join(*base, s.c_str());
    if (!path) return L(ERROR_FILE_NOT_FOUND);
    if (!detail::TheMachine()->Registry().KeyExists(*path)) return L(ERROR_FILE_NOT_FOUND);
    *result = NewKey(*path);
    return L(ERROR_SUCCESS);
  });
}

LONG RegOpenKeyA(HKEY key, LPCSTR sub_key, PHKEY result) {
  if (result && (!sub_key || !*sub_key) && PathOf(key)) {
    *result = key;  // the same handle, as Windows gives it
    return L(ERROR_SUCCESS);
  }
  return RegOpenKeyExA(key, sub_key, 0, KEY_ALL_ACCESS, result);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD, LPSTR, DWORD, REGSAM, LPVOID, PHKEY result,
                     LPDWORD disposition) {
  if (!result) return L(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  if (sub_key && sub_key[0] == '\\') return L(ERROR_BAD_PATHNAME);
  return detail::RegGuard([&] {
    auto base = PathOf(key);
    if (!base) return L(ERROR_INVALID_HANDLE);
    auto path = Join(*base, sub_key);
    if (!path) return L(ERROR_INVALID_PARAMETER);
    RegistryStore& reg = detail::TheMachine()->Registry();
    const bool existed = reg.KeyExists(*path);
    if (!existed && !reg.CreateKey(*path)) return L(ERROR_INVALID_PARAMETER);
    if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = NewKey(*path);
    return L(ERROR_SUCCESS);
  });
}

LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (data && !size) return L(ERROR_INVALID_PARAMETER);
  return detail::RegGuard([&] {
    auto path = PathOf(key);
    if (!path) return L(ERROR_INVALID_HANDLE);
    RegistryStore& reg = detail::TheMachine()->Registry();
    auto v = reg.GetValue(*path, value_name ? value_name : "");
    if (!v) return L(reg.KeyExists(*path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED);
    if (type) *type = v->type;
    const auto n = static_cast<DWORD>(v->data.size());
    if (!data) {
      if (size) *size = n;
      return L(ERROR_SUCCESS);
    }
    if (*size < n) {
      *size = n;
      return L(ERROR_MORE_DATA);
    }
    std::memcpy(data, v->data.data(), n);
    *size = n;
    return L(ERROR_SUCCESS);
  });
}

LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  if (!data && size) return L(ERROR_INVALID_PARAMETER);
  const std::string name = value_name ? value_name : "";
  if (name.find_first_of("\r\n") != std::string::npos) return L(ERROR_INVALID_PARAMETER);
  return detail::RegGuard([&] {
    auto path = PathOf(key);
    if (!path) return L(ERROR_INVALID_HANDLE);
    RegValue v{type, std::string(reinterpret_cast<const char*>(data), size)};
    if (!detail::TheMachine()->Registry().SetValue(*path, name, v)) return L(ERROR_KEY_DELETED);
    return L(ERROR_SUCCESS);
  });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD, LPSTR key_class,
                   LPDWORD class_size, FILETIME* last_write) {
  if (!name || !name_size) return L(ERROR_INVALID_PARAMETER);
  return detail::RegGuard([&] {
    auto path = PathOf(key);
    if (!path) return L(ERROR_INVALID_HANDLE);
    RegistryStore& reg = detail::TheMachine()->Registry();
    if (!reg.KeyExists(*path)) return L(ERROR_KEY_DELETED);
    auto subs = reg.SubKeys(*path);
    if (index >= subs.size()) return L(ERROR_NO_MORE_ITEMS);
    const std::string& sub = subs[index];
    if (*name_size < sub.size() + 1) return L(ERROR_MORE_DATA);
    std::memcpy(name, sub.c_str(), sub.size() + 1);
    *name_size = static_cast<DWORD>(sub.size());
    if (key_class && class_size && *class_size) key_class[0] = '\0';
    if (class_size) *class_size = 0;
    if (last_write) *last_write = FILETIME{0, 0};
    return L(ERROR_SUCCESS);
  });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key) {
  return detail::RegGuard([&] {
    auto base = PathOf(key);
    if (!base) return L(ERROR_INVALID_HANDLE);
    auto path = Join(*base, sub_key);
    if (!path) return L(ERROR_FILE_NOT_FOUND);
    if (path->find('\\') == std::string::npos) return L(ERROR_ACCESS_DENIED);  // a root
    RegistryStore& reg = detail::TheMachine()->Registry();
    if (!reg.KeyExists(*path)) return L(ERROR_FILE_NOT_FOUND);
    if (!reg.SubKeys(*path).empty() || !reg.DeleteKey(*path)) return L(ERROR_ACCESS_DENIED);
    return L(ERROR_SUCCESS);
  });
}

LONG RegDeleteValueA(HKEY key, LPCSTR value_name) {
  return detail::RegGuard([&] {
    auto path = PathOf(key);
    if (!path) return L(ERROR_INVALID_HANDLE);
    RegistryStore& reg = detail::TheMachine()->Registry();
    if (!reg.DeleteValue(*path, value_name ? value_name : ""))
      return L(reg.KeyExists(*path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED);
    return L(ERROR_SUCCESS);
  });
}

LONG RegCloseKey(HKEY key) {
  const auto v = reinterpret_cast<std::uintptr_t>(key);
  if (v >= 0x80000000 && v <= 0x80000003) return L(ERROR_SUCCESS);
  std::lock_guard lock(keys_mutex);
  return Keys().erase(v) ? L(ERROR_SUCCESS) : L(ERROR_INVALID_HANDLE);
}

}  // namespace quorvale::win32
