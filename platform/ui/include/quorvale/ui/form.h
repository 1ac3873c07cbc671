// A top-level window with its controls. A page derives from Form, holds its
// controls as members named as the system names them, and overrides the
// form events it handles.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quorvale/ui/controls.h"
#include "quorvale/ui/types.h"

namespace quorvale::ui {

class Application;

class Form {
 public:
  Form(Application& app, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  Application& App() const { return app_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  const Picture& Icon() const { return icon_; }
  void SetIcon(Picture p);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Move(int left, int top, int width, int height);

  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }

  // Loads the form without showing it; runs its Load event the first time.
  void Load();
  // Modeless show: loads when needed, shows and activates the form.
  void Show();
  void Hide();
  // Closes the form as its close box (ControlMenu) or the code (Code) does:
  // the form may refuse in QueryUnload. Returns true when it was unloaded.
  bool Close(UnloadMode mode = UnloadMode::Code);

  // The control that has (or last had) the focus on this form.
  Control* ActiveControl() const { return active_control_; }
  const std::vector<Control*>& Controls() const { return controls_; }
  // The controls in tab order (those that have a tab index).
  const std::vector<Control*>& TabOrder() const { return tab_order_; }
  Control* FindControl(std::string_view name) const;
  CommandButton* DefaultButton() const;
  CommandButton* CancelButtonOfForm() const;
  // The next control the Tab key reaches from the focused one (backwards
  // with Shift); nullptr when none can take the focus. A group of option
  // buttons is one stop: Tab enters it at its selected option (with none
  // selected, or that one unusable, at its first usable one) and leaves it
  // with the next Tab.
  Control* NextInTabOrder(bool backwards) const;
  // The group of an option button, in tab order: the option buttons of its
  // container (the form or one frame) that follow one another in the tab
  // order with no other control of that container but labels between them.
  // Empty for any other control.
  std::vector<OptionButton*> OptionGroup(const Control& c) const;
  // Where an arrow key takes the focus from an option button: the next
  // option of its group that can take the focus (backwards: the one before),
  // round from the group's end to its start; nullptr from any other control.
  OptionButton* NextInGroup(const Control& from, bool backwards) const;

 protected:
  virtual void OnLoad() {}
  virtual void OnActivate() {}
  // Return true to refuse the close (the window stays).
  virtual bool OnQueryUnload(UnloadMode) { return false; }
  virtual void OnUnload() {}

  // The language's statements, for the form's own code.
  MsgResult MsgBox(std::string prompt, MsgButtons buttons, MsgIcon icon, std::string title);
  void DoEvents();
  [[noreturn]] void End();

 private:
  friend class Control;
  friend class CommandButton;
  friend class Application;
  void Register(Control* c);
  void MoveInTabOrder(Control* c, int index);
  void SetActiveControl(Control* c);
  void Changed();
  void Activated() { OnActivate(); }
  void ForgetState();
  // Whether Tab stops at the control (a group of option buttons at one of them).
  bool TabReaches(const Control& c) const;

  Application& app_;
  std::string name_;
  std::string caption_;
  Picture icon_;
  int left_ = 0, top_ = 0, width_ = 7500, height_ = 5700;
  bool loaded_ = false;
  bool visible_ = false;
  Control* active_control_ = nullptr;
  std::vector<Control*> controls_;
  std::vector<Control*> tab_order_;
};

}  // namespace quorvale::ui
