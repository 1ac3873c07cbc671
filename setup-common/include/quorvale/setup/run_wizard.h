// One start-up for every wizard program: a display, the machine from
// --machine DIR, QUORVALE_MACHINE or the default (made on first use) with
// every state file checked, the platform's automation objects on it,
// WinExec able to start the machine's programs, the real-window backend,
// and the program's start page. What stops the start is said on stderr and
// in a message box. A main is one line:
//
//   int main(int argc, char** argv) { return RunWizard<ServerEnd>(argc, argv); }
#pragma once

#include "quorvale/setup/profile.h"

namespace quorvale::setup {

// Ends with the program's closing line on stderr (outcome.h) and the exit
// code of its outcome: 0 completed or handed over, 1 failed (it could not
// start, an error ended it, the work did not happen), 2 without a display,
// 3 refused, 4 cancelled.
int RunWizard(const ProgramProfile& profile, int argc, char** argv);

// Program names a profile: Program::Profile().
template <class Program>
int RunWizard(int argc, char** argv) {
  return RunWizard(Program::Profile(), argc, argv);
}

}  // namespace quorvale::setup
