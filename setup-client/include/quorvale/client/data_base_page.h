// The DataBase page: Access or SQL Server for the panel's data. For SQL
// Server it asks for an administrator login of the server and the name,
// login and password of the panel's new database, and goes on only when the
// login connects and the server has neither that database nor that login.
#pragma once

#include "quorvale/client/client_choices.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::client {

class DataBasePage : public setup::WizardPage {
 public:
  explicit DataBasePage(setup::SetupProgram& program);

  // Forwards (and after a refused close) the Access option, whichever option
  // is selected; backwards the selected option.
  ui::Control* EntryFocus(setup::Arrival how) override;
  // With SQL Server chosen, the data files' path inside the install folder,
  // named after the new database (Data\<name>.mdf); "" with Access.
  std::string DataFilePath() const;
  // Its part of what the install sequence reads: the two options and the
  // six boxes, whichever option is selected.
  void FillChoices(ClientChoices& choices) const;

  ui::OptionButton Access{*this, "Access"};
  ui::OptionButton SQLServer{*this, "SQLServer"};
  ui::TextBox MSSQLServer{*this, "MSSQLServer"};
  ui::TextBox MSSQLUserName{*this, "MSSQLUserName"};
  ui::TextBox MSSQLPassWord{*this, "MSSQLPassWord"};
  ui::TextBox DataBase{*this, "DataBase"};
  ui::TextBox UserName{*this, "UserName"};
  ui::TextBox PassWord{*this, "PassWord"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Frame Frame2{*this, "Frame2"};
  ui::Frame Frame3{*this, "Frame3"};
  ui::Label Label29{*this, "Label29"};
  ui::Label Label28{*this, "Label28"};
  ui::Label Label27{*this, "Label27"};
  ui::Label Label5{*this, "Label5"};
  ui::Label Label6{*this, "Label6"};
  ui::Label Label7{*this, "Label7"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label4{*this, "Label4"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 private:
  // Access and SQLServer clicked: the six boxes and both frames off or on.
  void ShowServerBoxes(bool on);
  void NextButtonClick();
  // Steps 7 to 10 of Next: the administrator connects and the server has
  // neither the database nor the login; false after a message.
  bool ServerAccepts();
};

}  // namespace quorvale::client
