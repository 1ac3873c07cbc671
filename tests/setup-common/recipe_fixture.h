// The recipes' tests: a fresh machine (test clock) whose registry names the
// providers and whose programs run when started, and a reporter that
// records what the progress page would show.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "recorded_steps.h"

namespace quorvale::setup::testing {

// A file of the build (a payload, a stand-in) as bytes.
inline std::string HostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Programs started on the machine are waited for before it goes.
class RecipeMachine {
 public:
  explicit RecipeMachine(const MachineShape& shape = {}) : temp(shape) {
    RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
    InstallLauncher();
  }
  ~RecipeMachine() { WaitForPrograms(); }
  RecipeMachine(const RecipeMachine&) = delete;
  RecipeMachine& operator=(const RecipeMachine&) = delete;

  // The command lines started hidden, in order.
  std::vector<std::string> Started() {
    std::vector<std::string> out;
    for (const auto& s : temp.machine().StartedPrograms()) {
      EXPECT_EQ(s.show, 0) << s.command_line;
      out.push_back(s.command_line);
    }
    return out;
  }

  quorvale::testing::TempMachine temp;
};

}  // namespace quorvale::setup::testing
