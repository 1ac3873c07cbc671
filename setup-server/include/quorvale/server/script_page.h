// The Script page: the PHP interpreter and the CGI (Perl) interpreter, each
// shown only when its language is chosen on the Service page.
#pragma once

#include "quorvale/setup/server_choices.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

class ScriptPage : public setup::WizardPage {
 public:
  explicit ScriptPage(setup::SetupProgram& program);
  // PHPFile when PHP is chosen, else CGIFile when CGI is, else none.
  ui::Control* EntryFocus(setup::Arrival) override;
  // Its part of what the install sequence reads: both interpreters,
  // whichever languages are chosen.
  void FillChoices(setup::ServerChoices& choices) const;

  ui::TextBox PHPFile{*this, "PHPFile"};
  ui::CommandButton PHPView{*this, "PHPView"};
  ui::TextBox CGIFile{*this, "CGIFile"};
  ui::CommandButton CGIView{*this, "CGIView"};
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
  void OnLoad() override;
  // The groups of the chosen languages, the first one directly under the
  // header.
  void OnActivate() override;

 private:
  void Browse(ui::TextBox& box, const char* title);
  void NextButtonClick();
};

}  // namespace quorvale::server
