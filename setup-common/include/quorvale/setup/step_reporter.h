// What the shared install recipes need of a progress page: steps, list
// lines, the bar, and the sequence's error state.
#pragma once

#include <string>

#include "quorvale/core/err.h"

namespace quorvale::setup {

class ProgressForm;

class StepReporter {
 public:
  virtual ~StepReporter() = default;
  // The caption shows the text and the list gets it as its last line.
  virtual void Step(const std::string& text) = 0;
  // The list alone gets the line.
  virtual void Line(const std::string& text) = 0;
  // The bar takes the width; then the message loop runs once.
  virtual void Width(int width) = 0;
  // The sequence's error state, which its statements run under.
  virtual Err& Error() = 0;

  // When anything failed since the error state was last cleared: the
  // failure line goes in the list and the state is cleared; false then.
  bool Check(const std::string& failure_line);
};

// A program's progress page as the recipes see it.
class ProgressReporter : public StepReporter {
 public:
  explicit ProgressReporter(ProgressForm& page) : page_(page) {}
  void Step(const std::string& text) override;
  void Line(const std::string& text) override;
  void Width(int width) override;
  Err& Error() override;

 private:
  ProgressForm& page_;
};

}  // namespace quorvale::setup
