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

 private:
  void AskForFrame();
  Kind kind_;
};

}  // namespace quorvale::ui::fltk
