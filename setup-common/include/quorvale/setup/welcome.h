// The first page: start-up checks (Windows version, IIS, an earlier
// installation's uninstaller) and the way into the wizard.
#pragma once

#include <optional>
#include <string>

#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

inline constexpr const char* kUnsupportedOS = "Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!";
inline constexpr const char* kNoIIS = "您的操作系统中未安装IIS，请您先安装IIS!";

class Welcome : public WizardPage {
 public:
  explicit Welcome(SetupProgram& program);

  // The Windows name of GetVersionRecord.
  std::string GetOSName();

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
  ui::Control* ExitFocus() override { return &NextButton; }

 private:
  OSVersionRecord GetVersionRecord();
  void NextButtonClick();
};

}  // namespace quorvale::setup
