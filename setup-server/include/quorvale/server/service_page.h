// The Service page: which scripts, which mail system and which databases
// the hosting server offers. Its boxes decide which pages follow and what
// the install sequence configures; the other pages, the page order and the
// sequence ask the page, never its boxes.
#pragma once

#include "quorvale/setup/server_choices.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

class ServicePage : public setup::WizardPage {
 public:
  explicit ServicePage(setup::SetupProgram& program);
  ui::Control* EntryFocus(setup::Arrival) override { return &NET; }

  // The choices as the pages after this one read them, at the moment asked.
  bool PHPChosen() const { return PHP.Value() == ui::CheckBox::kChecked; }
  bool CGIChosen() const { return CGI.Value() == ui::CheckBox::kChecked; }
  bool ScriptsChosen() const { return PHPChosen() || CGIChosen(); }
  // A mail system is asked for (NoMail not selected): the Mail page follows.
  bool MailChosen() const { return !NoMail.Value(); }
  bool IMailChosen() const { return iMail.Value(); }
  bool WinWebMailChosen() const { return WinWebMail.Value(); }
  bool SQLServerChosen() const { return SQLServer.Value() == ui::CheckBox::kChecked; }
  bool MySQLChosen() const { return MySQL.Value() == ui::CheckBox::kChecked; }
  // Its part of what the install sequence reads: the mail options and the
  // values of the boxes that steer it (HTM, ASP and NoMail steer nothing).
  void FillChoices(setup::ServerChoices& choices) const;

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
