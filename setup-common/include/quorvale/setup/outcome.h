// How a wizard program ended, said once at its end: one line on standard
// error, "<Program>: <outcome>: <detail>", and the exit code that goes
// with the outcome. The pages note the outcome where they end the program.
#pragma once

#include <string>

namespace quorvale::setup {

enum class Outcome {
  kNone,        // nothing noted: the program ended without saying why
  kCompleted,   // Complete left after a sequence that did its work
  kFailed,      // the work did not happen (or could not start)
  kCancelled,   // the user stopped it before any change
  kRefused,     // a start-up check or a stopping check refused, its box shown
  kHandedOver,  // another program (an earlier installation's uninstaller) took over
};

// Exit codes: 0 completed or handed over, 1 failed, 2 no display (a failure
// before any window), 3 refused, 4 cancelled.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitNoDisplay = 2;
inline constexpr int kExitRefused = 3;
inline constexpr int kExitCancelled = 4;

// "completed", "failed", "cancelled", "refused", "handed-over".
const char* OutcomeWord(Outcome outcome);
int ExitCodeOf(Outcome outcome);

struct ProgramOutcome {
  Outcome outcome = Outcome::kNone;
  std::string detail;
};

// "<program>: <outcome>: <detail>" on one line: line breaks in the detail
// (a message box's text) become blanks.
std::string ClosingLine(const std::string& program, const ProgramOutcome& outcome);

}  // namespace quorvale::setup
