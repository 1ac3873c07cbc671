// A fresh machine folder per test, with C:\WINDOWS\system32 and the
// programs of earlier tests waited for.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "quorvale/programs/folder_program_host.h"
#include "quorvale/programs/launch.h"

namespace quorvale {

inline void PrintTo(const ProgramRecord& r, std::ostream* os) {
  *os << "{" << r.program << ", " << r.action << ", " << r.path << ", " << r.detail << "}";
}
inline void PrintTo(const AccessEntry& e, std::ostream* os) {
  *os << "{" << e.path << ", " << e.principal << ":" << e.right << (e.recursive ? " /t" : "")
      << (e.replace ? " replace" : "") << "}";
}

}  // namespace quorvale

namespace quorvale::testing {

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorvale-programs-XXXXXX";
    machine_ = ::mkdtemp(pattern);
    std::filesystem::create_directories(machine_ / "drives/C/WINDOWS/system32");
    host_ = std::make_unique<FolderProgramHost>(machine_);
  }
  void TearDown() override {
    WaitForPrograms();
    host_.reset();
    std::filesystem::remove_all(machine_);
  }

  FolderProgramHost& host() { return *host_; }
  std::filesystem::path File(const std::string& windows_path) { return *host_->HostPathOf(windows_path); }

  void Write(const std::string& windows_path, const std::string& bytes) {
    auto file = File(windows_path);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& windows_path) {
    std::ifstream in(File(windows_path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const std::string& windows_path) { return std::filesystem::exists(File(windows_path)); }

  // Starts the command hidden and waits for it to end.
  bool Run(const std::string& command_line) {
    bool started = Launch(host(), command_line, 0);
    WaitForPrograms();
    return started;
  }

  std::filesystem::path machine_;
  std::unique_ptr<FolderProgramHost> host_;
};

}  // namespace quorvale::testing
