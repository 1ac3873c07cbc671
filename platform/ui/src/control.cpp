#include "quorvale/ui/control.h"

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/ui/application.h"
#include "quorvale/ui/form.h"

namespace quorvale::ui {

Control::Control(Form& owner, std::string name, ControlKind kind)
    : owner_(owner), name_(std::move(name)), kind_(kind) {
  owner_.Register(this);
}

void Control::Changed() { owner_.Changed(); }

void Control::SetLeft(int v) { Move(v, top_, width_, height_); }
void Control::SetTop(int v) { Move(left_, v, width_, height_); }
void Control::SetWidth(int v) { Move(left_, top_, v, height_); }
void Control::SetHeight(int v) { Move(left_, top_, width_, v); }

void Control::Move(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

void Control::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  Changed();
}

void Control::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  EnabledChanged();
  Changed();
}

int Control::TabIndex() const {
  const auto& order = owner_.TabOrder();
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == this) return static_cast<int>(i);
  }
  return -1;
}

void Control::SetTabIndex(int index) { owner_.MoveInTabOrder(this, index); }

void Control::SetToolTipText(std::string text) {
  tooltip_ = std::move(text);
  Changed();
}

void Control::SetContainer(Frame& frame) {
  container_ = &frame;
  Changed();
}

bool Control::IsShown() const {
  if (!owner_.Visible()) return false;
  for (const Control* c = this; c; c = c->container_) {
    if (!c->visible_) return false;
  }
  return true;
}

bool Control::IsUsable() const {
  if (!IsShown()) return false;
  for (const Control* c = this; c; c = c->container_) {
    if (!c->enabled_) return false;
  }
  return true;
}

bool Control::TakesFocus() const {
  switch (kind_) {
    case ControlKind::TextBox:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ListBox:
    case ControlKind::CommandButton: return true;
    default: return false;
  }
}

bool Control::HasFocus() const { return owner_.App().FocusedControl() == this; }

void Control::SetFocus() {
  if (!CanFocus()) Raise(Error::kInvalidCall);
  owner_.SetActiveControl(this);
  owner_.App().Activate(&owner_);
}

}  // namespace quorvale::ui
