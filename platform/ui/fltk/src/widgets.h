// The FLTK widgets that stand for the controls FLTK has no exact match for.
#pragma once

#include <functional>
#include <optional>
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

// A list of lines, one selected at most. Up or Down with no line selected
// selects the first line, as in a Windows list box (FLTK would move from
// the line at the top to the one after it, and a list of one line could
// not be chosen from the keyboard at all). Enter on the selected line runs
// the callback, with Enter as the event's key.
//
// ShowLastLine scrolls the last line into view as a Windows list box with a
// horizontal extent does: above its horizontal scroll bar. FLTK decides on
// that bar only while drawing, when a line wider than the list comes into
// view, and then covers the last line with it; the list then scrolls again.
class ListWidget : public Fl_Hold_Browser {
 public:
  ListWidget(int x, int y, int w, int h) : Fl_Hold_Browser(x, y, w, h) {}
  int handle(int event) override;
  void draw() override;
  void ShowLastLine();
  // The last line is whole inside the list, above any scroll bar.
  bool LastLineShown() const;

 private:
  bool last_line_asked_ = false;
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

// Where a single-line box shows its caret, in the window's pixels.
struct CaretLine {
  int x, top, bottom;
};

// The caret of a focused single-line box without a selection: the thin
// vertical line Windows draws before the character at the insertion point,
// the font's height, read-only or not. Nothing otherwise.
std::optional<CaretLine> CaretOf(const Fl_Input_& box, int xscroll);

// Draws a single-line box with that caret: draw_box_and_text draws the box
// as FLTK does (with FLTK's own caret, a "^" when read-only and a 2-pixel
// bar otherwise); the box is then drawn again without the focus, the same
// text at the same scroll with no caret, and the thin line over it.
void DrawWithThinCaret(Fl_Input_& box, int xscroll, const std::function<void()>& draw_box_and_text);

// A single-line text box (Fl_Input) or read-only one (Fl_Output) with the
// thin caret.
template <class Box>
class ThinCaret : public Box {
 public:
  ThinCaret(int x, int y, int w, int h) : Box(x, y, w, h) {}
  void draw() override {
    DrawWithThinCaret(*this, this->xscroll(), [this] { Box::draw(); });
  }
  std::optional<CaretLine> Caret() const { return CaretOf(*this, this->xscroll()); }
};
using EditBox = ThinCaret<Fl_Input>;
using ReadOnlyBox = ThinCaret<Fl_Output>;

// A password box: shows the password character once per character typed
// (FLTK's own secret input shows bullets). Typing adds at the end and
// Backspace takes the last character away, as nothing else can be seen.
class PasswordInput : public EditBox {
 public:
  PasswordInput(int x, int y, int w, int h) : EditBox(x, y, w, h) {}
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
