#include "quorvale/uninstall/sequences.h"

#include "quorvale/uninstall/complete_page.h"

namespace quorvale::uninstall {

namespace {

// Complete's title and message; the hint is the same after both.
void SetTexts(setup::SetupProgram& program, const char* title, const char* message) {
  auto& complete = program.Page<Complete>();
  complete.Label1.SetCaption(title);
  complete.Label2.SetCaption(message);
  complete.Label3.SetCaption("单击“完成”关闭此向导。");
}

}  // namespace

const std::vector<RepairSequence::Step>& RepairSequence::Steps() {
  static const std::vector<Step> steps = {
      {"", nullptr, setup::kBarFull, &RepairSequence::SetCompleteTexts},
  };
  return steps;
}

void RepairSequence::SetCompleteTexts() {
  SetTexts(Program(), "恭喜，软件修复成功！", "您已成功修复Quorvale虚拟主机管理系统v3.0 主控端。");
}

const std::vector<UninstallSequence::Step>& UninstallSequence::Steps() {
  static const std::vector<Step> steps = {
      {"", nullptr, setup::kBarFull, &UninstallSequence::SetCompleteTexts},
  };
  return steps;
}

void UninstallSequence::SetCompleteTexts() {
  SetTexts(Program(), "恭喜，软件卸载成功！", "您已成功卸载Quorvale虚拟主机管理系统v3.0 主控端。");
}

}  // namespace quorvale::uninstall
