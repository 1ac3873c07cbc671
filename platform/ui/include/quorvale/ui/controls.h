// The standard controls the wizard pages use.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "quorvale/ui/control.h"
#include "quorvale/ui/types.h"

namespace quorvale::ui {

using Handler = std::function<void()>;

class Label : public Control {
 public:
  Label(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Label) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  Color BackColor() const { return back_color_; }
  void SetBackColor(Color c);
  Color ForeColor() const { return fore_color_; }
  void SetForeColor(Color c);
  bool FontBold() const { return bold_; }
  void SetFontBold(bool b);

 private:
  std::string caption_;
  Color back_color_ = kColorButtonFace;
  Color fore_color_ = kColorWindowText;
  bool bold_ = false;
};

class TextBox : public Control {
 public:
  TextBox(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::TextBox) {}
  const std::string& Text() const { return text_; }
  // Fires Change when the text differs from the one before.
  void SetText(std::string text);
  // Read-only: the user cannot type, the program still sets the text.
  bool Locked() const { return locked_; }
  void SetLocked(bool v) {
    if (locked_ == v) return;
    locked_ = v;
    Changed();
  }
  // Shown in place of every character when not empty (password boxes).
  const std::string& PasswordChar() const { return password_char_; }
  void SetPasswordChar(std::string c);
  bool MultiLine() const { return multi_line_; }
  void SetMultiLine(bool v) { multi_line_ = v; }
  // What the box shows: the text, or one password character per character.
  std::string DisplayText() const;
  void OnChange(Handler h) { on_change_ = std::move(h); }

 private:
  std::string text_;
  bool locked_ = false;
  std::string password_char_;
  bool multi_line_ = false;
  Handler on_change_;
};

class CheckBox : public Control {
 public:
  static constexpr int kUnchecked = 0;
  static constexpr int kChecked = 1;
  static constexpr int kGrayed = 2;
  CheckBox(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::CheckBox) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  int Value() const { return value_; }
  // Fires Click when the value changes, as the user's click does.
  void SetValue(int v);
  void OnClick(Handler h) { on_click_ = std::move(h); }

 private:
  std::string caption_;
  int value_ = kUnchecked;
  Handler on_click_;
};

// Option buttons in the same container (form or frame) form one group: at
// most one of them is True.
class OptionButton : public Control {
 public:
  OptionButton(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::OptionButton) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  bool Value() const { return value_; }
  // True switches the others of the group off and fires Click when it was off.
  void SetValue(bool v);
  void OnClick(Handler h) { on_click_ = std::move(h); }

 private:
  std::string caption_;
  bool value_ = false;
  Handler on_click_;
};

class ListBox : public Control {
 public:
  // Height of one line in twips (12 pixels).
  static constexpr int kItemHeight = 180;
  ListBox(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::ListBox) {}
  // Adds a line at the end, or before index.
  void AddItem(std::string text, int index = -1);
  // Raises error 5 for an index outside the list.
  void RemoveItem(int index);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  // Raises error 381 for an index outside the list.
  const std::string& List(int index) const;
  const std::vector<std::string>& Items() const { return items_; }
  // Selected line, -1 for none; setting it fires Click.
  int ListIndex() const { return list_index_; }
  void SetListIndex(int index);
  // Index of the line most recently added.
  int NewIndex() const { return new_index_; }
  // First line in view; set values are kept within the list.
  int TopIndex() const { return top_index_; }
  void SetTopIndex(int index);
  int VisibleRows() const;
  void OnClick(Handler h) { on_click_ = std::move(h); }

 private:
  std::vector<std::string> items_;
  int list_index_ = -1;
  int new_index_ = -1;
  int top_index_ = 0;
  Handler on_click_;
};

class CommandButton : public Control {
 public:
  CommandButton(Form& owner, std::string name)
      : Control(owner, std::move(name), ControlKind::CommandButton) {}
  // "&N" marks N as the button's access key.
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  // The default button is pressed by Enter; one per form.
  bool Default() const { return default_; }
  void SetDefault(bool v);
  // The cancel button is pressed by Esc; one per form.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v);
  void OnClick(Handler h) { on_click_ = std::move(h); }
  // Runs the Click handler, as a press of the button does.
  void FireClick();

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
  Handler on_click_;
};

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Frame) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);

 private:
  std::string caption_;
};

class Line : public Control {
 public:
  Line(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Line) {}
  int X1() const { return x1_; }
  int Y1() const { return y1_; }
  int X2() const { return x2_; }
  int Y2() const { return y2_; }
  void SetPoints(int x1, int y1, int x2, int y2);
  Color BorderColor() const { return color_; }
  void SetBorderColor(Color c);

 private:
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  Color color_ = kColorWindowText;
};

class Image : public Control {
 public:
  Image(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Image) {}
  const Picture& GetPicture() const { return picture_; }
  void SetPicture(Picture p);

 private:
  Picture picture_;
};

// Fires its handler every Interval milliseconds while enabled and its form
// is loaded, whenever the message loop runs. Interval 0 never fires.
// Enabling it, or a new interval, starts the count again from now.
class Timer : public Control {
 public:
  Timer(Form& owner, std::string name) : Control(owner, std::move(name), ControlKind::Timer) {}
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  void OnTimer(Handler h) { on_timer_ = std::move(h); }
  std::int64_t Due() const { return due_; }

 private:
  friend class Application;
  void EnabledChanged() override { Restart(); }
  void Restart();
  int interval_ = 0;
  std::int64_t due_ = 0;
  Handler on_timer_;
};

}  // namespace quorvale::ui
