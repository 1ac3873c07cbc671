// What the fuzz targets share: the bytes of an input as text, the machine
// the targets of machine files work on, and a way to stop on a broken
// promise so that the fuzzer keeps the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
inline void ForgetProgramEvents() { std::filesystem::remove(FuzzMachine().Folder() / "program-events.txt"); }

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

[[noreturn]] inline void Broken(const char* promise) {
  std::fprintf(stderr, "broken: %s\n", promise);
  std::abort();
}

}  // namespace quorvale::fuzz
