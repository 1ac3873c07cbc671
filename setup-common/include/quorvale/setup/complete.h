// The last page: starts the console program and the read-me as chosen,
// then ends the program; every way out of it ends the program.
#pragma once

#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

class Complete : public WizardPage {
 public:
  explicit Complete(SetupProgram& program);
  ui::Control* EntryFocus(Arrival) override { return nullptr; }

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
  bool OnQueryUnload(ui::UnloadMode) override { End(); }

 private:
  void CompleteButtonClick();
};

}  // namespace quorvale::setup
