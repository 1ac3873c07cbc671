#include <algorithm>

#include "quorvale/programs/folder_program_host.h"
#include "windows_paths.h"

namespace quorvale {

namespace {

bool Invalid83(char c) {
  return c == ' ' || c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']';
}

// Width of a text in 8.3 terms: ASCII counts one, any other character two
// (its size in the code page).
std::size_t Width(const std::string& text) {
  std::size_t width = 0;
  for (unsigned char c : text) {
    if (c < 0x80)
      width += 1;
    else if ((c & 0xC0) != 0x80)
      width += 2;
  }
  return width;
}

bool Fits83(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  auto dot = name.find('.');
  if (dot != name.rfind('.') || dot == 0) return false;
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (std::any_of(name.begin(), name.end(), Invalid83)) return false;
  return Width(base) <= 8 && Width(ext) <= 3 && (dot == std::string::npos || !ext.empty());
}

// Up to width units of text, capitals, without blanks and dots, with the
// characters 8.3 names cannot hold as "_".
std::string Squeeze(const std::string& text, std::size_t width) {
  std::string out;
  std::size_t used = 0;
  for (std::size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    std::size_t w = c < 0x80 ? 1 : 2;
    if (c == ' ' || c == '.') {
      ++i;
      continue;
    }
    if (used + w > width) break;
    if (c < 0x80)
      out += Invalid83(static_cast<char>(c)) ? '_' : static_cast<char>(std::toupper(c));
    else
      out += text.substr(i, len);
    used += w;
    i += len;
  }
  return out;
}

// The alias without its number: six units of base and three of extension.
std::pair<std::string, std::string> AliasParts(const std::string& name) {
  auto dot = name.rfind('.');
  if (dot == 0) dot = std::string::npos;
  std::string base = Squeeze(name.substr(0, dot), 6);
  std::string ext = dot == std::string::npos ? "" : Squeeze(name.substr(dot + 1), 3);
  if (base.empty()) base = "_";
  return {base, ext};
}

}  // namespace

std::string ShortNameOf(const std::string& name, const std::vector<std::string>& siblings) {
  if (Fits83(name)) return name;
  auto parts = AliasParts(name);
  std::vector<std::string> same;
  for (const auto& s : siblings)
    if (!Fits83(s) && AliasParts(s) == parts) same.push_back(programs::Lower(s));
  if (std::find(same.begin(), same.end(), programs::Lower(name)) == same.end())
    same.push_back(programs::Lower(name));
  std::sort(same.begin(), same.end());
  auto index = std::find(same.begin(), same.end(), programs::Lower(name)) - same.begin();
  std::string alias = parts.first + "~" + std::to_string(index + 1);
  return parts.second.empty() ? alias : alias + "." + parts.second;
}

}  // namespace quorvale
