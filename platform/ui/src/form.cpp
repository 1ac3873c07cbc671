#include "quorvale/ui/form.h"

#include <algorithm>

#include "quorvale/ui/application.h"

namespace quorvale::ui {

Form::Form(Application& app, std::string name) : app_(app), name_(std::move(name)) { app_.AddForm(this); }

Form::~Form() { app_.RemoveForm(this); }

void Form::Register(Control* c) {
  controls_.push_back(c);
  switch (c->Kind()) {
    case ControlKind::Line:
    case ControlKind::Image:
    case ControlKind::Timer: break;
    default: tab_order_.push_back(c);
  }
  if (c->Kind() == ControlKind::Timer) app_.TimersChanged();
}

void Form::MoveInTabOrder(Control* c, int index) {
  auto it = std::find(tab_order_.begin(), tab_order_.end(), c);
  if (it == tab_order_.end()) return;
  tab_order_.erase(it);
  auto pos = std::clamp(index, 0, static_cast<int>(tab_order_.size()));
  tab_order_.insert(tab_order_.begin() + pos, c);
}

void Form::SetActiveControl(Control* c) {
  active_control_ = c;
  app_.GetBackend().FocusChanged(*this, c);
}

void Form::Changed() {
  if (visible_) app_.GetBackend().FormChanged(*this);
}

void Form::SetCaption(std::string text) {
  caption_ = std::move(text);
  Changed();
}

void Form::SetIcon(Picture p) {
  icon_ = std::move(p);
  Changed();
}

void Form::Move(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

Control* Form::FindControl(std::string_view name) const {
  for (Control* c : controls_) {
    if (c->Name() == name) return c;
  }
  return nullptr;
}

CommandButton* Form::DefaultButton() const {
  for (Control* c : controls_) {
    if (c->Kind() == ControlKind::CommandButton && static_cast<CommandButton*>(c)->Default()) {
      return static_cast<CommandButton*>(c);
    }
  }
  return nullptr;
}

CommandButton* Form::CancelButtonOfForm() const {
  for (Control* c : controls_) {
    if (c->Kind() == ControlKind::CommandButton && static_cast<CommandButton*>(c)->Cancel()) {
      return static_cast<CommandButton*>(c);
    }
  }
  return nullptr;
}

std::vector<OptionButton*> Form::OptionGroup(const Control& c) const {
  if (c.Kind() != ControlKind::OptionButton) return {};
  std::vector<OptionButton*> run;
  bool found = false;
  for (Control* o : tab_order_) {
    if (o->Container() != c.Container() || o->Kind() == ControlKind::Label) continue;
    if (o->Kind() != ControlKind::OptionButton) {
      if (found) break;
      run.clear();
      continue;
    }
    run.push_back(static_cast<OptionButton*>(o));
    found = found || o == &c;
  }
  return run;
}

OptionButton* Form::NextInGroup(const Control& from, bool backwards) const {
  const auto group = OptionGroup(from);
  const auto n = static_cast<int>(group.size());
  const auto at = static_cast<int>(std::find(group.begin(), group.end(), &from) - group.begin());
  for (int step = 1; step <= n; ++step) {
    OptionButton* o = group[static_cast<std::size_t>(((backwards ? at - step : at + step) % n + n) % n)];
    if (o->CanFocus()) return o;
  }
  return nullptr;
}

bool Form::TabReaches(const Control& c) const {
  if (!c.CanFocus() || !c.TabStop()) return false;
  if (c.Kind() != ControlKind::OptionButton) return true;
  const auto group = OptionGroup(c);
  const auto stops = [](const OptionButton* o) { return o->CanFocus() && o->TabStop(); };
  auto it =
      std::find_if(group.begin(), group.end(), [&](const OptionButton* o) { return o->Value() && stops(o); });
  if (it == group.end()) it = std::find_if(group.begin(), group.end(), stops);
  return it != group.end() && *it == &c;
}

Control* Form::NextInTabOrder(bool backwards) const {
  const int n = static_cast<int>(tab_order_.size());
  if (n == 0) return nullptr;
  int start = active_control_ ? active_control_->TabIndex() : -1;
  if (start < 0) start = backwards ? 0 : n - 1;
  // Tab leaves the group of the option button it starts from.
  const auto left = active_control_ ? OptionGroup(*active_control_) : std::vector<OptionButton*>{};
  for (int step = 1; step <= n; ++step) {
    Control* c =
        tab_order_[static_cast<std::size_t>(backwards ? ((start - step) % n + n) % n : (start + step) % n)];
    if (std::find(left.begin(), left.end(), c) == left.end() && TabReaches(*c)) return c;
  }
  return nullptr;
}

void Form::Load() {
  if (loaded_ || app_.Ended()) return;
  loaded_ = true;
  app_.TimersChanged();
  OnLoad();
}

void Form::Show() {
  Load();
  if (!loaded_ || app_.Ended()) return;  // the load unloaded the form or ended the program
  if (!visible_) {
    visible_ = true;
    app_.GetBackend().FormShown(*this);
  }
  if (!active_control_ || !active_control_->CanFocus()) {
    // First show: the focus goes to the first control in tab order that takes it.
    Control* first = nullptr;
    for (Control* c : tab_order_) {
      if (TabReaches(*c)) {
        first = c;
        break;
      }
    }
    if (first) SetActiveControl(first);
  }
  app_.Activate(this);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  app_.GetBackend().FormHidden(*this);
  app_.FormHidden(this);
}

bool Form::Close(UnloadMode mode) {
  if (!loaded_ || app_.Ended()) return !loaded_;
  if (OnQueryUnload(mode)) return false;
  if (app_.Ended() || !loaded_) return !loaded_;
  OnUnload();
  Hide();
  loaded_ = false;
  app_.TimersChanged();
  // A program whose last form went away has ended.
  if (std::none_of(app_.Forms().begin(), app_.Forms().end(), [](Form* f) { return f->Loaded(); })) {
    app_.End();
  }
  return true;
}

void Form::ForgetState() {
  visible_ = false;
  loaded_ = false;
}

MsgResult Form::MsgBox(std::string prompt, MsgButtons buttons, MsgIcon icon, std::string title) {
  return app_.MsgBox(std::move(prompt), buttons, icon, std::move(title));
}

void Form::DoEvents() { app_.DoEvents(); }

void Form::End() { app_.End(); }

}  // namespace quorvale::ui
