// Uninstall started headless on a fresh machine whose registry names the
// platform's automation objects, with WinExec running the machine's
// programs; the control end's install folder made, as the program finds it
// there.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/headless.h"
#include "quorvale/uninstall/repair_program.h"
#include "quorvale/uninstall/running_page.h"
#include "quorvale/uninstall/uninstall_complete_page.h"
#include "quorvale/uninstall/uninstall_welcome_page.h"

namespace quorvale::uninstall::testing {

inline constexpr const char* kInstallFolder = "C:\\Program Files\\Quorvale\\主控端";

struct UninstallRun {
  explicit UninstallRun(const MachineShape& shape = {}) : temp(shape) {
    RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
    InstallLauncher();
    std::filesystem::create_directories(temp.Host(kInstallFolder));
    program->SetAppPath(kInstallFolder);
  }
  ~UninstallRun() { WaitForPrograms(); }
  void Start(const std::string& command_line = "") {
    program->SetCommandLine(command_line);
    driver.Run([&] { program->Start(); });
  }
  UninstallWelcomePage& welcome() { return program->Page<UninstallWelcomePage>(); }
  RunningPage& running() { return program->Page<RunningPage>(); }
  UninstallCompletePage& complete() { return program->Page<UninstallCompletePage>(); }
  // The machine's registry file, to see that nothing changed.
  std::string RegistryText() {
    std::ifstream in(RegistryFileOf(temp.Folder()), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The command lines started on the machine, in order.
  std::vector<std::string> Started() {
    std::vector<std::string> out;
    for (const auto& s : temp.machine().StartedPrograms()) out.push_back(s.command_line);
    return out;
  }
  // The batch files started (Delete.bat), with their show states.
  std::vector<StartedProgram> BatchesStarted() {
    std::vector<StartedProgram> out;
    for (const auto& s : temp.machine().StartedPrograms())
      if (s.command_line.ends_with(".bat")) out.push_back(s);
    return out;
  }

  quorvale::testing::TempMachine temp;
  ui::HeadlessDriver driver;
  std::unique_ptr<setup::SetupProgram> program =
      std::make_unique<setup::SetupProgram>(driver.App(), RepairProgram::Profile());
};

}  // namespace quorvale::uninstall::testing
