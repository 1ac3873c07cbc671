#include "quorvale/programs/launch.h"
#include "quorvale/programs/machine_program_host.h"
#include "quorvale/win32/kernel.h"

namespace quorvale {

void InstallLauncher() {
  win32::SetProgramLauncher([](const std::string& command_line, int show) {
    return Launch(CurrentProgramHost(), command_line, show);
  });
}

}  // namespace quorvale
