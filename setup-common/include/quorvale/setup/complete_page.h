// The last page: starts the console program and the read-me as chosen,
// then ends the program; every way out of it ends the program. After an
// install that did not happen it says so instead, offers nothing to start,
// and the program ends failed.
#pragma once

#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

class CompletePage : public WizardPage {
 public:
  explicit CompletePage(SetupProgram& program);
  ui::Control* EntryFocus(Arrival) override { return nullptr; }

  // The install's check found parts missing (as the list names them, "、"
  // between): the failure texts in place of the success ones, no boxes.
  void ShowFailure(const std::string& missing, const std::string& folder);
  bool Failed() const { return !failure_.empty(); }

  // Run exists on the control end too, hidden and unchecked.
  ui::CheckBox Run{*this, "Run"};
  ui::CheckBox ReadMe{*this, "ReadMe"};
  ui::CommandButton CompleteButton{*this, "CompleteButton"};
  ui::CommandButton ExitButton{*this, "ExitButton"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image LogoImage{*this, "LogoImage"};

 protected:
  // Closing the page ends the program at once, starting nothing.
  bool OnQueryUnload(ui::UnloadMode) override { Leave(); }

 private:
  void CompleteButtonClick();
  // Ends the program: completed, or failed after an install that did not
  // happen.
  [[noreturn]] void Leave();
  std::string failure_;  // the closing line's detail of a failed install
};

}  // namespace quorvale::setup
