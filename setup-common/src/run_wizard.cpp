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

// What stopped the start: on stderr, and in a message box, as the user of a
// window may not see stderr.
void ShowStartError(const ProgramProfile& profile, const std::string& message) {
  std::cerr << profile.name << ": " << message << "\n";
  ui::FltkBackend backend;
  ui::Application app(backend);
  app.RunEvent([&] { app.MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Critical, profile.name); });
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
    std::cerr << profile.name
              << " opens a window and needs a display: run it on a desktop, over ssh with X forwarding"
                 " (ssh -X), or in a VNC session\n";
    return 2;
  }
  try {
    // Takes --machine, opens the machine and checks every state file; the
    // automation objects the wizards bind come with Windows, here they are
    // the providers library of this build.
    StartOnMachine(args, QUORVALE_PROVIDERS_PATH);
  } catch (const std::exception& e) {
    ShowStartError(profile, e.what());
    return 1;
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
  if (auto error = app.Unhandled()) {
    std::cerr << profile.name << ": " << error->description << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quorvale::setup
