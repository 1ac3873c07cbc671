// Uninstall's first page: the start-up checks (a second instance, the
// Windows version, IIS), the mode from the command line, and the choice
// between repair (Modify) and uninstall (Delete). It stays loaded, hidden,
// for the whole run: Running, the profile's choice of sequence and Complete
// ask it for the mode.
#pragma once

#include <string>

#include "quorvale/setup/wizard_page.h"
#include "quorvale/win32/types.h"

namespace quorvale::uninstall {

// The name of the mutex the running instance holds on its machine.
inline constexpr const char* kInstanceMutex = "Quorvale.Uninstall";

class UninstallWelcomePage : public setup::WizardPage {
 public:
  explicit UninstallWelcomePage(setup::SetupProgram& program);
  ~UninstallWelcomePage() override;

  // The Windows name of GetVersionRecord.
  std::string GetOSName();
  ui::Control* EntryFocus(setup::Arrival) override { return &NextButton; }
  // Whether the command line chose the mode, so the page is passed by.
  bool ChosenByCommandLine() const { return chosen_by_command_line_; }
  // The mode chosen at this moment: repair (Modify), uninstall (Delete);
  // neither when no option is selected.
  bool RepairChosen() const { return Modify.Value(); }
  bool UninstallChosen() const { return Delete.Value(); }

  ui::OptionButton Modify{*this, "Modify"};
  ui::OptionButton Delete{*this, "Delete"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label4{*this, "Label4"};
  ui::Label Label5{*this, "Label5"};
  ui::Label Label6{*this, "Label6"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  void OnLoad() override;
  // Closing the page unloads it; with no other page loaded yet, that ends
  // the program (cancelled). No exit question.
  bool OnQueryUnload(ui::UnloadMode) override;

 private:
  win32::HANDLE instance_ = nullptr;
  bool chosen_by_command_line_ = false;
};

}  // namespace quorvale::uninstall
