#include "quorvale/setup/progress.h"

namespace quorvale::setup {

ProgressForm::ProgressForm(SetupProgram& program, std::string name) : WizardPage(program, std::move(name)) {
  Place(StateCaption, 390, 1200, kBarFull, 255);
  Place(Label4, 390, 1740, kBarFull, 375);
  Label4.SetBackColor(ui::kColorGrey);
  // The frame around the track: top, bottom, left, right.
  Line1.SetPoints(390, 1740, 390 + kBarFull, 1740);
  Line2.SetPoints(390, 1740 + 375, 390 + kBarFull, 1740 + 375);
  Line3.SetPoints(390, 1740, 390, 1740 + 375);
  Line4.SetPoints(390 + kBarFull, 1740, 390 + kBarFull, 1740 + 375);
  Place(Loading, 390, 1740, kBarStart, 375);
  Loading.SetBackColor(ui::kColorRed);
  Place(SetupList, 360, 2490, 6825, 1860);
  Place(CancelButton, 6030, kButtonTop, kButtonWidth, kButtonHeight);
  CancelButton.SetCaption("取消(&C)");
  CancelButton.SetEnabled(false);
  Timer.SetInterval(100);
  Timer.SetEnabled(false);
  Timer.OnTimer([this] { TimerTick(); });
}

void ProgressForm::OnLoad() {
  WizardPage::OnLoad();
  Timer.SetEnabled(true);
}

void ProgressForm::TimerTick() {
  // Two guards keep the sequence to one run: the timer goes off before it
  // starts, and a tick that still comes due while it runs (the sequence
  // lets the message loop run) finds it started.
  if (started_) return;
  started_ = true;
  Timer.SetEnabled(false);
  Program().RunSequence(*this);
}

void ProgressForm::ReportStep(const StepRow& step, const std::function<void()>& work) {
  if (*step.caption) {
    StateCaption.SetCaption(step.caption);
    ListLine(step.line ? step.line : step.caption);
  }
  if (work) err_.Resume(work);
  if (step.failure) CheckStep(step.failure);
  if (step.bar) MoveBar(step.bar);
}

void ProgressForm::ShowStep(const std::string& text) {
  StateCaption.SetCaption(text);
  ListLine(text);
}

void ProgressForm::ListLine(const std::string& text) {
  SetupList.AddItem(text);
  SetupList.SetTopIndex(SetupList.ListCount() - 1);  // keep the newest line in view
}

void ProgressForm::EndSequence(const std::string& final_text) {
  Loading.SetWidth(kBarFull);
  StateCaption.SetCaption(final_text);
  DoEvents();
  Timer.SetEnabled(false);
  GoNext();
}

Install::Install(SetupProgram& program) : ProgressForm(program, "Install") {
  PlaceFrame(Image1, Frame1, kProgressSeparatorTop);
  PlaceHeader(Label2, "正在安装", Label3, "正在将Quorvale虚拟主机管理系统安装到您的电脑中。");
  StateCaption.SetCaption("正在准备安装...");
}

}  // namespace quorvale::setup
