// A multi-line text box as a Windows edit box shows it: the text broken
// into lines by the rule the labels follow (LayoutLines: at blanks and
// beside double-byte characters, no line starting with closing punctuation
// nor ending with opening punctuation), a vertical scroll bar when the lines
// do not fit, a caret and a selection. Locked, it can be read, scrolled and
// copied from, not changed.
#pragma once

#include <string>
#include <vector>

#include "fl.h"

namespace quorvale::ui::fltk {

class TextArea : public Fl_Group {
 public:
  TextArea(int x, int y, int w, int h);
  bool locked = false;

  int handle(int event) override;
  void draw() override;
  void resize(int x, int y, int w, int h) override;

  // What the box holds, its line ends CR LF as in a Windows text box.
  std::string Text() const;
  // Shows the form's text; its line ends (CR LF, LF or CR) break lines and
  // draw nothing. Unchanged text leaves the view where it is.
  void SetText(const std::string& text);
  // Text(), now in step with the form (the user typed it).
  std::string TakeTyped();

  // The lines as the box shows them, and the first one in view.
  std::vector<std::string> Lines();
  int TopLine() const { return top_; }

 private:
  // A line on the screen: the text from begin to end (the blanks and the
  // line end before the next line are not drawn).
  struct Row {
    std::size_t begin, end;
  };
  struct Box {
    int x, y, w, h;
  };
  Box TextBox(bool with_scroll_bar) const;
  void LayOut();
  int WholeRows() const;
  std::size_t RowOf(std::size_t pos) const;
  int Measure(std::size_t from, std::size_t to) const;
  std::size_t PosAt(int mx, int my);
  std::size_t PosInRow(std::size_t row, int x) const;
  void MoveCaret(std::size_t pos, bool extend);
  void ShowCaret();
  void ScrollTo(int top);
  bool HandleKey();
  // Puts text in place of the selection, as the user types it.
  void Replace(const std::string& text);
  void CopySelection() const;
  static void OnScroll(Fl_Widget*, void* area);

  Fl_Scrollbar* scroll_;
  std::string text_;  // line ends LF
  std::string form_text_;
  std::vector<Row> rows_;
  bool laid_out_ = false;
  bool scrolls_ = false;
  int line_h_ = 16;
  std::size_t caret_ = 0, anchor_ = 0;
  int top_ = 0;
  int goal_x_ = -1;  // where Up and Down look for the caret's place
};

}  // namespace quorvale::ui::fltk
