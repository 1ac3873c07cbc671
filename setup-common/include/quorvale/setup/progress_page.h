// The progress page: the current step, the list of steps done and the bar.
// Its timer's first tick runs the program's whole sequence, exactly once.
#pragma once

#include <functional>
#include <string>

#include "quorvale/core/err.h"
#include "quorvale/setup/step_reporter.h"
#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

// Width of the full bar (the grey track), the last value of every sequence.
inline constexpr int kBarFull = 6765;
inline constexpr int kBarStart = 15;
// The step list ends at 4350 twips (top 2490, 1860 high): the separator of a
// progress page stands below it, not across its last line.
inline constexpr int kProgressSeparatorTop = 4440;

// What the page shows for one step of a sequence.
struct StepRow {
  const char* caption;  // StateCaption's text; "" for a step that shows no text
  const char* line;     // the list line; nullptr: the caption
  int bar;              // Loading's width after the work; 0: the work moves the bar itself
  // A check point: when anything failed since the last check, this line is
  // listed after the work (nullptr: no check).
  const char* failure = nullptr;
};

class ProgressPage : public WizardPage, public StepReporter {
 public:
  ProgressPage(SetupProgram& program, std::string name);
  // The page is shown without setting a focus.
  ui::Control* EntryFocus(Arrival) override { return nullptr; }

  // One step: the caption shows its text and the list gets its line (unless
  // the step shows no text), the work runs with resume-on-error, a check
  // point lists its failure line, then the bar takes the step's width and
  // the message loop runs once (neither for a width of 0: the work moved
  // the bar itself).
  void ReportStep(const StepRow& step, const std::function<void()>& work);

  // The parts of a step, for work that reports as it goes (the shared
  // recipes); MoveBar is SetBar and a loop turn, CheckStep a check point.
  void ShowStep(const std::string& text) override;
  void ListLine(const std::string& text) override;
  void SetBar(int width) override { Loading.SetWidth(width); }
  void LoopTurn() override { DoEvents(); }
  // The end of a sequence: the full bar, the final text (no list line), the
  // message loop once, the timer off, then the next page of the order shown and this one
  // hidden.
  void EndSequence(const std::string& final_text);

  // The error state of the sequence.
  Err& SequenceErr() override { return err_; }

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

 private:
  void TimerTick();
  bool started_ = false;
  Err err_;
};

}  // namespace quorvale::setup
