#include "quorvale/server/page_parts.h"

#include "quorvale/setup/system_helpers.h"

namespace quorvale::server {

namespace {

constexpr int kFirstPrompt = 1320, kFirstBox = 1770, kSecondPrompt = 2370, kSecondBox = 2816;

void Place(const PathGroup& g, int prompt_top, int box_top) {
  g.prompt.Move(510, prompt_top, 6465, 450);
  g.box.Move(510, box_top, 4905, 345);
  g.view.Move(5610, box_top, 1395, 345);
}

void SetUp(const PathGroup& g, const char* prompt, int prompt_top, int box_top) {
  g.prompt.SetCaption(prompt);
  g.view.SetCaption("浏览(&B)");
  g.box.SetLocked(true);
  Place(g, prompt_top, box_top);
}

void Show(const PathGroup& g, bool shown) {
  g.prompt.SetVisible(shown);
  g.box.SetVisible(shown);
  g.view.SetVisible(shown);
}

}  // namespace

void SetUpPathGroup(const PathGroup& group, const char* prompt) {
  SetUp(group, prompt, kFirstPrompt, kFirstBox);
}

void SetUpPathGroups(const PathGroup& first, const char* first_prompt, const PathGroup& second,
                     const char* second_prompt) {
  SetUp(first, first_prompt, kFirstPrompt, kFirstBox);
  SetUp(second, second_prompt, kSecondPrompt, kSecondBox);
}

void LayOutPathGroups(const PathGroup& first, bool show_first, const PathGroup& second, bool show_second) {
  const bool second_up = show_second && !show_first;
  Place(first, kFirstPrompt, kFirstBox);
  Place(second, second_up ? kFirstPrompt : kSecondPrompt, second_up ? kFirstBox : kSecondBox);
  Show(first, show_first);
  Show(second, show_second);
}

void ProposeFirstPresent(setup::WizardPage& page, ui::TextBox& box,
                         std::initializer_list<const char*> paths) {
  for (const char* path : paths) {
    bool present = false;
    page.Program().PageErr().Resume([&] { present = setup::FileExists(path); });
    if (present) return box.SetText(path);
  }
}

void TakeChosenPath(setup::WizardPage& page, ui::TextBox& box, const std::string& chosen) {
  if (!chosen.empty()) box.SetText(chosen);
  page.Program().PageErr().Resume([&] { box.SetFocus(); });
}

}  // namespace quorvale::server
