// A fresh machine in a temporary folder for one test: QUORVALE_MACHINE
// points at it and the test clock is on while it lives; it leaves nothing
// behind. Header-only, for the tests of every room:
//
//   quorvale::testing::TempMachine temp;                 // Windows Server 2003
//   temp.Write("C:\\Program Files\\a.txt", "bytes");
//   EXPECT_TRUE(temp.Exists("C:\\PROGRA~1\\A.TXT"));
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "quorvale/machine/clock.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_folder.h"

namespace quorvale::testing {

class TempMachine {
 public:
  // A new machine of the shape, or, with copy_of, a copy of the machine
  // kept in that folder (as a program on another machine left it).
  explicit TempMachine(const MachineShape& shape = {}, const std::filesystem::path& copy_of = {}) {
    if (const char* old = std::getenv("QUORVALE_MACHINE")) old_env_ = old;
    if (copy_of.empty())
      Machine::Create(Folder(), shape);
    else
      std::filesystem::copy(copy_of, Folder(), std::filesystem::copy_options::recursive);
    ::setenv("QUORVALE_MACHINE", Folder().c_str(), 1);
    machine_ = CurrentMachine();
    // A machine made while another lives (a probe inside a test) leaves the
    // clock of the other as it runs: its time and what is due at it.
    clock_was_on_ = OnTestClock();
    if (!clock_was_on_) {
      UseTestClock(true);
      ResetTestClock();
    }
  }
  ~TempMachine() {
    if (!clock_was_on_) ResetTestClock();  // first: what is still due may hold on to the machine
    machine_.reset();
    if (!clock_was_on_) UseTestClock(false);
    if (old_env_)
      ::setenv("QUORVALE_MACHINE", old_env_->c_str(), 1);
    else
      ::unsetenv("QUORVALE_MACHINE");
  }
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  Machine& machine() { return *machine_; }
  const std::filesystem::path& Folder() const { return folder_.Path(); }

  // The host file of a Windows path (UTF-8), found as Windows finds it.
  std::filesystem::path Host(const std::string& windows_path) const {
    return machine_->Resolve(windows_path).host;
  }
  bool Exists(const std::string& windows_path) const { return machine_->Resolve(windows_path).exists; }
  // Writes a file, making its folders.
  void Write(const std::string& windows_path, const std::string& bytes) const {
    auto host = Host(windows_path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& windows_path) const {
    std::ifstream in(Host(windows_path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  TempFolder folder_{"quorvale-machine"};
  std::optional<std::string> old_env_;
  bool clock_was_on_ = false;
  std::shared_ptr<Machine> machine_;
};

}  // namespace quorvale::testing
