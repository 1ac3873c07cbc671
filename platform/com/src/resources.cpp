#include "quorvale/com/resources.h"

#include <fstream>
#include <sstream>

#include "quorvale/core/elf_sections.h"

namespace quorvale {

std::optional<std::string> ReadResource(const std::filesystem::path& path, const std::string& type, int id) {
  auto sections = ReadElfSections(path);
  if (!sections) return std::nullopt;
  for (const ElfSection& section : *sections) {
    if (!ResourceSectionLanguage(section.name, type, id)) continue;
    std::ifstream in(path, std::ios::binary);
    std::string bytes(section.size, '\0');
    in.seekg(static_cast<std::streamoff>(section.offset));
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
    return bytes;
  }
  return std::nullopt;
}

std::map<std::string, std::string> ParseVersionBlock(const std::string& text) {
  std::map<std::string, std::string> result;
  std::istringstream lines(text);
  std::string line, block;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '\0') continue;
    if (line.rfind("BLOCK ", 0) == 0) {
      block = line.substr(6);
      continue;
    }
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    if (!block.empty() && key.find('\\') == std::string::npos)
      key = "\\StringFileInfo\\" + block + "\\" + key;
    result[key] = line.substr(eq + 1);
  }
  return result;
}

}  // namespace quorvale
