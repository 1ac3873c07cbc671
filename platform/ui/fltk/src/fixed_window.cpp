#include "fixed_window.h"

#include <X11/Xatom.h>

namespace quorvale::ui::fltk {

namespace {

// The Motif window manager hints, as window managers read them today.
constexpr long kFunctionsGiven = 1, kDecorationsGiven = 2;
constexpr long kFunctionMove = 4, kFunctionClose = 32;
constexpr long kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16;

Atom AtomNamed(const char* name) { return XInternAtom(fl_display, name, False); }

}  // namespace

int FixedWindow::handle(int event) {
  const int used = Fl_Double_Window::handle(event);
  // FLTK maps a new window and then tells it FL_SHOW, before the requests
  // leave for the display: the hints reach the window manager with the map.
  if (event == FL_SHOW && shown()) AskForFrame();
  return used;
}

void FixedWindow::resize(int x, int y, int w, int h) {
  const bool new_size = w != this->w() || h != this->h();
  Fl_Double_Window::resize(x, y, w, h);
  // FLTK writes its own hints again with the new size.
  if (new_size && shown()) AskForFrame();
}

void FixedWindow::TakeKeyboard() {
  wants_keyboard_ = true;
  redraw();
}

void FixedWindow::flush() {
  // A window is painted once it is on the screen; only then may it have the
  // focus.
  if (wants_keyboard_ && shown() && !(Fl::modal() && Fl::modal() != this)) {
    wants_keyboard_ = false;
    const Window xid = fl_xid(this);
    XWindowAttributes a{};
    if (XGetWindowAttributes(fl_display, xid, &a) && a.map_state == IsViewable)
      XSetInputFocus(fl_display, xid, RevertToParent, CurrentTime);
  }
  Fl_Double_Window::flush();
}

void FixedWindow::AskForFrame() {
  const Window xid = fl_xid(this);
  const Atom motif = AtomNamed("_MOTIF_WM_HINTS");
  long hints[5] = {kFunctionsGiven | kDecorationsGiven, kFunctionMove | kFunctionClose,
                   kDecorBorder | kDecorTitle | (kind_ == Kind::Page ? kDecorMenu : 0), 0, 0};
  XChangeProperty(fl_display, xid, motif, motif, 32, PropModeReplace, reinterpret_cast<unsigned char*>(hints),
                  5);
  if (kind_ == Kind::Dialog) {
    Atom dialog = AtomNamed("_NET_WM_WINDOW_TYPE_DIALOG");
    XChangeProperty(fl_display, xid, AtomNamed("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
  }
}

}  // namespace quorvale::ui::fltk
