#include "key_walk.h"

#include <gtest/gtest.h>

#include <chrono>

#include "display_user.h"
#include "window_test.h"
// After GoogleTest's and the UI model's headers: X11's None is a macro.
// clang-format off
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/keysym.h>
// clang-format on

namespace quorvale::ui::fltk::testing {

namespace {

using namespace std::chrono_literals;

const char* NameOf(Key key) {
  static const char* const names[] = {"Tab", "Shift+Tab", "Left", "Up", "Right", "Down", "Enter"};
  return names[static_cast<int>(key)];
}

// What the forms show now, as a step writes it.
std::string Reached(const Application& app) {
  const Control* c = app.FocusedControl();
  if (!c) return "no focus";
  return c->Owner().Name() + "." + c->Name() + " [" + SelectedOptions(c->Owner()) + "]";
}

std::string Expected(const KeyStep& step) { return step.focus + " [" + step.selected + "]"; }

std::string Trace(std::size_t i, const KeyStep& step) {
  return "step " + std::to_string(i + 1) + ": " + NameOf(step.key) + ", expected " + Expected(step);
}

}  // namespace

std::string SelectedOptions(const Form& form) {
  std::string names;
  for (const Control* c : form.Controls()) {
    if (c->Kind() != ControlKind::OptionButton || !static_cast<const OptionButton*>(c)->Value()) continue;
    names += (names.empty() ? "" : " ") + c->Name();
  }
  return names;
}

void WalkHeadless(HeadlessDriver& driver, const std::vector<KeyStep>& steps) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const KeyStep& step = steps[i];
    SCOPED_TRACE(Trace(i, step));
    switch (step.key) {
      case Key::Tab: driver.PressTab(); break;
      case Key::ShiftTab: driver.PressTab(true); break;
      case Key::Left: driver.PressArrow(input::Arrow::Left); break;
      case Key::Up: driver.PressArrow(input::Arrow::Up); break;
      case Key::Right: driver.PressArrow(input::Arrow::Right); break;
      case Key::Down: driver.PressArrow(input::Arrow::Down); break;
      case Key::Enter: driver.PressEnter(); break;
    }
    ASSERT_EQ(Reached(driver.App()), Expected(step));
  }
}

void WalkOnDisplay(FltkBackend& backend, Application& app, const std::vector<KeyStep>& steps) {
  DisplayUser user;
  backend.Flush();
  ASSERT_NE(app.ActiveForm(), nullptr);
  Fl_Window* window = backend.WindowOf(*app.ActiveForm());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(RunUntil(backend, app, [&] { return user.Focus() == fl_xid(window); }))
      << "the page never had the keyboard focus";
  // The display's focus is on the active form's window, on the widget of
  // the control the form has the focus on.
  const auto same_focus = [&] {
    const Control* c = app.FocusedControl();
    Fl_Window* active = c ? backend.WindowOf(c->Owner()) : nullptr;
    return active && user.Focus() == fl_xid(active) && Fl::focus() == backend.WidgetOf(*c);
  };
  std::string before = Reached(app);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const KeyStep& step = steps[i];
    SCOPED_TRACE(Trace(i, step));
    static const unsigned long keysyms[] = {XK_Tab, XK_Tab, XK_Left, XK_Up, XK_Right, XK_Down, XK_Return};
    user.Type(keysyms[static_cast<int>(step.key)], step.key == Key::ShiftTab ? ShiftMask : 0);
    const auto done = [&] { return Reached(app) == Expected(step) && same_focus(); };
    if (Expected(step) == before) {
      // A key that is to change nothing: it had its time.
      const auto end = std::chrono::steady_clock::now() + 300ms;
      RunUntil(backend, app, [&] { return std::chrono::steady_clock::now() >= end; });
    } else {
      RunUntil(backend, app, done);
    }
    ASSERT_EQ(Reached(app), Expected(step));
    ASSERT_TRUE(same_focus()) << "the display's focus is not on the form's focused control";
    before = Reached(app);
  }
}

}  // namespace quorvale::ui::fltk::testing
