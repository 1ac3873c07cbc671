// The reader of ELF section tables and the resources found by it. An input
// that begins as an ELF file does is such a file: every section it reads
// lies inside the file, and a resource is the bytes of its section. Any
// other input describes sections (per section: a byte of kind, a byte of
// length, a name up to a NUL, then its bytes), written as a 64-bit ELF file
// of those sections: its table reads back section for section, and its
// resources (type library, version block) as written.
#include <elf.h>

#include <cstring>

#include "fuzz_support.h"
#include "quorvale/com/resources.h"
#include "quorvale/com/typelib.h"
#include "quorvale/core/elf_sections.h"

using namespace quorvale;

namespace {

struct Section {
  std::string name, bytes;
  bool nobits = false;  // takes no room in the file (.bss)
  std::uint64_t flags = 0, address = 0, offset = 0;
};

std::vector<Section> Described(const std::string& in) {
  std::vector<Section> sections;
  for (std::size_t i = 0; i + 2 <= in.size() && sections.size() < 64;) {
    Section s;
    const auto kind = static_cast<unsigned char>(in[i]);
    const std::size_t length = static_cast<unsigned char>(in[i + 1]);
    s.nobits = kind & 1;
    s.flags = kind & 2 ? SHF_ALLOC : 0;
    s.address = 0x1000 * (sections.size() + 1);
    const auto nul = std::min(in.find('\0', i + 2), in.size());
    s.name = in.substr(i + 2, nul - i - 2);
    i = std::min(nul + 1, in.size());
    if (!s.nobits) s.bytes = in.substr(i, length);
    i += s.nobits ? 0 : s.bytes.size();
    sections.push_back(std::move(s));
  }
  return sections;
}

template <class T>
void Put(std::string& file, const T& value) {
  file.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The file: header, each section's bytes, the names, then the table (the
// empty section first, the names' section last).
std::string ElfFile(std::vector<Section>& sections) {
  std::string file(sizeof(Elf64_Ehdr), '\0'), names(1, '\0');
  std::vector<Elf64_Shdr> table(1);
  for (Section& s : sections) {
    s.offset = file.size();
    file += s.bytes;
    Elf64_Shdr h{};
    h.sh_name = static_cast<Elf64_Word>(names.size());
    h.sh_type = s.nobits ? SHT_NOBITS : SHT_PROGBITS;
    h.sh_flags = s.flags;
    h.sh_addr = s.address;
    h.sh_offset = s.offset;
    h.sh_size = s.nobits ? 0x100 : s.bytes.size();
    table.push_back(h);
    names += s.name + '\0';
  }
  Elf64_Shdr names_header{};
  names_header.sh_name = static_cast<Elf64_Word>(names.size());
  names += ".shstrtab";
  names += '\0';
  names_header.sh_type = SHT_STRTAB;
  names_header.sh_offset = file.size();
  names_header.sh_size = names.size();
  table.push_back(names_header);
  file += names;
  file.resize((file.size() + 7) / 8 * 8, '\0');

  Elf64_Ehdr header{};
  std::memcpy(header.e_ident, ELFMAG, SELFMAG);
  header.e_ident[EI_CLASS] = ELFCLASS64;
  header.e_ident[EI_DATA] = ELFDATA2LSB;
  header.e_ident[EI_VERSION] = EV_CURRENT;
  header.e_type = ET_REL;
  header.e_machine = EM_X86_64;
  header.e_version = EV_CURRENT;
  header.e_shoff = file.size();
  header.e_ehsize = sizeof header;
  header.e_shentsize = sizeof(Elf64_Shdr);
  header.e_shnum = static_cast<Elf64_Half>(table.size());
  header.e_shstrndx = static_cast<Elf64_Half>(table.size() - 1);
  std::memcpy(file.data(), &header, sizeof header);
  for (const auto& h : table) Put(file, h);
  return file;
}

// The bytes of the first section that carries resource type id.
std::optional<std::string> FirstResource(const std::vector<Section>& sections, const char* type, int id) {
  for (const Section& s : sections)
    if (ResourceSectionLanguage(s.name, type, id)) return s.bytes;
  return std::nullopt;
}

void ReadsAsWritten(const std::string& input, const std::filesystem::path& file) {
  auto sections = Described(input);
  fuzz::WriteFile(file, ElfFile(sections));
  const auto read = ReadElfSections(file);
  if (!read || read->size() != sections.size() + 2)
    fuzz::Broken("the section table of a file we write reads back whole");
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const Section& s = sections[i];
    const ElfSection& r = (*read)[i + 1];
    if (r.name != s.name || r.offset != s.offset || r.size != s.bytes.size() || r.address != s.address ||
        r.flags != s.flags)
      fuzz::Broken("a section of a file we write reads back as written", s.name);
  }
  if (ReadResource(file, "VERSION", 1) != FirstResource(sections, "VERSION", 1))
    fuzz::Broken("a resource reads back as written");
  const auto typelib = FirstResource(sections, "TYPELIB", 1);
  if (LoadTypeLib(file) != (typelib ? ParseTypeLib(*typelib) : std::nullopt))
    fuzz::Broken("the type library of a file reads as its resource's text");
}

void ReadsInside(const std::string& bytes, const std::filesystem::path& file) {
  fuzz::WriteFile(file, bytes);
  const auto sections = ReadElfSections(file);
  if (!sections) return;
  for (const ElfSection& s : *sections) {
    if (s.offset > bytes.size() || s.size > bytes.size() - s.offset)
      fuzz::Broken("every section read lies inside the file", s.name);
    if (ResourceSectionLanguage(s.name, "VERSION", 1)) {
      if (ReadResource(file, "VERSION", 1) != bytes.substr(s.offset, s.size))
        fuzz::Broken("a resource is the bytes of its section", s.name);
      break;
    }
  }
  if (const auto block = ReadResource(file, "VERSION", 1)) ParseVersionBlock(*block);
  LoadTypeLib(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = fuzz::FuzzMachine().Folder() / "fuzz.so";
  const std::string input = fuzz::Text(data, size);
  if (input.starts_with(ELFMAG))
    ReadsInside(input, file);
  else
    ReadsAsWritten(input, file);
  return 0;
}
