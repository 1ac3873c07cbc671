#include "elf_file.h"

#include <elf.h>

#include <cstring>
#include <fstream>

namespace quorvale::programs {

ElfKind ElfKindOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  Elf64_Ehdr header{};
  if (!in.read(reinterpret_cast<char*>(&header), sizeof header)) return ElfKind::kNone;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
    return ElfKind::kNone;
  if (header.e_type != ET_EXEC && header.e_type != ET_DYN) return ElfKind::kNone;
  if (header.e_phentsize != sizeof(Elf64_Phdr) || header.e_phnum == 0) return ElfKind::kDamaged;
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return ElfKind::kNone;
  bool interpreter = false;
  in.seekg(static_cast<std::streamoff>(header.e_phoff));
  for (int i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr ph{};
    if (!in.read(reinterpret_cast<char*>(&ph), sizeof ph)) return ElfKind::kDamaged;
    if (ph.p_type == PT_INTERP) interpreter = true;
    if (ph.p_type == PT_LOAD && (ph.p_offset > size || ph.p_filesz > size - ph.p_offset))
      return ElfKind::kDamaged;
  }
  return interpreter || header.e_type == ET_EXEC ? ElfKind::kProgram : ElfKind::kLibrary;
}

}  // namespace quorvale::programs
