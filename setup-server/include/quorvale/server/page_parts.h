// What several server pages do alike: path boxes with their browse
// buttons, and taking a browsed path.
#pragma once

#include <initializer_list>
#include <string>

#include "quorvale/setup/wizard_page.h"

namespace quorvale::server {

// A path box with the prompt above it and its browse button beside it:
// the prompt and the box at left 510, the button at 5610 (twips).
struct PathGroup {
  ui::Label& prompt;
  ui::TextBox& box;
  ui::CommandButton& view;
};

// A group with its prompt, a read-only box and a "浏览(&B)" button,
// directly under the header at tops 1320 / 1770.
void SetUpPathGroup(const PathGroup& group, const char* prompt);

// Two such groups under the header, the first at tops 1320 / 1770, the
// second at 2370 / 2816.
void SetUpPathGroups(const PathGroup& first, const char* first_prompt, const PathGroup& second,
                     const char* second_prompt);

// The groups shown as asked; the second takes the first's place when it is
// shown alone, so the one group shown stands directly under the header.
void LayOutPathGroups(const PathGroup& first, bool show_first, const PathGroup& second, bool show_second);

// A proposal on load: the box takes the first of the paths that names a
// file on the machine (a probe that cannot be made counts as absent); with
// none present it keeps what it had.
void ProposeFirstPresent(setup::WizardPage& page, ui::TextBox& box, std::initializer_list<const char*> paths);

// A browse button's end: the box takes a chosen path (none keeps what it
// had), and the focus goes to the box in every case.
void TakeChosenPath(setup::WizardPage& page, ui::TextBox& box, const std::string& chosen);

}  // namespace quorvale::server
