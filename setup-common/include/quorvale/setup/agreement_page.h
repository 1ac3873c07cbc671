// The end-user agreement: left forwards only by agreeing.
#pragma once

#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

// The agreement text shown in the Agree box.
extern const char* const kAgreementText;

class AgreementPage : public WizardPage {
 public:
  explicit AgreementPage(SetupProgram& program);
  ui::Control* EntryFocus(Arrival) override { return &Agree; }

  ui::TextBox Agree{*this, "Agree"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton AgreeButton{*this, "AgreeButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label1{*this, "Label1"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};
};

}  // namespace quorvale::setup
