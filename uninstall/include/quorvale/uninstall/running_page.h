// Uninstall's progress page. Before its sequence it asks for the mode's
// confirmation and shows the mode's captions; its timer's first tick then
// runs the repair or the uninstall. It carries the program's helper
// procedures: its own SleepFile and ToDeleteFile (10 tries 1000 ms apart,
// never raising), the folders, short paths, INI and registry helpers, and
// Cut.
#pragma once

#include <string>

#include "quorvale/setup/progress_page.h"
#include "quorvale/uninstall/repair_program.h"

namespace quorvale::uninstall {

class RunningPage : public setup::ProgressPage, public RepairProgram::Helpers {
 public:
  explicit RunningPage(setup::SetupProgram& program);

  // The part of content between the end of the first head and the first
  // bot; "" when either is missing or the bot comes before the head ends.
  static std::string Cut(const std::string& content, const std::string& head, const std::string& bot);

  // A check of a sequence that fails: the message (OK only), then the
  // program ends, refused unless told otherwise. The sequences make their
  // checks before their first change.
  [[noreturn]] void Stop(const std::string& message, ui::MsgIcon icon, const std::string& title,
                         setup::Outcome outcome = setup::Outcome::kRefused);
  // A damaged file of the machine's own stops the program with the
  // message naming it (critical icon, the title given): failed.
  void StopOnDamagedMachine(const std::string& title);

  ui::Label TypeTitle{*this, "TypeTitle"};
  ui::Label TypeInfo{*this, "TypeInfo"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  // Welcome's icon, the confirmation (Cancel ends the program before
  // anything has changed), the captions, then the timer.
  void OnLoad() override;
};

}  // namespace quorvale::uninstall
