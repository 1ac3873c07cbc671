// The Service page: which scripts, which mail system and which databases
// the hosting server offers. Its boxes decide which pages follow and what
// the install sequence configures; they stay here and are read here.
#pragma once

#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

class Service : public setup::WizardPage {
 public:
  explicit Service(setup::SetupProgram& program);
  ui::Control* EntryFocus(setup::Arrival) override { return &NET; }

  // The choices as the pages after this one read them, at the moment asked.
  bool PHPChosen() const { return PHP.Value() == ui::CheckBox::kChecked; }
  bool CGIChosen() const { return CGI.Value() == ui::CheckBox::kChecked; }
  bool ScriptsChosen() const { return PHPChosen() || CGIChosen(); }
  bool MailChosen() const { return !NoMail.Value(); }
  bool SQLServerChosen() const { return SQLServer.Value() == ui::CheckBox::kChecked; }
  bool MySQLChosen() const { return MySQL.Value() == ui::CheckBox::kChecked; }

  ui::CheckBox HTM{*this, "HTM"};
  ui::CheckBox ASP{*this, "ASP"};
  ui::CheckBox NET{*this, "NET"};
  ui::CheckBox PHP{*this, "PHP"};
  ui::CheckBox CGI{*this, "CGI"};
  ui::CheckBox WAP{*this, "WAP"};
  ui::OptionButton NoMail{*this, "NoMail"};
  ui::OptionButton iMail{*this, "iMail"};
  ui::OptionButton WinWebMail{*this, "WinWebMail"};
  ui::CheckBox SQLServer{*this, "SQLServer"};
  ui::CheckBox MySQL{*this, "MySQL"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label4{*this, "Label4"};
  ui::Label Label5{*this, "Label5"};
  ui::Label Label6{*this, "Label6"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};
};

}  // namespace quorvale::server
