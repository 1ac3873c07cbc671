// Uninstall's last page: the texts the sequence that ran set. Leaving it
// (either button, or its close box) ends the program; after an uninstall
// it first writes and starts Delete.bat, which removes the install folder
// once the program has ended.
#pragma once

#include <string>

#include "quorvale/setup/wizard_page.h"

namespace quorvale::uninstall {

class UninstallCompletePage : public setup::WizardPage {
 public:
  explicit UninstallCompletePage(setup::SetupProgram& program);
  ui::Control* EntryFocus(setup::Arrival) override { return nullptr; }
  // The sequence's title and message; the hint is the same after both.
  void SetTexts(const std::string& title, const std::string& message);

  // Title, message and hint, set by the sequence that ran.
  ui::Label Label1{*this, "Label1"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::CommandButton CompleteButton{*this, "CompleteButton"};
  ui::CommandButton ExitButton{*this, "ExitButton"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image LogoImage{*this, "LogoImage"};

 protected:
  // The close box leaves the page as its buttons do.
  bool OnQueryUnload(ui::UnloadMode) override;

 private:
  void Leave();
};

}  // namespace quorvale::uninstall
