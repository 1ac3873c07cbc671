// The Domain page: the host name the panel's site is bound to on port 80.
// It checks the name's form and refuses a name some site of the machine is
// already bound to; its forward button starts the installation.
#pragma once

#include <string>

#include "quorvale/client/client_choices.h"
#include "quorvale/com/unknown.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::client {

class DomainPage : public setup::WizardPage {
 public:
  explicit DomainPage(setup::SetupProgram& program);

  // True when the name has the accepted form: 2 to 60 characters of a to z,
  // digits, "-" and ".", at least one ".", neither "-" nor "." at either
  // end. Lower-cases the text it is given; the page passes a copy.
  static bool CheckDomain(std::string& domain);
  ui::Control* EntryFocus(setup::Arrival) override { return &Domain; }
  // Its part of what the install sequence reads: the host name.
  void FillChoices(ClientChoices& choices) const { choices.domain = Domain.Text(); }

  ui::TextBox Domain{*this, "Domain"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label4{*this, "Label4"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 private:
  void NextButtonClick();
  // Whether a web site of the machine is bound to binding (lower case), on
  // the open w3svc object.
  bool BindingTaken(IDispatch* w3svc, const std::string& binding);
};

}  // namespace quorvale::client
