// Resources linked into a library or program: byte arrays placed in named
// ELF sections ".qvres.<TYPE>.<id>" (or ".qvres.<TYPE>.<id>.<language>"),
// found again by reading the file's section table, as resources are read off
// a Windows file without running it.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// Places a resource into the file being built; `used` and `retain` keep it
// through compiling and through a link that collects unused sections, even
// though no code refers to it.
#define QUORVALE_RESOURCE(type, id) __attribute__((used, retain, section(".qvres." #type "." #id)))

namespace quorvale {

// The bytes of resource <type> <id> (in any language) of an ELF file;
// nothing when the file cannot be read or has no such resource.
std::optional<std::string> ReadResource(const std::filesystem::path& file, const std::string& type, int id);

// A version block as carried in resource VERSION 1: "Key=Value" lines,
// fixed fields first (FileVersion numbers, FileType, Translation), then the
// string table of the language block.
std::map<std::string, std::string> ParseVersionBlock(const std::string& text);

}  // namespace quorvale
