// A fresh machine per test (quorvale::testing::TempMachine, on the test
// clock) with the programs' host over it; the programs of each test are
// waited for before the machine goes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/programs/machine_program_host.h"

namespace quorvale {

inline void PrintTo(const ProgramEvent& e, std::ostream* os) {
  *os << "{" << e.program << ", " << e.what << ", " << e.path << ", " << e.detail << "}";
}
inline void PrintTo(const AccessEntry& e, std::ostream* os) {
  *os << "{" << e.path << ", " << e.principal << ":" << e.right << "}";
}
inline void PrintTo(const ServiceRecord& s, std::ostream* os) {
  *os << "{" << s.name << ", " << s.display_name << ", " << s.binary_path << ", " << s.start_type << ", "
      << s.state << "}";
}
inline bool operator==(const ServiceRecord& a, const ServiceRecord& b) {
  return a.name == b.name && a.display_name == b.display_name && a.binary_path == b.binary_path &&
         a.start_type == b.start_type && a.state == b.state;
}

}  // namespace quorvale

namespace quorvale::testing {

class MachineTest : public ::testing::Test {
 protected:
  void TearDown() override { WaitForPrograms(); }

  MachineProgramHost& host() { return host_; }
  Machine& machine() { return temp_.machine(); }
  const std::filesystem::path& Folder() const { return temp_.Folder(); }
  std::filesystem::path File(const std::string& windows_path) { return temp_.Host(windows_path); }
  void Write(const std::string& windows_path, const std::string& bytes) { temp_.Write(windows_path, bytes); }
  std::string Read(const std::string& windows_path) { return temp_.Read(windows_path); }
  bool Exists(const std::string& windows_path) { return temp_.Exists(windows_path); }
  std::vector<ProgramEvent> Records() { return machine().ProgramEvents(); }

  // Starts the command hidden and waits for it to end.
  bool Run(const std::string& command_line) {
    bool started = Launch(host(), command_line, 0);
    WaitForPrograms();
    return started;
  }

  TempMachine temp_;
  MachineProgramHost host_{CurrentMachine()};
};

}  // namespace quorvale::testing
