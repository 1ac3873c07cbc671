// A progress page that only records what a recipe reports on it, in order:
// "step: …", "line: …", "width: N"; the loop turns are counted.
#pragma once

#include <string>
#include <vector>

#include "quorvale/setup/step_reporter.h"

namespace quorvale::setup::testing {

class RecordedSteps : public StepReporter {
 public:
  void ShowStep(const std::string& text) override { events.push_back("step: " + text); }
  void ListLine(const std::string& text) override { events.push_back("line: " + text); }
  void SetBar(int width) override { events.push_back("width: " + std::to_string(width)); }
  void LoopTurn() override { ++turns; }
  Err& SequenceErr() override { return err; }

  // The captions shown, in order.
  std::vector<std::string> Captions() const { return Of({"step: "}); }
  // The list lines (steps and failure lines), as the page shows them.
  std::vector<std::string> ListLines() const { return Of({"step: ", "line: "}); }
  // The lines that are no step's caption.
  std::vector<std::string> FailureLines() const { return Of({"line: "}); }
  // Every width the bar took, in order.
  std::vector<int> Widths() const {
    std::vector<int> out;
    for (const auto& w : Of({"width: "})) out.push_back(std::stoi(w));
    return out;
  }

  std::vector<std::string> Of(const std::vector<std::string>& kinds) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      for (const auto& k : kinds)
        if (e.rfind(k, 0) == 0) out.push_back(e.substr(k.size()));
    return out;
  }

  std::vector<std::string> events;
  long long turns = 0;
  Err err;
};

}  // namespace quorvale::setup::testing
