// What the install recipes need of a progress page: a step's caption and
// list line, the bar, a turn of the message loop, and the error state with
// its checks. The recipes see the page only through this.
#pragma once

#include <string>

#include "quorvale/core/err.h"

namespace quorvale::setup {

class ProgressForm;

class StepReporter {
 public:
  virtual ~StepReporter() = default;

  // A new step: the caption shows caption, the list gets line as its last
  // line. An empty caption leaves the caption as it is; an empty line adds
  // no line.
  virtual void Step(const std::string& caption, const std::string& line) = 0;
  // The bar's width in twips.
  virtual void Width(int twips) = 0;
  // The message loop runs once.
  virtual void LoopTurn() = 0;
  // The error state of the sequence (resume-on-error).
  virtual Err& Errors() = 0;
  // When an error was raised since the error state was last cleared: adds
  // failure_line to the list (list only), clears the state, returns false.
  virtual bool Check(const std::string& failure_line) = 0;

  // A width at the end of a piece of work: the bar takes it, then the
  // message loop runs once.
  void Widen(int twips) {
    Width(twips);
    LoopTurn();
  }
};

// The reporter of a progress page: StateCaption, SetupList, Loading, the
// page's message loop and its sequence's error state.
class ProgressStepReporter final : public StepReporter {
 public:
  explicit ProgressStepReporter(ProgressForm& page) : page_(page) {}
  void Step(const std::string& caption, const std::string& line) override;
  void Width(int twips) override;
  void LoopTurn() override;
  Err& Errors() override;
  bool Check(const std::string& failure_line) override;

 private:
  ProgressForm& page_;
};

}  // namespace quorvale::setup
