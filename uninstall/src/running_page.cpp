#include "quorvale/uninstall/running_page.h"

#include "quorvale/setup/install_end.h"
#include "quorvale/setup/machine_check.h"
#include "quorvale/uninstall/uninstall_welcome_page.h"

namespace quorvale::uninstall {

RunningPage::RunningPage(setup::SetupProgram& program) : ProgressPage(program, "Running") {
  PlaceFrame(Image1, Frame1, setup::kProgressSeparatorTop);
  PlaceHeader(TypeTitle, "", TypeInfo, "");
  // The button is there and can be pressed, but does nothing: a started
  // repair or uninstall always runs to its end.
  CancelButton.SetEnabled(true);
}

std::string RunningPage::Cut(const std::string& content, const std::string& head, const std::string& bot) {
  const auto at = content.find(head);
  const auto end = content.find(bot);
  if (at == std::string::npos || end == std::string::npos || end < at + head.size()) return "";
  return content.substr(at + head.size(), end - at - head.size());
}

void RunningPage::Stop(const std::string& message, ui::MsgIcon icon, const std::string& title,
                       setup::Outcome outcome) {
  MsgBox(message, ui::MsgButtons::OK, icon, title);
  EndWith(outcome, message);
}

void RunningPage::StopOnDamagedMachine(const std::string& title) {
  const std::string damaged = setup::DamagedMachineFile();
  if (!damaged.empty()) Stop(damaged, ui::MsgIcon::Critical, title, setup::Outcome::kFailed);
}

void RunningPage::OnLoad() {
  // The page's own load: the timer stays off until the user has confirmed.
  WizardPage::OnLoad();
  const auto& welcome = Program().Page<UninstallWelcomePage>();
  const bool modify = welcome.RepairChosen();
  const std::string product = setup::ProductName(setup::InstallEnd::kControl);
  const auto answer = modify ? MsgBox("您确定要修复 " + product + " 程序吗？", ui::MsgButtons::OKCancel,
                                      ui::MsgIcon::Question, "修复")
                             : MsgBox("您确定要卸载 " + product +
                                          " 程序吗？\r\n\r\n"
                                          "警告：系统将完全删除所有网站、数据库等相关文件！",
                                      ui::MsgButtons::OKCancel, ui::MsgIcon::Question, "卸载");
  if (answer != ui::MsgResult::OK)
    EndWith(setup::Outcome::kCancelled,
            std::string("the confirmation \"") + (modify ? "修复" : "卸载") + "\" answered Cancel");
  if (modify) {
    TypeTitle.SetCaption("正在修复");
    TypeInfo.SetCaption("正在将Quorvale虚拟主机管理系统修复到原始状态。");
    StateCaption.SetCaption("正在准备修复...");
  } else if (welcome.UninstallChosen()) {
    TypeTitle.SetCaption("正在卸载");
    TypeInfo.SetCaption("正在将Quorvale虚拟主机管理系统从您的电脑中卸载。");
    StateCaption.SetCaption("正在准备卸载...");
  } else {
    EndWith(setup::Outcome::kCancelled, "no mode chosen");
  }
  Timer.SetEnabled(true);
}

}  // namespace quorvale::uninstall
