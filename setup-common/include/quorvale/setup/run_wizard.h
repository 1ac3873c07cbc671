// One start-up for every wizard program: the machine from --machine DIR,
// QUORVALE_MACHINE or the default (made on first use), the platform's
// automation objects registered on it, WinExec able to start the machine's
// programs, the real-window backend, and the program's start page. A main
// is one line:
//
//   int main(int argc, char** argv) { return RunWizard<ServerEnd>(argc, argv); }
#pragma once

#include "quorvale/setup/profile.h"

namespace quorvale::setup {

// The exit code: 0 when the program ended as it should, 1 when it could
// not start or an error ended it, 2 without a display.
int RunWizard(const ProgramProfile& profile, int argc, char** argv);

// Program names a profile: Program::Profile().
template <class Program>
int RunWizard(int argc, char** argv) {
  return RunWizard(Program::Profile(), argc, argv);
}

}  // namespace quorvale::setup
