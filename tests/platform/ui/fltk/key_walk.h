// A walk through a form with the keyboard only, written as a table: each
// step a key and what it leaves, the focus and the selected option buttons.
// The same table is walked headless, with the test driver, and on real
// windows, typed at the display by another client (DisplayUser), so that
// both backends are held to the same rules.
#pragma once

#include <string>
#include <vector>

#include "quorvale/ui/fltk_backend.h"
#include "quorvale/ui/headless.h"

namespace quorvale::ui::fltk::testing {

enum class Key { Tab, ShiftTab, Left, Up, Right, Down, Enter };

struct KeyStep {
  Key key;
  std::string focus;     // the focused control after the key, "Form.Control"
  std::string selected;  // the option buttons selected on its form then, by name, blanks between
};

// The option buttons selected on the form, in the form's order.
std::string SelectedOptions(const Form& form);

// Each key pressed through the driver; a failure names the step.
void WalkHeadless(HeadlessDriver& driver, const std::vector<KeyStep>& steps);

// Each key typed at the display, to the window with the keyboard focus,
// the loop run until the step's focus and options are reached (a step that
// changes nothing: for a while) with the display's focus on the focused
// control's widget. Starts once the active form's window has the focus.
void WalkOnDisplay(FltkBackend& backend, Application& app, const std::vector<KeyStep>& steps);

}  // namespace quorvale::ui::fltk::testing
