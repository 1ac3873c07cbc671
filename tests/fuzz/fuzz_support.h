// What the fuzz targets share: the bytes of an input as text, the machine
// the targets of machine files work on, and a way to stop on a broken
// promise so that the fuzzer keeps the input.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/machine/state_file.h"
#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale::fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A fresh machine in a temporary folder, made on first use and removed at
// exit; QUORVALE_MACHINE names it and the test clock is on, so a pause costs
// no time.
inline testing::TempMachine& FuzzMachine() {
  static testing::TempMachine machine;
  return machine;
}

// The record of what programs did grows with every run; each run starts
// without it, so a long run stays as quick as its first inputs.
// (A missing record is a damaged machine: it is written empty.)
inline void ForgetProgramEvents() {
  std::ofstream(FuzzMachine().Folder() / "program-events.txt", std::ios::binary | std::ios::trunc)
      << FormatRecordText("program\twhat it did\tpath\tdetail", {});
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The text cut at every one of the separator characters: one piece more
// than there are cuts, so "" is one empty piece.
inline std::vector<std::string> Pieces(const std::string& text, const std::string& separators) {
  std::vector<std::string> pieces;
  for (std::size_t start = 0; start <= text.size();) {
    const auto end = std::min(text.find_first_of(separators, start), text.size());
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// detail: what shows the promise broken (a message), printed after it with
// its control characters as %XX.
[[noreturn]] inline void Broken(const char* promise, const std::string& detail = "") {
  std::fprintf(stderr, "broken: %s\n%s\n", promise, EscapeField(detail).c_str());
  std::abort();
}

// The state a reader takes from a text, or nothing when it refuses the
// text. Refusing raises MachineStateError: one line that names the file.
template <class Parse>
auto ReadOrRefuse(const std::filesystem::path& file, Parse parse) -> std::optional<decltype(parse())> {
  try {
    return parse();
  } catch (const MachineStateError& e) {
    const std::string message = e.what();
    if (e.File() != file || message.find(file.string()) == std::string::npos)
      Broken("a refused state file is named in its message", message);
    if (message.find_first_of("\r\n") != std::string::npos)
      Broken("a refused state file's message is one line", message);
    return std::nullopt;
  }
}

// The state a reader takes from a text the machine wrote: refusing it
// breaks the promise.
template <class Parse>
auto ReadWritten(const char* promise, Parse parse) -> decltype(parse()) {
  try {
    return parse();
  } catch (const MachineStateError& e) {
    Broken(promise, e.what());
  }
}

// Reads the text with parse(text); what it takes, written by write and read
// again, must be the same by same. Gives what was read, or nothing for a
// text the reader refused.
template <class Parse, class Write, class Same>
auto RoundTrip(const std::string& text, const std::filesystem::path& file, Parse parse, Write write,
               Same same, const char* promise) -> std::optional<decltype(parse(text))> {
  auto read = ReadOrRefuse(file, [&] { return parse(text); });
  if (read && !same(ReadWritten(promise, [&] { return parse(write(*read)); }), *read)) Broken(promise);
  return read;
}

}  // namespace quorvale::fuzz
