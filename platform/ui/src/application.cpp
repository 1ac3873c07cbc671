#include "quorvale/ui/application.h"

#include <algorithm>

#include "quorvale/core/err.h"
#include "quorvale/ui/form.h"

namespace quorvale::ui {

std::vector<MsgResult> ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OK: return {MsgResult::OK};
    case MsgButtons::OKCancel: return {MsgResult::OK, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
  }
  return {MsgResult::OK};
}

void Application::RunEvent(const std::function<void()>& handler) {
  if (ended_) return;
  const bool outermost = depth_ == 0;
  ++depth_;
  struct Depth {
    int& d;
    ~Depth() { --d; }
  } guard{depth_};
  try {
    handler();
    return;
  } catch (const EndProgram&) {
    Finish();
    if (!outermost) throw;
    return;
  } catch (const RaisedError& e) {
    unhandled_ = UnhandledError{e.Number(), e.what()};
  } catch (const std::exception& e) {
    unhandled_ = UnhandledError{ErrorNumber(Error::kInternal), e.what()};
  }
  Finish();
  if (!outermost) throw EndProgram{};
}

void Application::End() {
  Finish();
  throw EndProgram{};
}

void Application::Finish() {
  if (ended_) return;
  ended_ = true;
  for (Form* f : forms_) {
    if (f->Visible()) backend_.FormHidden(*f);
    f->ForgetState();
  }
  z_order_.clear();
  active_ = nullptr;
  next_due_ = -1;
  backend_.ProgramEnded();
}

MsgResult Application::MsgBox(std::string prompt, MsgButtons buttons, MsgIcon icon, std::string title) {
  MessageRequest r{std::move(prompt), buttons, icon, std::move(title), active_ ? active_->Name() : ""};
  return backend_.ShowMessage(*this, r);
}

std::optional<std::string> Application::BrowseForFolder(const Form* owner, std::string title,
                                                        std::uint32_t flags) {
  return backend_.BrowseForFolder(*this, FolderRequest{owner ? owner->Name() : "", std::move(title), flags});
}

std::optional<std::string> Application::OpenFile(FileRequest request) {
  return backend_.OpenFile(*this, request);
}

std::vector<Form*> Application::VisibleForms() const {
  std::vector<Form*> out;
  for (Form* f : forms_) {
    if (f->Visible()) out.push_back(f);
  }
  return out;
}

Control* Application::FocusedControl() const { return active_ ? active_->ActiveControl() : nullptr; }

void Application::RemoveForm(Form* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), f), z_order_.end());
  if (active_ == f) active_ = nullptr;
  timers_dirty_ = true;
}

void Application::Activate(Form* f) {
  z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), f), z_order_.end());
  z_order_.push_back(f);
  if (active_ == f) return;
  active_ = f;
  backend_.FocusChanged(*f, f->ActiveControl());
  f->Activated();
}

void Application::FormHidden(Form* f) {
  z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), f), z_order_.end());
  if (active_ != f) return;
  active_ = nullptr;
  // The window shown most recently before it becomes the active one.
  if (!z_order_.empty()) Activate(z_order_.back());
}

void Application::RecomputeTimers() {
  timers_dirty_ = false;
  next_due_ = -1;
  for (Form* f : forms_) {
    if (!f->Loaded()) continue;
    for (Control* c : f->Controls()) {
      if (c->Kind() != ControlKind::Timer) continue;
      auto* t = static_cast<Timer*>(c);
      if (!t->Enabled() || t->Interval() <= 0) continue;
      if (next_due_ < 0 || t->Due() < next_due_) next_due_ = t->Due();
    }
  }
}

std::optional<std::int64_t> Application::NextTimerDue() {
  if (ended_) return std::nullopt;
  if (timers_dirty_) RecomputeTimers();
  if (next_due_ < 0) return std::nullopt;
  return next_due_;
}

void Application::FireDueTimers() {
  if (ended_) return;
  const std::int64_t now = backend_.NowMs();
  std::vector<Timer*> due;
  for (Form* f : forms_) {
    if (!f->Loaded()) continue;
    for (Control* c : f->Controls()) {
      if (c->Kind() != ControlKind::Timer) continue;
      auto* t = static_cast<Timer*>(c);
      if (t->Enabled() && t->Interval() > 0 && t->Due() <= now) due.push_back(t);
    }
  }
  for (Timer* t : due) {
    // A handler that ran before may have switched this timer off or ended the program.
    if (ended_ || !t->Enabled() || !t->Owner().Loaded()) continue;
    t->due_ = now + t->Interval();
    timers_dirty_ = true;
    if (auto handler = t->on_timer_) RunEvent(handler);
  }
  if (timers_dirty_) RecomputeTimers();
}

}  // namespace quorvale::ui
