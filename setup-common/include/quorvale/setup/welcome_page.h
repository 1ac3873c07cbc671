// The first page: start-up checks (Windows version, IIS, an earlier
// installation's uninstaller) and the way into the wizard.
#pragma once

#include <functional>
#include <string>

#include "quorvale/setup/os_version.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

// The first start-up checks of every program, in this order: a Windows
// other than Windows 2000 and Windows Server 2003, then a machine without
// IIS, is refused with its message (title "安装") and the program ends; a
// machine whose state cannot be read shows the damaged file's message in
// place of the missing-IIS one.
// os_name: the start page's GetOSName.
void RefuseUnsupportedSystem(SetupProgram& program, const std::function<std::string()>& os_name);

class WelcomePage : public WizardPage {
 public:
  explicit WelcomePage(SetupProgram& program);

  // The Windows name of GetVersionRecord.
  std::string GetOSName() { return GetVersionRecord().name; }
  ui::Control* EntryFocus(Arrival) override { return &NextButton; }

  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Label Label1{*this, "Label1"};
  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Label Label4{*this, "Label4"};
  ui::Label Label5{*this, "Label5"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image LogoImage{*this, "LogoImage"};

 protected:
  void OnLoad() override;
  bool OnQueryUnload(ui::UnloadMode mode) override;

 private:
  // Starts the earlier installation's uninstaller and ends (handed over);
  // one that cannot be started is said in a box, and the program ends
  // failed.
  [[noreturn]] void HandOver(const std::string& uninstaller);
};

}  // namespace quorvale::setup
