// What a progress page offers the steps of a sequence and the shared
// recipes: a step, a list line, the bar, a turn of the message loop, and the
// sequence's error state. The progress page is one; the recipes' tests
// record instead.
#pragma once

#include <string>

#include "quorvale/core/err.h"

namespace quorvale::setup {

class StepReporter {
 public:
  virtual ~StepReporter() = default;
  // The caption shows the text and the list gets it as its last line.
  virtual void ShowStep(const std::string& text) = 0;
  // The list alone gets the line.
  virtual void ListLine(const std::string& text) = 0;
  // The bar alone takes the width, without a turn of the message loop.
  virtual void SetBar(int width) = 0;
  // The message loop runs once.
  virtual void LoopTurn() = 0;
  // The sequence's error state, which its statements run under.
  virtual Err& SequenceErr() = 0;

  // The bar takes the width; then the message loop runs once.
  void MoveBar(int width) {
    SetBar(width);
    LoopTurn();
  }
  // A check point: when anything failed since the error state was last
  // cleared, the failure line goes in the list (only there) and the state
  // is cleared; false then.
  bool CheckStep(const std::string& failure_line);
};

}  // namespace quorvale::setup
