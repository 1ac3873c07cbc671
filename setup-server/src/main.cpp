// Server.exe: the server-end setup in real windows, on the machine named by
// --machine DIR or QUORVALE_MACHINE (the default machine otherwise, made on
// first use).
#include <iostream>
#include <string>
#include <vector>

#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/server/server_program.h"
#include "quorvale/setup/win32_hooks.h"
#include "quorvale/ui/fltk_backend.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!quorvale::ui::DisplayAvailable()) {
    std::cerr << "Server needs a display: run it from a desktop session, or as  xvfb-run -a " << argv[0]
              << "\n";
    return 2;
  }
  try {
    // The automation objects the wizard binds come with Windows; on this
    // machine they are the providers library of this build.
    quorvale::StartOnMachine(args, QUORVALE_PROVIDERS_PATH);
  } catch (const std::exception& e) {
    std::cerr << "Server: " << e.what() << "\n";
    return 1;
  }
  quorvale::InstallLauncher();  // WinExec starts the machine's programs
  quorvale::ui::FltkBackend backend;
  quorvale::ui::Application app(backend);
  quorvale::server::ServerProgram program(app, quorvale::setup::Win32Hooks());
  app.RunEvent([&] { program.Start(); });
  backend.RunUntilEnd(app);
  return app.Unhandled() ? 1 : 0;
}
