// What the user does to the forms, the same on every backend: each action
// runs as one event of the message loop. Each returns false when a person
// could not have done it (hidden or disabled control, read-only box, no
// active form, ended program) and then changes nothing.
#pragma once

#include <string>

#include "quorvale/ui/application.h"
#include "quorvale/ui/form.h"

namespace quorvale::ui::input {

// Buttons, check boxes and option buttons are pressed; text boxes and list
// boxes only take the focus.
bool Click(Application& app, Control& control);
bool Type(Application& app, TextBox& box, std::string text);
bool Select(Application& app, ListBox& list, int index);
// The close box of the form's window.
bool Close(Application& app, Form& form);
// Keys on the active form. Enter presses the focused button, else the
// default button; Esc the cancel button.
bool PressEnter(Application& app);
// The button Enter presses on the form, the one Windows draws with the dark
// frame: the focused usable command button, else the default button (which
// may be disabled, and then Enter presses nothing); nullptr for none.
CommandButton* EnterButton(const Form& form);
bool PressEscape(Application& app);
bool PressTab(Application& app, bool backwards);
enum class Arrow { Left, Up, Right, Down };
// An arrow key on the active form. From an option button the focus moves
// to the next usable option of its group (Right, Down) or the one before
// (Left, Up), round from one end of the group to the other, and selects
// it: its Click fires when it was off. Elsewhere the arrows are the
// control's own (a text box's caret, a list's lines), and this does
// nothing and returns false.
bool PressArrow(Application& app, Arrow key);
// Alt with a letter: the first usable control whose caption has it as access key.
bool PressAccessKey(Application& app, char key);
// The control on the form whose caption has this access key, or nullptr.
Control* AccessKeyTarget(const Form& form, char key);
// The focus moves to a control the user clicked or tabbed to in the window.
bool Focus(Application& app, Control& control);

}  // namespace quorvale::ui::input
