#include "quorvale/uninstall/uninstall_welcome_page.h"

#include "quorvale/setup/install_end.h"
#include "quorvale/setup/os_version.h"
#include "quorvale/setup/welcome_page.h"
#include "quorvale/uninstall/repair_program.h"
#include "quorvale/win32/win32.h"

namespace quorvale::uninstall {

namespace w = quorvale::win32;

UninstallWelcomePage::UninstallWelcomePage(setup::SetupProgram& program) : WizardPage(program, "Welcome") {
  SetIcon(program.Texts().icon);
  PlaceFrame(Image1, Frame1);
  PlaceHeader(Label1, "请选择您需要执行的操作", Label2, "执行操作选项");
  PlaceButtons(nullptr, NextButton, CancelButton);
  NextButton.SetCaption("下一步(&I)");
  Label3.SetCaption("请选择您要执行的操作？");
  Place(Label3, 600, 1320, 6000, 255);
  Modify.SetCaption("修复[&M]");
  Place(Modify, 840, 1800, 2400, 300);
  Label4.SetCaption("此操作用于您在重做系统后的软件恢复。");
  Place(Label4, 1320, 2160, 5700, 255);
  Delete.SetCaption("卸载[&D]");
  Place(Delete, 840, 2640, 2400, 300);
  Label5.SetCaption("从本机上删除" + setup::ProductCaption(setup::InstallEnd::kControl) + "。");
  Place(Label5, 1320, 3000, 5700, 255);
  Label6.SetCaption("选择完毕后，点击“下一步”继续。");
  Place(Label6, 600, 3720, 6000, 255);
  NextButton.OnClick([this] {
    Hide();
    GoNext();
  });
  // Ends at once: nothing has been done yet, so there is nothing to ask.
  CancelButton.OnClick([this] { EndWith(setup::Outcome::kCancelled, "Welcome's Cancel"); });
}

UninstallWelcomePage::~UninstallWelcomePage() {
  if (instance_) w::CloseHandle(instance_);
}

bool UninstallWelcomePage::OnQueryUnload(ui::UnloadMode) {
  Program().NoteOutcome(setup::Outcome::kCancelled, "Welcome closed");
  return false;
}

std::string UninstallWelcomePage::GetOSName() { return setup::GetVersionRecord().name; }

void UninstallWelcomePage::OnLoad() {
  // As the page initialises: while one instance runs on this machine it
  // holds the named mutex, and a second one ends without a word.
  Resume([&] {
    instance_ = w::CreateMutexA(nullptr, w::FALSE, kInstanceMutex);
    if (instance_ && w::GetLastError() == w::ERROR_ALREADY_EXISTS)
      EndWith(setup::Outcome::kRefused, "another Uninstall runs on this machine (nothing shown)");
  });
  setup::RefuseUnsupportedSystem(Program(), [this] { return GetOSName(); });
  switch (ModeOfCommandLine(Program().CommandLine())) {
    case Mode::kModify:
      Modify.SetValue(true);
      chosen_by_command_line_ = true;
      break;
    case Mode::kDelete:
      Delete.SetValue(true);
      chosen_by_command_line_ = true;
      break;
    case Mode::kChoose: Modify.SetValue(true); break;
  }
}

}  // namespace quorvale::uninstall
