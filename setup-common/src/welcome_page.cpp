#include "quorvale/setup/welcome_page.h"

#include "quorvale/com/create_object.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/setup/registry_helpers.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/win32.h"

namespace quorvale::setup {

namespace w = quorvale::win32;

namespace {

// The box shown when the earlier installation's uninstaller cannot be
// started: which one, that the setup ends, and how to get back to a machine
// without that installation (the machine folder's reset command).
std::string HandOverFailure(const ProgramTexts& texts, const std::string& uninstaller,
                            const std::string& reset_command) {
  return "这台机器上已经安装了" + ProductName(texts.end) + "，但它的卸载程序无法启动：\r\n" + uninstaller +
         "\r\n\r\n安装程序现在退出。要重新安装，请先让这台机器回到没有安装" + EndWordsOf(texts.end) +
         "的状态，例如：\r\n" + reset_command;
}

}  // namespace

WelcomePage::WelcomePage(SetupProgram& program) : WizardPage(program, "Welcome") {
  const auto& t = program.Texts();
  SetIcon(t.icon);
  PlaceFrame(LogoImage, Frame1);
  PlaceLogoColumn(LogoImage);
  PlaceButtons(nullptr, NextButton, CancelButton);
  NextButton.SetCaption("下一步(&N) >");
  Label1.SetCaption("欢迎您使用Quorvale安装向导!");
  Label1.SetFontBold(true);
  Label2.SetCaption(t.welcome_label2);
  Label3.SetCaption("推荐您在继续安装前关闭所有其他应用程序。");
  Label4.SetCaption("单击“下一步”继续，或单击“取消”退出安装程序。");
  Label5.SetCaption(t.welcome_label5);
  Label5.SetVisible(!t.welcome_label5.empty());
  PlaceBesideLogo(Label1, 360, 375);
  PlaceBesideLogo(Label2, 1080, 255);
  PlaceBesideLogo(Label3, 1560, 255);
  PlaceBesideLogo(Label4, 2040, 255);
  PlaceBesideLogo(Label5, 2640, 1215);
  NextButton.OnClick([this] { GoNext(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

void RefuseUnsupportedSystem(SetupProgram& program, const std::function<std::string()>& os_name) {
  // A damaged machine is no refusal: the program could not look.
  auto refuse = [&](const std::string& message, Outcome outcome = Outcome::kRefused) {
    program.App().MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Question, "安装");
    program.EndWith(outcome, message);
  };
  std::string os;
  program.PageErr().Resume([&] { os = LowerCase(os_name()); });
  if (os != "windows 2000" && os != "windows server 2003") {
    refuse("Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!");
  }
  // The binding raises when IIS is missing; the object is released at once.
  // A machine whose state cannot be read is no missing IIS: the damaged
  // file's message is shown instead.
  if (!program.PageErr().Resume([] { GetObject("IIS://localhost/w3svc"); })) {
    const Err& err = program.PageErr();
    if (err.Number() == ErrorNumber(Error::kSystemFileCorrupt)) refuse(err.Description(), Outcome::kFailed);
    refuse("您的操作系统中未安装IIS，请您先安装IIS!");
  }
}

void WelcomePage::OnLoad() {
  RefuseUnsupportedSystem(Program(), [this] { return GetOSName(); });
  std::string uninstall;
  Resume([&] {
    uninstall = RegistryHelpers().ReadString(w::HKEY_LOCAL_MACHINE, UninstallKeyOf(Program().Texts().end),
                                             "UninstallString", 260);
  });
  if (!uninstall.empty()) {
    const std::string path = uninstall.substr(0, uninstall.find(" -delete"));
    bool present = false;
    Resume([&] { present = FileExists(path); });
    if (present) HandOver(path);
  }
}

void WelcomePage::HandOver(const std::string& uninstaller) {
  bool started = false;
  Resume([&] { started = Program().StartProgram(uninstaller); });
  if (started) EndWith(Outcome::kHandedOver, uninstaller);
  // The earlier installation stays where it is, and this setup cannot go on
  // over it: the user learns why, and how to get a machine without it.
  const std::string message =
      HandOverFailure(Program().Texts(), uninstaller, ResetCommandOf(MachineFolder()));
  MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Critical, "安装");
  EndWith(Outcome::kFailed, message);
}

bool WelcomePage::OnQueryUnload(ui::UnloadMode mode) {
  if (!NextButton.Enabled()) {
    Program().NoteOutcome(Outcome::kCancelled, "Welcome closed");
    return false;
  }
  return WizardPage::OnQueryUnload(mode);
}

}  // namespace quorvale::setup
