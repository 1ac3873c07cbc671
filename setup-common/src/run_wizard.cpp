#include "quorvale/setup/run_wizard.h"

#include <stdlib.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/fltk_backend.h"

namespace quorvale::setup {

namespace {

// The program's last word: its closing line; the exit code of the outcome.
int Say(const ProgramProfile& profile, const ProgramOutcome& outcome, int code) {
  std::cerr << ClosingLine(profile.name, outcome) << std::endl;
  return code;
}

// What stopped the start: in a message box, as the user of a window may not
// see stderr, then in the closing line.
int ShowStartError(const ProgramProfile& profile, const std::string& message) {
  ui::FltkBackend backend;
  ui::Application app(backend);
  app.RunEvent([&] { app.MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Critical, profile.name); });
  return Say(profile, {Outcome::kFailed, message}, kExitFailed);
}

// The arguments as one text: as the command line held them when a program
// of the machine started this one (QUORVALE_COMMAND_LINE, blanks and all),
// else joined by blanks.
std::string CommandLineOf(const std::vector<std::string>& args) {
  if (const char* given = std::getenv("QUORVALE_COMMAND_LINE")) {
    std::string line = given;
    ::unsetenv("QUORVALE_COMMAND_LINE");  // not for the programs this one starts
    return line;
  }
  std::string line;
  for (const auto& a : args) line += (line.empty() ? "" : " ") + a;
  return line;
}

}  // namespace

int RunWizard(const ProgramProfile& profile, int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!ui::DisplayAvailable()) {
    return Say(profile,
               {Outcome::kFailed,
                "the wizard opens a window and needs a display: run it on a desktop, over ssh with X"
                " forwarding (ssh -X), or in a VNC session"},
               kExitNoDisplay);
  }
  try {
    // Takes --machine, opens the machine and checks every state file; the
    // automation objects the wizards bind come with Windows, here they are
    // the providers library of this build.
    StartOnMachine(args, QUORVALE_PROVIDERS_PATH);
  } catch (const std::exception& e) {
    return ShowStartError(profile, e.what());
  }
  InstallLauncher();  // WinExec starts the machine's programs
  ui::FltkBackend backend;
  ui::Application app(backend);
  SetupProgram program(app, profile);
  program.SetCommandLine(CommandLineOf(args));
  program.SetAppPath(RunningAppPath());
  app.RunEvent([&] { program.Start(); });
  backend.RunUntilEnd(app);
  // The programs it started that run on its threads stand in for processes
  // of their own, which would go on after it: they finish first.
  WaitForProgramsOnThreads(std::chrono::seconds(60));
  // An error no handler resumed past ended it, whatever was noted before.
  if (auto error = app.Unhandled()) return Say(profile, {Outcome::kFailed, error->description}, kExitFailed);
  return Say(profile, program.EndedWith(), ExitCodeOf(program.EndedWith().outcome));
}

}  // namespace quorvale::setup
