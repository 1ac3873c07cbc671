#include "quorvale/setup/progress_page.h"

namespace quorvale::setup {

ProgressPage::ProgressPage(SetupProgram& program, std::string name) : WizardPage(program, std::move(name)) {
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

void ProgressPage::OnLoad() {
  WizardPage::OnLoad();
  Timer.SetEnabled(true);
}

void ProgressPage::TimerTick() {
  // Two guards keep the sequence to one run: the timer goes off before it
  // starts, and a tick that still comes due while it runs (the sequence
  // lets the message loop run) finds it started.
  if (started_) return;
  started_ = true;
  Timer.SetEnabled(false);
  Program().RunSequence(*this);
}

void ProgressPage::ReportStep(const StepRow& step, const std::function<void()>& work) {
  if (*step.caption) {
    StateCaption.SetCaption(step.caption);
    ListLine(step.line ? step.line : step.caption);
  }
  if (work) err_.Resume(work);
  if (step.failure) CheckStep(step.failure);
  if (step.bar) MoveBar(step.bar);
}

void ProgressPage::ShowStep(const std::string& text) {
  StateCaption.SetCaption(text);
  ListLine(text);
}

void ProgressPage::ListLine(const std::string& text) {
  SetupList.AddItem(text);
  SetupList.SetTopIndex(SetupList.ListCount() - 1);  // keep the newest line in view
}

void ProgressPage::EndSequence(const std::string& final_text) {
  Loading.SetWidth(kBarFull);
  StateCaption.SetCaption(final_text);
  DoEvents();
  Timer.SetEnabled(false);
  GoNext();
}

}  // namespace quorvale::setup
