// Makes the payloads at build time.
//
//   payload_gen stand-ins DIR            Rar.exe, DodIde.dll, Jmail.dll, Uninstall.exe
//   payload_gen pad IN OUT SIZE          IN padded with zero bytes to SIZE
//   payload_gen server OUT UNINSTALLER [STRIP]
//                                        the server end's archive, with the
//                                        stand-in program UNINSTALLER packed
//                                        as Uninstall.exe (stripped with STRIP)
//   payload_gen client OUT COMPONENT REPAIR DODIDE JMAIL [STRIP]
//                                        the control end's archive; a REPAIR
//                                        program of ours is packed stripped
//                                        with the STRIP program
//   payload_gen paths OUT                a header with each archive's longest
//                                        member path
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "quorvale/payload/payloads.h"

extern char** environ;

namespace {

using namespace quorvale;
using namespace quorvale::payload;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Written under a temporary name and renamed, so a failed run leaves no
// half-written payload behind for the next build step.
void WriteFile(const fs::path& path, const std::string& bytes) {
  const fs::path temporary = path.string() + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush())
      throw std::runtime_error("cannot write " + temporary.string());
  }
  fs::rename(temporary, path);
}

// The longest member name of an archive, in code page 936 bytes as the
// archive and the ANSI calls hold it, and the name.
std::pair<std::size_t, std::string> LongestMember(const std::vector<RarMember>& members) {
  std::pair<std::size_t, std::string> longest{0, ""};
  for (const auto& m : members) {
    const std::size_t bytes = AnsiText(m.name).size();
    if (bytes > longest.first) longest = {bytes, m.name};
  }
  return longest;
}

std::string PathsHeader() {
  // Member names do not depend on the files' bytes.
  const auto server = LongestMember(ServerPayloadMembers({}));
  const auto control = LongestMember(ClientPayloadMembers({}));
  auto constant = [](const char* name, const std::pair<std::size_t, std::string>& m) {
    return "inline constexpr std::size_t " + std::string(name) + " = " + std::to_string(m.first) + ";  // " +
           m.second + "\n";
  };
  return "// Written by the build (payload_gen paths): the longest member path of\n"
         "// each end's archive, in code page 936 bytes, and the member.\n"
         "#pragma once\n\n#include <cstddef>\n\nnamespace quorvale::payload {\n\n" +
         constant("kServerLongestMember", server) + constant("kControlLongestMember", control) +
         "\n}  // namespace quorvale::payload\n";
}

std::string Padded(const std::string& bytes, std::size_t size, const std::string& what) {
  if (bytes.size() > size)
    throw std::runtime_error(what + " is " + std::to_string(bytes.size()) + " bytes, more than its " +
                             std::to_string(size));
  std::string out = bytes;
  out.resize(size, '\0');
  return out;
}

// The program's bytes without symbols and debugging sections when it is an
// ELF file; other files as they are.
std::string Stripped(const fs::path& program, const std::string& strip) {
  std::string bytes = ReadFile(program);
  if (strip.empty() || bytes.rfind("\x7F"
                                   "ELF",
                                   0) != 0)
    return bytes;
  const std::string out =
      (fs::temp_directory_path() / ("payload_gen_" + std::to_string(::getpid()))).string();
  std::vector<std::string> args = {strip, "--strip-all", "-o", out, program.string()};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  int status = 0;
  if (::posix_spawnp(&pid, strip.c_str(), nullptr, nullptr, argv.data(), environ) != 0 ||
      ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("cannot strip " + program.string());
  bytes = ReadFile(out);
  fs::remove(out);
  return bytes;
}

void Run(const std::vector<std::string>& a) {
  const std::string command = a.empty() ? "" : a[0];
  if (command == "stand-ins" && a.size() == 2) {
    fs::create_directories(a[1]);
    WriteFile(fs::path(a[1]) / "Rar.exe", UnpackerStandIn());
    WriteFile(fs::path(a[1]) / "DodIde.dll", DodIdeStandIn());
    WriteFile(fs::path(a[1]) / "Jmail.dll", JmailStandIn());
    WriteFile(fs::path(a[1]) / "Uninstall.exe", RepairProgramStandIn());
  } else if (command == "pad" && a.size() == 4) {
    WriteFile(a[2], Padded(ReadFile(a[1]), std::stoul(a[3]), a[1]));
  } else if (command == "paths" && a.size() == 2) {
    fs::create_directories(fs::path(a[1]).parent_path());
    WriteFile(a[1], PathsHeader());
  } else if (command == "server" && (a.size() == 3 || a.size() == 4)) {
    const std::string uninstaller = Stripped(a[2], a.size() == 4 ? a[3] : "");
    WriteFile(a[1], MakeRarArchive(ServerPayloadMembers(uninstaller), kServerPayloadSize));
  } else if (command == "client" && (a.size() == 6 || a.size() == 7)) {
    const ControlEndFiles files{
        Padded(ReadFile(a[2]), kComponentSize, a[2]), Stripped(a[3], a.size() == 7 ? a[6] : ""),
        Padded(ReadFile(a[4]), kDodIdeSize, a[4]), Padded(ReadFile(a[5]), kJmailSize, a[5])};
    WriteFile(a[1], MakeRarArchive(ClientPayloadMembers(files), kClientPayloadSize));
  } else {
    throw std::runtime_error(
        "usage: payload_gen stand-ins DIR | pad IN OUT SIZE | server OUT UNINSTALLER [STRIP] | "
        "client OUT COMPONENT REPAIR DODIDE JMAIL [STRIP] | paths OUT");
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Run(std::vector<std::string>(argv + 1, argv + argc));
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "payload_gen: " << e.what() << "\n";
    return 1;
  }
}
