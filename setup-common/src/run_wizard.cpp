#include "quorvale/setup/run_wizard.h"

#include <stdlib.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "quorvale/machine/machine.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/fltk_backend.h"

namespace quorvale::setup {

namespace {

// The automation objects the wizards bind come with Windows; on this
// machine they are the providers library of this build.
void RegisterPlatformObjects(Machine& machine) {
  if (machine.Registry().KeyExists("HKEY_CLASSES_ROOT\\IIS\\CLSID")) return;
  RegisterProviders(machine.Registry(), QUORVALE_PROVIDERS_PATH);
  RegisterDatabaseProviders(machine.Registry(), QUORVALE_PROVIDERS_PATH);
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
  TakeMachineArgument(args);
  if (!ui::DisplayAvailable()) {
    std::cerr << profile.name << " needs a display: run it from a desktop session, or as  xvfb-run -a "
              << argv[0] << "\n";
    return 2;
  }
  try {
    RegisterPlatformObjects(*CurrentMachine());
  } catch (const std::exception& e) {
    std::cerr << profile.name << ": " << e.what() << "\n";
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
  if (auto error = app.Unhandled()) {
    std::cerr << profile.name << ": " << error->description << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quorvale::setup
