// What every control of a form has: a name, a place in twips, visibility,
// enabled state, a place in the tab order, a tooltip and a container.
#pragma once

#include <string>
#include <string_view>

namespace quorvale::ui {

class Form;
class Frame;

enum class ControlKind {
  Label,
  TextBox,
  CheckBox,
  OptionButton,
  ListBox,
  CommandButton,
  Frame,
  Line,
  Image,
  Timer
};

class Control {
 public:
  Control(Form& owner, std::string name, ControlKind kind);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  Form& Owner() const { return owner_; }

  // Position and size in twips, relative to the container.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);
  void Move(int left, int top, int width, int height);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  // Position in the form's tab order, from 0; -1 for controls outside it
  // (lines, images, timers). Setting it moves the control there and renumbers
  // the others, so the indices stay 0, 1, 2, ...
  int TabIndex() const;
  void SetTabIndex(int index);
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool v) { tab_stop_ = v; }

  const std::string& ToolTipText() const { return tooltip_; }
  void SetToolTipText(std::string text);

  // The frame the control stands in; nullptr for the form itself.
  Frame* Container() const { return container_; }
  void SetContainer(Frame& frame);

  // Seen by the user: visible itself, in visible containers, on a shown form.
  bool IsShown() const;
  // Shown and enabled, with every container enabled.
  bool IsUsable() const;
  // Whether this kind of control takes the focus at all.
  bool TakesFocus() const;
  bool CanFocus() const { return TakesFocus() && IsUsable(); }
  bool HasFocus() const;
  // Moves the focus here and activates the form's window. Raises error 5 when
  // the control cannot take the focus (hidden, disabled, on a hidden form).
  void SetFocus();

 protected:
  // Tells the backend that something the user sees has changed.
  void Changed();
  virtual void EnabledChanged() {}

 private:
  Form& owner_;
  std::string name_;
  ControlKind kind_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool tab_stop_ = true;
  std::string tooltip_;
  Frame* container_ = nullptr;
};

}  // namespace quorvale::ui
