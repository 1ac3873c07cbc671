#include "quorvale/ui/headless.h"
#include "quorvale/ui/user_input.h"

namespace quorvale::ui {

void HeadlessDriver::Require(bool ok, const std::string& what) const {
  if (!ok) throw DriverError(what);
}

bool HeadlessDriver::TryClick(Control& control) { return input::Click(app_, control); }

bool HeadlessDriver::TryClose(Form& form) { return input::Close(app_, form); }

void HeadlessDriver::Click(Control& control) {
  Require(!app_.Ended(), "the program has ended");
  Require(control.IsUsable(), control.Name() + " is not shown or not enabled");
  Require(TryClick(control), control.Name() + " cannot be clicked");
}

void HeadlessDriver::Type(TextBox& box, std::string text) {
  Require(!app_.Ended(), "the program has ended");
  Require(box.IsUsable(), box.Name() + " is not shown or not enabled");
  Require(!box.Locked(), box.Name() + " is read-only");
  input::Type(app_, box, std::move(text));
}

void HeadlessDriver::Select(ListBox& list, int index) {
  Require(!app_.Ended(), "the program has ended");
  Require(list.IsUsable(), list.Name() + " is not shown or not enabled");
  Require(index >= 0 && index < list.ListCount(), list.Name() + " has no line " + std::to_string(index));
  input::Select(app_, list, index);
}

void HeadlessDriver::Close(Form& form) {
  Require(!app_.Ended(), "the program has ended");
  Require(form.Visible(), form.Name() + " is not shown");
  TryClose(form);
}

void HeadlessDriver::PressEnter() {
  Require(app_.ActiveForm() != nullptr, "no form is active");
  input::PressEnter(app_);
}

void HeadlessDriver::PressEscape() {
  Require(app_.ActiveForm() != nullptr, "no form is active");
  input::PressEscape(app_);
}

void HeadlessDriver::PressTab(bool backwards) {
  Require(app_.ActiveForm() != nullptr, "no form is active");
  input::PressTab(app_, backwards);
}

void HeadlessDriver::PressArrow(input::Arrow key) {
  Require(app_.ActiveForm() != nullptr, "no form is active");
  input::PressArrow(app_, key);
}

void HeadlessDriver::PressAccessKey(char key) {
  Require(app_.ActiveForm() != nullptr, "no form is active");
  input::PressAccessKey(app_, key);
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
