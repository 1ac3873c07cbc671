#include "quorvale/setup/step_reporter.h"

namespace quorvale::setup {

bool StepReporter::CheckStep(const std::string& failure_line) {
  if (!SequenceErr()) return true;
  ListLine(failure_line);
  SequenceErr().Clear();
  return false;
}

}  // namespace quorvale::setup
