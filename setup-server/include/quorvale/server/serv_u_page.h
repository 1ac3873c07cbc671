// The ServU page: where the Serv-U FTP server keeps its accounts
// (ServUDaemon.ini), proposed from the usual places, and the open-file
// dialog this page and the Script page browse with.
#pragma once

#include <string>

#include "quorvale/setup/server_choices.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

class ServUPage : public setup::WizardPage {
 public:
  explicit ServUPage(setup::SetupProgram& program);
  ui::Control* EntryFocus(setup::Arrival) override { return &File; }
  // Its part of what the install sequence reads: the account file.
  void FillChoices(setup::ServerChoices& choices) const { choices.serv_u_file = File.Text(); }

  // The open-file dialog owned by owner. filter holds pairs of a display
  // text and a pattern, each ended by a NUL. The chosen file's full path,
  // or "" when the user cancels.
  std::string OpenFile(const ui::Form& owner, const std::string& filter, const std::string& title);

  ui::TextBox File{*this, "File"};
  ui::CommandButton View{*this, "View"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label4{*this, "Label4"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  void OnLoad() override;

 private:
  void ViewClick();
  void NextButtonClick();
};

}  // namespace quorvale::server
