#include "quorvale/core/elf_sections.h"

#include <elf.h>

#include <cstring>
#include <fstream>

namespace quorvale {

namespace {

bool ReadAt(std::ifstream& in, std::uint64_t offset, void* out, std::size_t size) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  return static_cast<bool>(in.read(static_cast<char*>(out), static_cast<std::streamsize>(size)));
}

bool Within(std::uint64_t offset, std::uint64_t size, std::uint64_t file_size) {
  return offset <= file_size && size <= file_size - offset;
}

}  // namespace

std::optional<std::vector<ElfSection>> ReadElfSections(const std::filesystem::path& file) {
  // The size of the file opened, not of the path looked up again: the two
  // differ where the path names something else to a second look (valgrind
  // opens the program for /proc/self/exe, while stat sees its own tool).
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff end = in.tellg();
  if (end < 0) return std::nullopt;
  const auto file_size = static_cast<std::uint64_t>(end);
  Elf64_Ehdr header{};
  if (!ReadAt(in, 0, &header, sizeof header)) return std::nullopt;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
    return std::nullopt;
  if (!Within(header.e_shoff, std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr), file_size))
    return std::nullopt;
  std::vector<Elf64_Shdr> table(header.e_shnum);
  if (!ReadAt(in, header.e_shoff, table.data(), table.size() * sizeof(Elf64_Shdr))) return std::nullopt;
  const Elf64_Shdr& names_header = table[header.e_shstrndx];
  if (!Within(names_header.sh_offset, names_header.sh_size, file_size)) return std::nullopt;
  std::string names(names_header.sh_size, '\0');
  if (!ReadAt(in, names_header.sh_offset, names.data(), names.size())) return std::nullopt;

  std::vector<ElfSection> sections;
  sections.reserve(table.size());
  for (const Elf64_Shdr& s : table) {
    ElfSection section;
    if (s.sh_name < names.size()) section.name = names.c_str() + s.sh_name;
    section.offset = s.sh_offset;
    section.size = s.sh_type == SHT_NOBITS ? 0 : s.sh_size;
    section.address = s.sh_addr;
    section.flags = s.sh_flags;
    if (!Within(section.offset, section.size, file_size)) return std::nullopt;
    sections.push_back(std::move(section));
  }
  return sections;
}

std::optional<int> ResourceSectionLanguage(const std::string& section, const std::string& type, int id) {
  const std::string stem = ".qvres." + type + "." + std::to_string(id);
  if (section.compare(0, stem.size(), stem) != 0) return std::nullopt;
  if (section.size() == stem.size()) return 0;
  const std::string language = section.substr(stem.size());
  if (language.size() < 2 || language.size() > 6 || language[0] != '.') return std::nullopt;
  int value = 0;
  for (std::size_t i = 1; i < language.size(); ++i) {
    if (language[i] < '0' || language[i] > '9') return std::nullopt;
    value = value * 10 + (language[i] - '0');
  }
  return value;
}

}  // namespace quorvale
