// The program's user interface as one object: its forms, the active form,
// the message loop (events, DoEvents, timers), message boxes, dialogs and End.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/ui/backend.h"
#include "quorvale/ui/types.h"

namespace quorvale::ui {

class Control;
class Form;
class Timer;

// Thrown by End to unwind to the message loop. Deliberately not a
// std::exception, so that resume-on-error code does not catch it.
struct EndProgram {};

// An error that no handler resumed past: like a run-time error on Windows,
// it ends the program.
struct UnhandledError {
  std::int32_t number = 0;
  std::string description;
};

class Application {
 public:
  explicit Application(Backend& backend) : backend_(backend) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Backend& GetBackend() const { return backend_; }

  // Runs one event handler as the message loop runs it. End inside it (or in
  // any event it lets run) ends the program and unwinds to the outermost
  // event; so does an error that nobody resumed past.
  void RunEvent(const std::function<void()>& handler);

  MsgResult MsgBox(std::string prompt, MsgButtons buttons, MsgIcon icon, std::string title);
  std::optional<std::string> BrowseForFolder(const Form* owner, std::string title, std::uint32_t flags);
  std::optional<std::string> OpenFile(FileRequest request);

  // Lets the message loop run once: waiting input is handled, due timers fire.
  void DoEvents() {
    if (ended_) return;
    backend_.PumpInput(*this);
    if (timers_dirty_) RecomputeTimers();
    if (next_due_ >= 0 && backend_.NowMs() >= next_due_) FireDueTimers();
  }
  // Ends the program at once: no close checks, every form goes away.
  [[noreturn]] void End();
  bool Ended() const { return ended_; }
  const std::optional<UnhandledError>& Unhandled() const { return unhandled_; }

  const std::vector<Form*>& Forms() const { return forms_; }
  std::vector<Form*> VisibleForms() const;
  Form* ActiveForm() const { return active_; }
  Control* FocusedControl() const;

  std::int64_t Now() const { return backend_.NowMs(); }
  // Fires every enabled timer of a loaded form that is due.
  void FireDueTimers();
  // Earliest due time of a running timer, or nothing.
  std::optional<std::int64_t> NextTimerDue();
  void TimersChanged() { timers_dirty_ = true; }

 private:
  friend class Form;
  friend class Control;
  void AddForm(Form* f) { forms_.push_back(f); }
  void RemoveForm(Form* f);
  void Activate(Form* f);
  void FormHidden(Form* f);
  void RecomputeTimers();
  void Finish();

  Backend& backend_;
  std::vector<Form*> forms_;
  std::vector<Form*> z_order_;  // shown forms, last activated last
  Form* active_ = nullptr;
  bool ended_ = false;
  int depth_ = 0;
  std::optional<UnhandledError> unhandled_;
  bool timers_dirty_ = true;
  std::int64_t next_due_ = -1;
};

}  // namespace quorvale::ui
