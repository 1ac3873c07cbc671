#include "quorvale/setup/ini_helpers.h"

#include <algorithm>

#include "ansi_text.h"
#include "quorvale/win32/ansi.h"
#include "quorvale/win32/profile.h"

namespace quorvale::setup {

using detail::AnsiText;

namespace {

// The buffer the value is read into; the profile call cuts what does not
// fit to one byte less.
constexpr win32::DWORD kValueBuffer = 1024;

}  // namespace

std::string JoinPath(std::string folder, std::string name) {
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  name.erase(0, std::min(name.find_first_not_of('\\'), name.size()));
  return folder + "\\" + name;
}

void IniHelpers::WriteIniKey(const std::string& section, const std::string& key, const std::string& value) {
  win32::WritePrivateProfileStringA(AnsiText(section).c_str(), AnsiText(key).c_str(), AnsiText(value).c_str(),
                                    AnsiText(INIFileName).c_str());
}

std::string IniHelpers::GetIniKey(const std::string& section, const std::string& key) const {
  std::string buffer(kValueBuffer, '\0');
  const win32::DWORD n =
      win32::GetPrivateProfileStringA(AnsiText(section).c_str(), AnsiText(key).c_str(), "", buffer.data(),
                                      kValueBuffer, AnsiText(INIFileName).c_str());
  buffer.resize(std::min(n, kValueBuffer - 1));
  // Only leading blanks go: the value's own trailing ones stand before its
  // NUL, and what follows the NUL is not part of the text.
  buffer.erase(0, std::min(buffer.find_first_not_of(' '), buffer.size()));
  std::erase(buffer, '\0');
  return win32::FromAnsi(buffer);
}

void IniHelpers::DelIniKey(const std::string& section, const std::string& key) {
  win32::WritePrivateProfileStringA(AnsiText(section).c_str(), AnsiText(key).c_str(), nullptr,
                                    AnsiText(INIFileName).c_str());
}

void IniHelpers::DelIniSec(const std::string& section) {
  win32::WritePrivateProfileStringA(AnsiText(section).c_str(), nullptr, "", AnsiText(INIFileName).c_str());
}

}  // namespace quorvale::setup
