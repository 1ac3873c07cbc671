// The progress page: the current step, the list of steps done and the bar.
// Its timer's first tick runs the program's whole sequence, exactly once.
#pragma once

#include <functional>
#include <string>

#include "quorvale/core/err.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

// Width of the full bar (the grey track), the last value of every sequence.
inline constexpr int kBarFull = 6765;
inline constexpr int kBarStart = 15;

class ProgressForm : public WizardPage {
 public:
  ProgressForm(SetupProgram& program, std::string name);

  // One step: the caption shows text, the list gets line as its last line,
  // the work runs (with resume-on-error), the bar takes the width, and the
  // message loop runs once.
  void ReportStep(const std::string& text, int width, const std::function<void()>& work = {});
  void ReportStep(const std::string& caption, const std::string& line, int width,
                  const std::function<void()>& work);
  // The same recipe in two halves, for steps whose work is several
  // statements, each to be resumed past on its own: BeginStep shows the
  // caption and adds the line; EndStep sets the bar and, unless told not
  // to, lets the message loop run once.
  void BeginStep(const std::string& caption, const std::string& line);
  void EndStep(int width, bool pump = true);
  // After a risky step: when anything failed since the last check, adds the
  // failure line (list only), clears the error and returns false.
  bool CheckStep(const std::string& failure_line);
  // The end of a sequence: the final text, the message loop once, the timer
  // off, then the next page shown and this one hidden.
  void EndSequence(const std::string& final_text, ui::Form& next);

  // The error state of the sequence.
  Err& SequenceErr() { return err_; }
  bool SequenceStarted() const { return started_; }

  ui::Label StateCaption{*this, "StateCaption"};
  ui::Label Label4{*this, "Label4"};
  ui::Line Line1{*this, "Line1"};
  ui::Line Line2{*this, "Line2"};
  ui::Line Line3{*this, "Line3"};
  ui::Line Line4{*this, "Line4"};
  ui::Label Loading{*this, "Loading"};
  ui::ListBox SetupList{*this, "SetupList"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
  ui::Timer Timer{*this, "Timer"};

 protected:
  // Takes Welcome's icon and switches the timer on.
  void OnLoad() override;
  // The page cannot be closed: refused without a word.
  bool OnQueryUnload(ui::UnloadMode) override { return true; }
  ui::Control* ExitFocus() override { return nullptr; }
  // The program's sequence, run inside the first tick.
  virtual void RunSequence() = 0;

 private:
  void TimerTick();
  bool started_ = false;
  Err err_;
};

// The progress page of the setup programs.
class Install : public ProgressForm {
 public:
  explicit Install(SetupProgram& program);

  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};

 protected:
  void RunSequence() override;
};

}  // namespace quorvale::setup
