#include "quorvale/setup/step_reporter.h"

#include "quorvale/setup/progress.h"

namespace quorvale::setup {

void ProgressStepReporter::Step(const std::string& caption, const std::string& line) {
  if (!caption.empty()) page_.StateCaption.SetCaption(caption);
  if (line.empty()) return;
  page_.SetupList.AddItem(line);
  page_.SetupList.SetTopIndex(page_.SetupList.ListCount() - 1);
}

void ProgressStepReporter::Width(int twips) { page_.Loading.SetWidth(twips); }
void ProgressStepReporter::LoopTurn() { page_.App().DoEvents(); }
Err& ProgressStepReporter::Errors() { return page_.SequenceErr(); }
bool ProgressStepReporter::Check(const std::string& failure_line) { return page_.CheckStep(failure_line); }

}  // namespace quorvale::setup
