#include "quorvale/setup/step_reporter.h"

#include "quorvale/setup/progress.h"

namespace quorvale::setup {

bool StepReporter::Check(const std::string& failure_line) {
  if (!Error()) return true;
  Line(failure_line);
  Error().Clear();
  return false;
}

void ProgressReporter::Step(const std::string& text) { page_.BeginStep(text, text); }

void ProgressReporter::Line(const std::string& text) {
  page_.SetupList.AddItem(text);
  page_.SetupList.SetTopIndex(page_.SetupList.ListCount() - 1);
}

void ProgressReporter::Width(int width) { page_.EndStep(width); }

Err& ProgressReporter::Error() { return page_.SequenceErr(); }

}  // namespace quorvale::setup
