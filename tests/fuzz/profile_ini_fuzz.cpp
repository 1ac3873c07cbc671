// The INI reader of the profile calls: any bytes as an INI file, read by
// every kind of GetPrivateProfileStringA call with buffers small enough to
// cut, then changed by WritePrivateProfileStringA and read again.
#include <cstring>

#include "fuzz_support.h"
#include "quorvale/win32/profile.h"

using namespace quorvale;
using namespace quorvale::win32;

namespace {

constexpr const char* kFile = "C:\\fuzz.ini";

// A read that must end inside the buffer, on a NUL.
std::string Read(const char* section, const char* key, DWORD size) {
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  const DWORD n = GetPrivateProfileStringA(section, key, "d ", buffer, size, kFile);
  if (size && (n >= size || buffer[n] != '\0')) fuzz::Broken("a profile read ends inside its buffer");
  if (size < sizeof buffer && buffer[size] != 'x') fuzz::Broken("a profile read stays inside its buffer");
  return std::string(buffer, n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzMachine().Write(kFile, fuzz::Text(data, size));
  for (DWORD cut : {DWORD{1}, DWORD{2}, DWORD{7}}) Read(nullptr, nullptr, cut);
  const std::string sections = Read(nullptr, nullptr, 63);
  const std::string section = sections.substr(0, sections.find('\0'));
  const std::string keys = Read(section.c_str(), nullptr, 63);
  const std::string key = keys.substr(0, keys.find('\0'));
  Read(section.c_str(), key.c_str(), 63);
  Read(section.c_str(), key.c_str(), 2);
  if (WritePrivateProfileStringA(section.c_str(), "Fuzz", "1", kFile) &&
      Read(section.c_str(), "Fuzz", 63) != "1")
    fuzz::Broken("a value written is read back");
  WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, kFile);
  return 0;
}
