// The FLTK widgets that stand for the controls FLTK has no exact match for.
#pragma once

#include <string>

#include "fl.h"
#include "quorvale/ui/types.h"

namespace quorvale::ui::fltk {

// The fonts every window uses: FLTK's Helvetica faces are set to the CJK font.
inline constexpr Fl_Font kFont = 0;      // FL_HELVETICA
inline constexpr Fl_Font kBoldFont = 1;  // FL_HELVETICA_BOLD
inline constexpr int kFontSize = 12;

// &H00BBGGRR colours and the system colours (&H800000xx) as FLTK colours.
Fl_Color ToFlColor(Color c);
bool IsButtonFace(Color c);

// Static text: the caption broken into lines as a word-wrapping Windows
// label breaks it, drawn from the top left and cut at the control's edges.
class LabelWidget : public Fl_Box {
 public:
  LabelWidget(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
  const std::string& Caption() const { return caption_; }
  // With mnemonics "&" marks the access key, as on a form's label;
  // without, every "&" is shown (message texts).
  void SetCaption(const std::string& caption, bool mnemonics = true);
  void draw() override;

 private:
  std::string caption_;
  bool mnemonics_ = true;
};

// A frame: an engraved border with its caption over the top edge.
class FrameBox : public Fl_Box {
 public:
  FrameBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
  void draw() override;
};

// A line between two points given in the window's pixels.
class LineWidget : public Fl_Widget {
 public:
  LineWidget() : Fl_Widget(0, 0, 1, 1) {}
  void SetPoints(int x1, int y1, int x2, int y2);
  void draw() override;

 private:
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// A picture control. The pictures are named resources; a banner across the
// top is drawn white, a tall one on the side as the product's panel.
class PictureBox : public Fl_Box {
 public:
  PictureBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
  void draw() override;
};

// A push button drawn as Windows draws one: raised edges, sunken while
// pressed. The button Enter presses has a dark frame around its edges.
class PushButton : public Fl_Button {
 public:
  PushButton(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {}
  // Framed: Enter presses this button.
  bool is_default = false;
  // Framed while it has the focus instead (a message box's buttons).
  bool default_follows_focus = false;
  bool Framed() const;
  void draw() override;
};

// A password box: shows the password character once per character typed
// (FLTK's own secret input shows bullets). Typing adds at the end and
// Backspace takes the last character away, as nothing else can be seen.
class PasswordInput : public Fl_Input {
 public:
  PasswordInput(int x, int y, int w, int h) : Fl_Input(x, y, w, h) {}
  int handle(int event) override;
  const std::string& Text() const { return text_; }
  // The text and the character shown for each of its characters.
  void SetText(const std::string& text, const std::string& mask);

 private:
  void Show();
  std::string text_;
  std::string mask_ = "*";
};

}  // namespace quorvale::ui::fltk
