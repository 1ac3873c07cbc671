// What kind of ELF file a machine file is: programs and libraries of ours
// copied onto the machine under their Windows names.
#pragma once

#include <filesystem>

namespace quorvale::programs {

enum class ElfKind { kNone, kLibrary, kProgram, kDamaged };

// kProgram for an ELF file with a program interpreter (or a static
// executable), kLibrary for another shared object, kDamaged for an ELF file
// whose segments lie past its end (loading it would fault), kNone for
// anything else.
ElfKind ElfKindOf(const std::filesystem::path& file);

}  // namespace quorvale::programs
