#include "quorvale/setup/registry_helpers.h"

#include <algorithm>
#include <cstring>

#include "ansi_text.h"
#include "quorvale/win32/ansi.h"
#include "quorvale/win32/registry.h"

namespace quorvale::setup {

using detail::AnsiText;
using win32::DWORD;

namespace {

// RegEnumKeyExA's name buffer, in bytes.
constexpr DWORD kKeyNameBuffer = 255;

// Closes an open key when it goes out of scope.
class OpenKey {
 public:
  explicit OpenKey(win32::HKEY key) : key_(key) {}
  ~OpenKey() {
    if (key_) win32::RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  win32::HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  win32::HKEY key_;
};

std::int32_t Size32(DWORD size) { return static_cast<std::int32_t>(size); }

}  // namespace

win32::HKEY RegistryHelpers::Open(HKEY root, const std::string& sub_key) {
  HKEY key = nullptr;
  error_code_ = win32::RegOpenKeyExA(root, AnsiText(sub_key).c_str(), 0, win32::KEY_ALL_ACCESS, &key);
  return error_code_ == 0 ? key : nullptr;
}

win32::HKEY RegistryHelpers::Create(HKEY root, const std::string& sub_key) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  error_code_ =
      win32::RegCreateKeyExA(root, AnsiText(sub_key).c_str(), 0, nullptr, win32::REG_OPTION_NON_VOLATILE,
                             win32::KEY_ALL_ACCESS, nullptr, &key, &disposition);
  return error_code_ == 0 ? key : nullptr;
}

void RegistryHelpers::SetValue(HKEY root, const std::string& sub_key, const std::string& value_name,
                               DWORD type, const void* data, std::int32_t size) {
  OpenKey key(Create(root, sub_key));
  if (!key) return;
  data_size_ = size;
  error_code_ = win32::RegSetValueExA(key.get(), AnsiText(value_name).c_str(), 0, type,
                                      static_cast<const win32::BYTE*>(data), static_cast<DWORD>(size));
}

std::string RegistryHelpers::ReadString(HKEY root, const std::string& sub_key, const std::string& value_name,
                                        std::int32_t buffer_size) {
  OpenKey key(Open(root, sub_key));
  if (!key) return "";
  // A negative size would hand the registry a buffer it cannot have.
  data_size_ = std::max(buffer_size, 0);
  std::string buffer(static_cast<std::size_t>(data_size_) + 1, '\0');
  DWORD size = static_cast<DWORD>(data_size_);
  error_code_ = win32::RegQueryValueExA(key.get(), AnsiText(value_name).c_str(), nullptr, nullptr,
                                        reinterpret_cast<win32::BYTE*>(buffer.data()), &size);
  data_size_ = Size32(size);
  if (error_code_ != 0) return "";
  std::erase(buffer, '\0');
  return win32::FromAnsi(buffer);
}

void RegistryHelpers::WriteString(HKEY root, const std::string& sub_key, const std::string& value_name,
                                  const std::string& value) {
  const std::string bytes = AnsiText(value);
  if (bytes.size() < 2) {
    error_code_ = static_cast<std::int32_t>(win32::ERROR_INVALID_PARAMETER);
    data_size_ = 0;
    return;
  }
  SetValue(root, sub_key, value_name, win32::REG_SZ, bytes.data(),
           Size32(static_cast<DWORD>(bytes.size() - 2)));
}

std::int32_t RegistryHelpers::ReadLong(HKEY root, const std::string& sub_key, const std::string& value_name) {
  OpenKey key(Open(root, sub_key));
  if (!key) return 0;
  win32::BYTE data[4] = {};
  DWORD size = sizeof data;
  data_size_ = Size32(size);
  error_code_ =
      win32::RegQueryValueExA(key.get(), AnsiText(value_name).c_str(), nullptr, nullptr, data, &size);
  data_size_ = Size32(size);
  if (error_code_ != 0) return 0;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | data[i];
  return static_cast<std::int32_t>(value);
}

void RegistryHelpers::WriteLong(HKEY root, const std::string& sub_key, const std::string& value_name,
                                std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  const win32::BYTE data[4] = {static_cast<win32::BYTE>(v), static_cast<win32::BYTE>(v >> 8),
                               static_cast<win32::BYTE>(v >> 16), static_cast<win32::BYTE>(v >> 24)};
  SetValue(root, sub_key, value_name, win32::REG_DWORD, data, 4);
}

Bytes RegistryHelpers::ReadBinary(HKEY root, const std::string& sub_key, const std::string& value_name,
                                  std::int32_t buffer_size) {
  OpenKey key(Open(root, sub_key));
  if (!key) return {};
  data_size_ = std::max(buffer_size, 0);
  Bytes buffer(static_cast<std::size_t>(data_size_));
  DWORD size = static_cast<DWORD>(data_size_);
  error_code_ = win32::RegQueryValueExA(key.get(), AnsiText(value_name).c_str(), nullptr, nullptr,
                                        buffer.empty() ? nullptr : buffer.data(), &size);
  data_size_ = Size32(size);
  // An empty value, a zero buffer or a failed read: no bytes. A query with
  // no buffer only reports the size, so it counts as a read of nothing.
  if (error_code_ != 0 || buffer.empty()) return {};
  buffer.resize(std::min<std::size_t>(size, buffer.size()));
  return buffer;
}

void RegistryHelpers::WriteBinary(HKEY root, const std::string& sub_key, const std::string& value_name,
                                  const Bytes& bytes) {
  SetValue(root, sub_key, value_name, win32::REG_BINARY, bytes.data(),
           Size32(static_cast<DWORD>(bytes.size())));
}

std::string RegistryHelpers::GetKey(HKEY root, const std::string& sub_key) {
  HKEY opened = nullptr;
  win32::RegOpenKeyA(root, AnsiText(sub_key).c_str(), &opened);  // a failure leaves nothing to list
  OpenKey key(opened);
  std::string list;
  for (DWORD index = 0;; ++index) {
    char name[kKeyNameBuffer] = {};
    DWORD length = kKeyNameBuffer;
    if (win32::RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != 0) break;
    if (!list.empty()) list += ',';
    list += win32::FromAnsi(std::string(name, strnlen(name, kKeyNameBuffer)));
  }
  std::erase(list, ' ');
  return list;
}

void RegistryHelpers::DeleteKey(HKEY root, const std::string& sub_key) {
  error_code_ = win32::RegDeleteKeyA(root, AnsiText(sub_key).c_str());
}

void RegistryHelpers::DeleteValue(HKEY root, const std::string& sub_key, const std::string& value_name) {
  OpenKey key(Open(root, sub_key));
  if (!key) return;
  error_code_ = win32::RegDeleteValueA(key.get(), AnsiText(value_name).c_str());
}

}  // namespace quorvale::setup
