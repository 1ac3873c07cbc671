// The Directory page: the install folder, a default under the Windows drive,
// a folder browser, the free space of the chosen drive and the checks before
// going on.
#pragma once

#include <string>

#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

class DirectoryPage : public WizardPage {
 public:
  explicit DirectoryPage(SetupProgram& program);

  // A folder-browse dialog owned by owner; the chosen folder or "".
  std::string OpenFolder(const ui::Form& owner, const std::string& title);
  // Free space of a drive in GB, as "#####.##".
  std::string GetDriveFreeSpace(const std::string& drive);
  ui::Control* EntryFocus(Arrival) override { return &Directory; }
  // The install folder, as typed: what the sequence and Complete use.
  const std::string& Folder() const { return Directory.Text(); }

  ui::Frame Frame2{*this, "Frame2"};
  ui::TextBox Directory{*this, "Directory"};
  ui::CommandButton ViewButton{*this, "ViewButton"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label4{*this, "Label4"};
  ui::Label USpace{*this, "USpace"};
  ui::Label Label6{*this, "Label6"};
  ui::Label ZSpace{*this, "ZSpace"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  void OnLoad() override;

 private:
  std::string GetSystemDrive();
  void ViewButtonClick();
  void NextButtonClick();
};

}  // namespace quorvale::setup
