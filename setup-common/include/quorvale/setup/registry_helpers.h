// Registry access of the progress form's module. Each procedure opens or
// creates its key, does one value operation and closes the key, leaving
// the Windows result code of its last registry call behind. Texts are
// UTF-8 here and code page 936 in the registry.
#pragma once

#include <cstdint>
#include <string>

#include "quorvale/core/variant.h"
#include "quorvale/win32/types.h"

namespace quorvale::setup {

class RegistryHelpers {
 public:
  using HKEY = win32::HKEY;

  // The value with its NULs removed; "" when the key or value is missing or
  // the value is longer than buffer_size bytes.
  std::string ReadString(HKEY root, const std::string& sub_key, const std::string& value_name,
                         std::int32_t buffer_size);
  // Stores value less its last two bytes as REG_SZ, without a NUL: callers
  // pass the text followed by two blanks. A value shorter than two bytes
  // stores nothing and leaves ERROR_INVALID_PARAMETER.
  void WriteString(HKEY root, const std::string& sub_key, const std::string& value_name,
                   const std::string& value);
  // 0 when the key or value cannot be read.
  std::int32_t ReadLong(HKEY root, const std::string& sub_key, const std::string& value_name);
  void WriteLong(HKEY root, const std::string& sub_key, const std::string& value_name, std::int32_t value);
  // The bytes read, at most buffer_size; empty when nothing could be read.
  Bytes ReadBinary(HKEY root, const std::string& sub_key, const std::string& value_name,
                   std::int32_t buffer_size);
  void WriteBinary(HKEY root, const std::string& sub_key, const std::string& value_name, const Bytes& bytes);
  // The names of the subkeys joined by ",", every blank removed; "" for
  // none. Leaves the result code alone.
  std::string GetKey(HKEY root, const std::string& sub_key);
  // Fails on a key that still has subkeys.
  void DeleteKey(HKEY root, const std::string& sub_key);
  void DeleteValue(HKEY root, const std::string& sub_key, const std::string& value_name);

 protected:
  // The result of the last registry call (0 = success) and the byte count
  // passed to or returned by the last value read or write.
  std::int32_t error_code_ = 0;
  std::int32_t data_size_ = 0;

 private:
  // RegOpenKeyExA with all access; nullptr, with the code kept, on failure.
  HKEY Open(HKEY root, const std::string& sub_key);
  // RegCreateKeyExA, non-volatile, all access.
  HKEY Create(HKEY root, const std::string& sub_key);
  void SetValue(HKEY root, const std::string& sub_key, const std::string& value_name, win32::DWORD type,
                const void* data, std::int32_t size);
};

}  // namespace quorvale::setup
