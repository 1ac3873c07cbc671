// What the twin database pages, SQLServer and MySQL, share: the server, the
// administrator login and its password, a test button, and Next only once
// a connection with them opens. A table of texts sets the two apart.
#pragma once

#include <string>

#include "quorvale/setup/server_choices.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

// What sets the two pages apart.
struct DatabaseTexts {
  const char* name;
  const char* title;
  const char* subtitle;
  const char* prompt;
  const char* server;  // the boxes' starting texts
  const char* user;
  const char* tooltips[3];  // server, user, password; nullptr: none
  const char* test_failed;
  const char* test_succeeded;
  const char* no_server;
  const char* no_user;
  const char* no_password;
  const char* next_failed;
  const setup::ValueRule* rules[3];  // server, user, password
  std::string (*connection)(const std::string& server, const std::string& user, const std::string& password);
  std::string setup::ServerChoices::*choices[3];  // where server, user, password go
};

class DatabaseServerPage : public setup::WizardPage {
 public:
  ui::Control* EntryFocus(setup::Arrival) override { return &server_; }
  // Its part of what the install sequence reads: the three boxes.
  void FillChoices(setup::ServerChoices& choices) const;

  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label29{*this, "Label29"};
  ui::Label Label28{*this, "Label28"};
  ui::Label Label27{*this, "Label27"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  // The page's own boxes and test button, which it declares after these
  // shared controls; Build lays them out once they exist.
  DatabaseServerPage(setup::SetupProgram& program, const DatabaseTexts& texts, ui::TextBox& server,
                     ui::TextBox& user, ui::TextBox& password, ui::CommandButton& test);
  void Build();

 private:
  std::string ConnectionString() const;
  void TestClick();
  void NextButtonClick();

  const DatabaseTexts& texts_;
  ui::TextBox& server_;
  ui::TextBox& user_;
  ui::TextBox& password_;
  ui::CommandButton& test_;
};
}  // namespace quorvale::server
