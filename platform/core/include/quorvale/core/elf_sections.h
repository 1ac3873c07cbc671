// The section table of a 64-bit ELF file, and the names under which
// resources (byte arrays linked into a library or program) are carried:
// ".qvres.<TYPE>.<id>", optionally followed by ".<language>".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvale {

struct ElfSection {
  std::string name;
  std::uint64_t offset = 0;   // in the file
  std::uint64_t size = 0;     // bytes
  std::uint64_t address = 0;  // in the image as linked
  std::uint64_t flags = 0;    // SHF_*
};

// The sections of the file, read from its header, section table and section
// names alone (not the whole file); nothing when the file cannot be read, is
// no 64-bit ELF file, or its table or a section lies past the file's end.
std::optional<std::vector<ElfSection>> ReadElfSections(const std::filesystem::path& file);

// The language of a resource section named for <type> <id>: 0 for a section
// without a language, nothing for a section of another name.
std::optional<int> ResourceSectionLanguage(const std::string& section, const std::string& type, int id);

}  // namespace quorvale
