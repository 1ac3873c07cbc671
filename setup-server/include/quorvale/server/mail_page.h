// The Mail page: the folder of the chosen mail server (iMail or
// WinWebMail), browsed for and checked for the server's own programs.
#pragma once

#include "quorvale/setup/server_choices.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

class MailPage : public setup::WizardPage {
 public:
  explicit MailPage(setup::SetupProgram& program);
  // The box of the mail system chosen on Service; none without one.
  ui::Control* EntryFocus(setup::Arrival) override;
  // Its part of what the install sequence reads: both folders, whichever
  // system is chosen.
  void FillChoices(setup::ServerChoices& choices) const;

  ui::TextBox iMailPath{*this, "iMailPath"};
  ui::CommandButton iMailView{*this, "iMailView"};
  ui::TextBox WinWebMailPath{*this, "WinWebMailPath"};
  ui::CommandButton WinWebMailView{*this, "WinWebMailView"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label4{*this, "Label4"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  // The chosen system's group directly under the header, the other hidden.
  void OnActivate() override;

 private:
  void Browse(ui::TextBox& box, const char* prompt);
  void NextButtonClick();
  // Whether the folder holds every one of the mail server's entries.
  bool HoldsMailServer(const std::string& folder, bool winwebmail);
};

}  // namespace quorvale::server
