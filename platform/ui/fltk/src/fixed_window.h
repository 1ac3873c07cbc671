// A window of fixed size with the frame Windows gives a fixed dialog: a
// title bar with the close box, no minimise or maximise box, no resizing
// border. The window manager draws the frame; the window asks it for this
// one in its hints (FLTK's own hints keep only the maximise box away).
#pragma once

#include "fl.h"

namespace quorvale::ui::fltk {

class FixedWindow : public Fl_Double_Window {
 public:
  // A page is a window of its own (with its icon in the title bar); a
  // dialog (message box, folder or file dialog) stands over its owner.
  enum class Kind { Page, Dialog };
  FixedWindow(int w, int h, Kind kind) : Fl_Double_Window(w, h), kind_(kind) {}

  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;
  void flush() override;

  // Takes the keyboard focus from the display at its next paint, when it is
  // on the screen: a box or dialog when it opens, a page when it becomes
  // the active one and when a box over it closes. With no window manager
  // (a bare X server) nothing else gives a window the focus, and the keys
  // would go to whatever window the pointer is over. Not while a modal
  // window other than this one is open.
  void TakeKeyboard();

 private:
  void AskForFrame();
  Kind kind_;
  bool wants_keyboard_ = false;
};

}  // namespace quorvale::ui::fltk
