#include "quorvale/setup/welcome.h"

#include "quorvale/setup/agreement.h"

namespace quorvale::setup {

namespace {
std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}
}  // namespace

Welcome::Welcome(SetupProgram& program) : WizardPage(program, "Welcome") {
  const auto& t = program.Texts();
  SetIcon(t.icon);
  PlaceFrame(LogoImage, Frame1);
  PlaceButtons(nullptr, NextButton, CancelButton);
  NextButton.SetCaption("下一步(&N) >");
  Label1.SetCaption("欢迎您使用Quorvale安装向导!");
  Label1.SetFontBold(true);
  Label2.SetCaption(t.welcome_label2);
  Label3.SetCaption("推荐您在继续安装前关闭所有其他应用程序。");
  Label4.SetCaption("单击“下一步”继续，或单击“取消”退出安装程序。");
  Label5.SetCaption(t.welcome_label5);
  Label5.SetVisible(!t.welcome_label5.empty());
  Place(Label1, 2640, 360, 4695, 375);
  Place(Label2, 2640, 1080, 4695, 255);
  Place(Label3, 2640, 1560, 4695, 255);
  Place(Label4, 2640, 2040, 4695, 255);
  Place(Label5, 2640, 2640, 4695, 1215);
  Place(LogoImage, 0, 0, 2490, 4320);
  NextButton.OnClick([this] { NextButtonClick(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

OSVersionRecord Welcome::GetVersionRecord() {
  OSVersionRecord r;
  const auto& get = Program().Hooks().get_version;
  if (auto got = get ? get() : std::nullopt) {
    r = *got;
    r.dwOSVersionInfoSize = 148;
    r.name = WindowsName(r.dwPlatformId, r.dwMajorVersion, r.dwMinorVersion);
  } else {
    r.name = WindowsName(0, 0, 0);  // the call failed: "Failed"
  }
  return r;
}

std::string Welcome::GetOSName() { return GetVersionRecord().name; }

void Welcome::OnLoad() {
  const auto& hooks = Program().Hooks();
  std::string os;
  Resume([&] { os = Lower(GetOSName()); });
  if (os != "windows 2000" && os != "windows server 2003") {
    MsgBox(kUnsupportedOS, ui::MsgButtons::OK, ui::MsgIcon::Question, kSetupTitle);
    End();
  }
  bool iis = false;
  std::string damaged;  // the machine's state cannot be read: no missing IIS
  Resume([&] {
    try {
      iis = hooks.bind_iis && hooks.bind_iis();
    } catch (const std::exception& e) {
      damaged = e.what();
      throw;
    }
  });
  if (!iis) {
    MsgBox(damaged.empty() ? kNoIIS : damaged, ui::MsgButtons::OK, ui::MsgIcon::Question, kSetupTitle);
    End();
  }
  std::string uninstall;
  Resume([&] {
    if (hooks.read_string)
      uninstall = hooks.read_string(Program().Texts().uninstall_key, "UninstallString", 260);
  });
  if (!uninstall.empty()) {
    std::string path = uninstall.substr(0, uninstall.find(" -delete"));
    bool present = false;
    Resume([&] { present = hooks.file_exists && hooks.file_exists(path); });
    if (present) {
      Resume([&] { Program().StartProgram(path); });
      End();
    }
  }
}

bool Welcome::OnQueryUnload(ui::UnloadMode mode) {
  if (!NextButton.Enabled()) return false;
  return WizardPage::OnQueryUnload(mode);
}

void Welcome::NextButtonClick() {
  auto& agreement = Program().Page<Agreement>();
  Program().SwitchPage(*this, agreement, &agreement.Agree);
}

}  // namespace quorvale::setup
