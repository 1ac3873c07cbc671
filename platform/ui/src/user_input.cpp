#include "quorvale/ui/user_input.h"

#include "quorvale/core/text.h"
#include "quorvale/ui/caption.h"

namespace quorvale::ui::input {

bool Click(Application& app, Control& control) {
  if (app.Ended() || !control.IsUsable()) return false;
  switch (control.Kind()) {
    case ControlKind::CommandButton:
      app.RunEvent([&] {
        control.SetFocus();
        static_cast<CommandButton&>(control).FireClick();
      });
      return true;
    case ControlKind::CheckBox:
      app.RunEvent([&] {
        control.SetFocus();
        auto& box = static_cast<CheckBox&>(control);
        box.SetValue(box.Value() == CheckBox::kUnchecked ? CheckBox::kChecked : CheckBox::kUnchecked);
      });
      return true;
    case ControlKind::OptionButton:
      app.RunEvent([&] {
        control.SetFocus();
        static_cast<OptionButton&>(control).SetValue(true);
      });
      return true;
    case ControlKind::TextBox:
    case ControlKind::ListBox: app.RunEvent([&] { control.SetFocus(); }); return true;
    default: return false;
  }
}

bool Type(Application& app, TextBox& box, std::string text) {
  if (app.Ended() || !box.IsUsable() || box.Locked()) return false;
  app.RunEvent([&] {
    box.SetFocus();
    box.SetText(std::move(text));
  });
  return true;
}

bool Select(Application& app, ListBox& list, int index) {
  if (app.Ended() || !list.IsUsable() || index < 0 || index >= list.ListCount()) return false;
  app.RunEvent([&] {
    list.SetFocus();
    list.SetListIndex(index);
  });
  return true;
}

bool Close(Application& app, Form& form) {
  if (app.Ended() || !form.Visible()) return false;
  app.RunEvent([&] { form.Close(UnloadMode::ControlMenu); });
  return true;
}

CommandButton* EnterButton(const Form& form) {
  Control* focus = form.ActiveControl();
  if (focus && focus->Kind() == ControlKind::CommandButton && focus->IsUsable())
    return static_cast<CommandButton*>(focus);
  return form.DefaultButton();
}

bool PressEnter(Application& app) {
  Form* f = app.ActiveForm();
  if (!f) return false;
  CommandButton* b = EnterButton(*f);
  if (!b || !b->IsUsable()) return false;
  if (b == f->ActiveControl()) return Click(app, *b);
  app.RunEvent([b] { b->FireClick(); });
  return true;
}

bool PressEscape(Application& app) {
  Form* f = app.ActiveForm();
  if (!f) return false;
  if (CommandButton* b = f->CancelButtonOfForm(); b && b->IsUsable()) {
    app.RunEvent([b] { b->FireClick(); });
    return true;
  }
  return false;
}

bool PressTab(Application& app, bool backwards) {
  Form* f = app.ActiveForm();
  if (!f) return false;
  Control* next = f->NextInTabOrder(backwards);
  if (!next) return false;
  app.RunEvent([next] { next->SetFocus(); });
  return true;
}

bool PressArrow(Application& app, Arrow key) {
  Form* f = app.ActiveForm();
  if (!f || !f->ActiveControl()) return false;
  OptionButton* next = f->NextInGroup(*f->ActiveControl(), key == Arrow::Left || key == Arrow::Up);
  if (!next) return false;
  app.RunEvent([next] {
    next->SetFocus();
    next->SetValue(true);
  });
  return true;
}

Control* AccessKeyTarget(const Form& form, char key) {
  key = UpperChar(key);
  for (Control* c : form.Controls()) {
    const std::string* caption = nullptr;
    switch (c->Kind()) {
      case ControlKind::CommandButton: caption = &static_cast<CommandButton*>(c)->Caption(); break;
      case ControlKind::CheckBox: caption = &static_cast<CheckBox*>(c)->Caption(); break;
      case ControlKind::OptionButton: caption = &static_cast<OptionButton*>(c)->Caption(); break;
      default: continue;
    }
    if (AccessKey(*caption) == key && c->IsUsable()) return c;
  }
  return nullptr;
}

bool PressAccessKey(Application& app, char key) {
  Form* f = app.ActiveForm();
  if (!f) return false;
  Control* c = AccessKeyTarget(*f, key);
  return c && Click(app, *c);
}

bool Focus(Application& app, Control& control) {
  if (app.Ended() || !control.CanFocus()) return false;
  app.RunEvent([&] { control.SetFocus(); });
  return true;
}

}  // namespace quorvale::ui::input
