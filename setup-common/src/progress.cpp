#include "quorvale/setup/progress.h"

#include "quorvale/setup/complete.h"

namespace quorvale::setup {

ProgressForm::ProgressForm(SetupProgram& program, std::string name) : WizardPage(program, std::move(name)) {
  Place(StateCaption, 390, 1200, 6765, 255);
  Place(Label4, 390, 1740, 6765, 375);
  Label4.SetBackColor(ui::kColorGrey);
  // The frame around the track: top, bottom, left, right.
  Line1.SetPoints(390, 1740, 390 + 6765, 1740);
  Line2.SetPoints(390, 1740 + 375, 390 + 6765, 1740 + 375);
  Line3.SetPoints(390, 1740, 390, 1740 + 375);
  Line4.SetPoints(390 + 6765, 1740, 390 + 6765, 1740 + 375);
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
  // The sequence lets the message loop run, so the timer can come due again
  // while it runs: only the first tick starts it.
  if (started_) return;
  started_ = true;
  Timer.SetEnabled(false);
  RunSequence();
}

void ProgressForm::ReportStep(const std::string& text, int width, const std::function<void()>& work) {
  ReportStep(text, text, width, work);
}

void ProgressForm::ReportStep(const std::string& caption, const std::string& line, int width,
                              const std::function<void()>& work) {
  BeginStep(caption, line);
  if (work) err_.Resume(work);
  EndStep(width);
}

void ProgressForm::BeginStep(const std::string& caption, const std::string& line) {
  StateCaption.SetCaption(caption);
  SetupList.AddItem(line);
  SetupList.SetTopIndex(SetupList.ListCount() - 1);  // keep the newest line in view
}

void ProgressForm::EndStep(int width, bool pump) {
  Loading.SetWidth(width);
  if (pump) DoEvents();
}

bool ProgressForm::CheckStep(const std::string& failure_line) {
  if (!err_) return true;
  SetupList.AddItem(failure_line);
  SetupList.SetTopIndex(SetupList.ListCount() - 1);
  err_.Clear();
  return false;
}

void ProgressForm::EndSequence(const std::string& final_text, ui::Form& next) {
  StateCaption.SetCaption(final_text);
  DoEvents();
  Timer.SetEnabled(false);
  next.Show();
  Hide();
}

Install::Install(SetupProgram& program) : ProgressForm(program, "Install") {
  PlaceFrame(Image1, Frame1);
  Label2.SetCaption("正在安装");
  Label2.SetFontBold(true);
  Label3.SetCaption("正在将Quorvale虚拟主机管理系统安装到您的电脑中。");
  StateCaption.SetCaption("正在准备安装...");
  Place(Label2, 360, 240, 6000, 255);
  Place(Label3, 600, 600, 6000, 255);
}

void Install::RunSequence() {
  Program().RunSequence(*this);
  EndSequence("安装完毕...", Program().Page<Complete>());
}

}  // namespace quorvale::setup
