#include "quorvale/uninstall/repair_program.h"

#include "quorvale/core/text.h"
#include "quorvale/uninstall/repair_sequence.h"
#include "quorvale/uninstall/running_page.h"
#include "quorvale/uninstall/uninstall_complete_page.h"
#include "quorvale/uninstall/uninstall_sequence.h"
#include "quorvale/uninstall/uninstall_welcome_page.h"

namespace quorvale::uninstall {

using namespace setup;

Mode ModeOfCommandLine(const std::string& command_line) {
  const std::string line = LowerCase(command_line);
  if (line == "-modify") return Mode::kModify;
  if (line == "-delete") return Mode::kDelete;
  return Mode::kChoose;
}

ProgramProfile RepairProgram::Profile() {
  ProgramProfile p;
  p.name = "Uninstall";
  p.texts = ControlEndTexts();
  p.texts.icon = ui::Picture{"Uninstall.ico"};
  p.rules = ControlEndRules();
  p.order = {OrderLine<UninstallWelcomePage>(), OrderLine<RunningPage>(), OrderLine<UninstallCompletePage>()};
  // The first tick of Running runs the sequence of the mode Welcome holds.
  p.sequence = [](SetupProgram& program, ProgressPage& page) {
    const auto& welcome = program.Page<UninstallWelcomePage>();
    if (welcome.RepairChosen()) return RepairSequence(program, page).Run();
    if (welcome.UninstallChosen()) UninstallSequence(program, page).Run();
  };
  // Welcome's load makes the start-up checks and reads the command line;
  // a mode chosen there goes straight to Running, Welcome staying hidden.
  p.start = [](SetupProgram& program) {
    auto& welcome = program.Page<UninstallWelcomePage>();
    welcome.Load();
    if (welcome.ChosenByCommandLine()) return program.Page<RunningPage>().Show();
    welcome.Show();
  };
  return p;
}

}  // namespace quorvale::uninstall
