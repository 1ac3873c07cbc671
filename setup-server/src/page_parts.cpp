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

void Show(const PathGroup& g, bool shown) {
  g.prompt.SetVisible(shown);
  g.box.SetVisible(shown);
  g.view.SetVisible(shown);
}

}  // namespace

void PlaceFirstPathGroup(const PathGroup& group) { Place(group, kFirstPrompt, kFirstBox); }

void SetUpPathGroups(const PathGroup& first, const char* first_prompt, const PathGroup& second,
                     const char* second_prompt) {
  first.prompt.SetCaption(first_prompt);
  second.prompt.SetCaption(second_prompt);
  for (const PathGroup* g : {&first, &second}) {
    g->view.SetCaption("浏览(&B)");
    g->box.SetLocked(true);
  }
  Place(first, kFirstPrompt, kFirstBox);
  Place(second, kSecondPrompt, kSecondBox);
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
