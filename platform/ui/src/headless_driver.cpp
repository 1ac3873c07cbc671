#include "quorvale/ui/caption.h"
#include "quorvale/ui/headless.h"

namespace quorvale::ui {

void HeadlessDriver::Require(bool ok, const std::string& what) const {
  if (!ok) throw DriverError(what);
}

bool HeadlessDriver::TryClick(Control& control) {
  if (app_.Ended() || !control.IsUsable()) return false;
  switch (control.Kind()) {
    case ControlKind::CommandButton:
      app_.RunEvent([&] {
        control.SetFocus();
        static_cast<CommandButton&>(control).FireClick();
      });
      return true;
    case ControlKind::CheckBox:
      app_.RunEvent([&] {
        control.SetFocus();
        auto& box = static_cast<CheckBox&>(control);
        box.SetValue(box.Value() == CheckBox::kUnchecked ? CheckBox::kChecked : CheckBox::kUnchecked);
      });
      return true;
    case ControlKind::OptionButton:
      app_.RunEvent([&] {
        control.SetFocus();
        static_cast<OptionButton&>(control).SetValue(true);
      });
      return true;
    case ControlKind::TextBox:
    case ControlKind::ListBox: app_.RunEvent([&] { control.SetFocus(); }); return true;
    default: return false;
  }
}

bool HeadlessDriver::TryClose(Form& form) {
  if (app_.Ended() || !form.Visible()) return false;
  app_.RunEvent([&] { form.Close(UnloadMode::ControlMenu); });
  return true;
}

void HeadlessDriver::Click(Control& control) {
  Require(!app_.Ended(), "the program has ended");
  Require(control.IsUsable(), control.Name() + " is not shown or not enabled");
  Require(TryClick(control), control.Name() + " cannot be clicked");
}

void HeadlessDriver::Type(TextBox& box, std::string text) {
  Require(!app_.Ended(), "the program has ended");
  Require(box.IsUsable(), box.Name() + " is not shown or not enabled");
  Require(!box.Locked(), box.Name() + " is read-only");
  app_.RunEvent([&] {
    box.SetFocus();
    box.SetText(std::move(text));
  });
}

void HeadlessDriver::Select(ListBox& list, int index) {
  Require(!app_.Ended(), "the program has ended");
  Require(list.IsUsable(), list.Name() + " is not shown or not enabled");
  Require(index >= 0 && index < list.ListCount(), list.Name() + " has no line " + std::to_string(index));
  app_.RunEvent([&] {
    list.SetFocus();
    list.SetListIndex(index);
  });
}

void HeadlessDriver::Close(Form& form) {
  Require(!app_.Ended(), "the program has ended");
  Require(form.Visible(), form.Name() + " is not shown");
  TryClose(form);
}

void HeadlessDriver::PressEnter() {
  Form* f = app_.ActiveForm();
  Require(f != nullptr, "no form is active");
  Control* focus = f->ActiveControl();
  if (focus && focus->Kind() == ControlKind::CommandButton && focus->IsUsable()) {
    TryClick(*focus);
  } else if (CommandButton* b = f->DefaultButton(); b && b->IsUsable()) {
    app_.RunEvent([b] { b->FireClick(); });
  }
}

void HeadlessDriver::PressEscape() {
  Form* f = app_.ActiveForm();
  Require(f != nullptr, "no form is active");
  if (CommandButton* b = f->CancelButtonOfForm(); b && b->IsUsable()) {
    app_.RunEvent([b] { b->FireClick(); });
  }
}

void HeadlessDriver::PressTab(bool backwards) {
  Form* f = app_.ActiveForm();
  Require(f != nullptr, "no form is active");
  if (Control* next = f->NextInTabOrder(backwards)) {
    app_.RunEvent([next] { next->SetFocus(); });
  }
}

void HeadlessDriver::PressAccessKey(char key) {
  Form* f = app_.ActiveForm();
  Require(f != nullptr, "no form is active");
  if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
  for (Control* c : f->Controls()) {
    std::string caption;
    switch (c->Kind()) {
      case ControlKind::CommandButton: caption = static_cast<CommandButton*>(c)->Caption(); break;
      case ControlKind::CheckBox: caption = static_cast<CheckBox*>(c)->Caption(); break;
      case ControlKind::OptionButton: caption = static_cast<OptionButton*>(c)->Caption(); break;
      default: continue;
    }
    if (AccessKey(caption) == key && c->IsUsable()) {
      TryClick(*c);
      return;
    }
  }
}

void HeadlessDriver::Advance(std::int64_t ms) {
  Require(ms >= 0, "time does not run backwards");
  if (backend_.InputPending()) backend_.DeliverInput(app_);
  const std::int64_t target = backend_.NowMs() + ms;
  while (!app_.Ended()) {
    auto due = app_.NextTimerDue();
    if (!due || *due > target) break;
    if (*due > backend_.NowMs()) backend_.SetNow(*due);
    app_.FireDueTimers();
  }
  if (backend_.NowMs() < target) backend_.SetNow(target);
}

void HeadlessDriver::PostClick(Control& control) {
  backend_.Post([this, &control] { TryClick(control); });
}

void HeadlessDriver::PostClose(Form& form) {
  backend_.Post([this, &form] { TryClose(form); });
}

std::string HeadlessDriver::FocusName() const {
  Control* c = app_.FocusedControl();
  return c ? c->Owner().Name() + "." + c->Name() : "";
}

std::vector<std::string> HeadlessDriver::ShownForms() const {
  std::vector<std::string> out;
  for (Form* f : app_.VisibleForms()) out.push_back(f->Name());
  return out;
}

}  // namespace quorvale::ui
