#include "quorvale/setup/outcome.h"

namespace quorvale::setup {

const char* OutcomeWord(Outcome outcome) {
  switch (outcome) {
    case Outcome::kCompleted: return "completed";
    case Outcome::kCancelled: return "cancelled";
    case Outcome::kRefused: return "refused";
    case Outcome::kHandedOver: return "handed-over";
    case Outcome::kFailed:
    case Outcome::kNone: break;
  }
  return "failed";
}

int ExitCodeOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::kCompleted:
    case Outcome::kHandedOver: return kExitCompleted;
    case Outcome::kRefused: return kExitRefused;
    case Outcome::kCancelled: return kExitCancelled;
    case Outcome::kFailed:
    case Outcome::kNone: break;
  }
  return kExitFailed;
}

std::string ClosingLine(const std::string& program, const ProgramOutcome& outcome) {
  std::string detail = outcome.outcome == Outcome::kNone ? "ended without saying why" : outcome.detail;
  std::string line;
  for (std::size_t i = 0; i < detail.size(); ++i) {
    const char c = detail[i];
    if (c == '\r' || c == '\n') {
      // A CR LF, or an empty line between two, is one blank.
      if (!line.empty() && line.back() != ' ') line += ' ';
      continue;
    }
    line += c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return program + ": " + OutcomeWord(outcome.outcome) + ": " + line;
}

}  // namespace quorvale::setup
