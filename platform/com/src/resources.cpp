#include "quorvale/com/resources.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quorvale {

namespace {

template <class T>
bool ReadAt(const std::string& file, std::uint64_t offset, T* out) {
  if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
  std::memcpy(out, file.data() + offset, sizeof(T));
  return true;
}

}  // namespace

std::optional<std::string> ReadResource(const std::filesystem::path& path, const std::string& type, int id) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Elf64_Ehdr header;
  if (!ReadAt(file, 0, &header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr))
    return std::nullopt;
  Elf64_Shdr names;
  if (!ReadAt(file, header.e_shoff + std::uint64_t{header.e_shstrndx} * sizeof(Elf64_Shdr), &names))
    return std::nullopt;
  const std::string wanted = ".qvres." + type + "." + std::to_string(id);
  for (std::uint16_t i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr section;
    if (!ReadAt(file, header.e_shoff + std::uint64_t{i} * sizeof(Elf64_Shdr), &section)) return std::nullopt;
    const std::uint64_t name_at = names.sh_offset + section.sh_name;
    if (name_at >= file.size()) continue;
    const char* name = file.data() + name_at;
    if (std::strncmp(name, wanted.c_str(), file.size() - name_at) != 0) continue;
    if (section.sh_offset > file.size() || file.size() - section.sh_offset < section.sh_size)
      return std::nullopt;
    return file.substr(section.sh_offset, section.sh_size);
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
