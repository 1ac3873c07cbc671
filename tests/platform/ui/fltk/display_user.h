// A person at the display, as another client of it: finds the windows by
// their titles, moves the pointer, types, clicks close boxes. A key goes
// where the X server sends a typed key: to the window that has the keyboard
// focus or, when the focus is the root (no window manager ever gave it to a
// window), to the window under the pointer.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace quorvale::ui::fltk::testing {

// An X window id (X11's Window), without X11's headers, whose macros
// (None) clash with the UI model's names.
using XWindow = unsigned long;

class DisplayUser {
 public:
  DisplayUser();
  ~DisplayUser();
  DisplayUser(const DisplayUser&) = delete;
  DisplayUser& operator=(const DisplayUser&) = delete;

  // The shown window with this title (0: none).
  XWindow Find(const std::string& title);
  // Waits on the real clock until a window with the title is shown, at
  // most limit; 0 when none came.
  XWindow WaitFor(const std::string& title, std::chrono::milliseconds limit = std::chrono::seconds(5));
  // Waits until no window with the title is shown; false after the limit.
  bool WaitGone(const std::string& title, std::chrono::milliseconds limit);
  // The window the keyboard goes to: the focus, or the window under the
  // pointer when the focus is the root or follows the pointer.
  XWindow KeyboardWindow();
  // The window that has the focus (PointerRoot and the root included).
  XWindow Focus();
  // Puts the pointer on a point of the window, or on the screen (window 0).
  void PointAt(XWindow window, int x, int y);
  // A key pressed and let go (an X keysym: XK_Return, XK_n, ...), to the
  // window the keyboard goes to, or to the window given; modifiers are X's
  // state bits held with it (ShiftMask, ...).
  void Type(unsigned long keysym, unsigned modifiers = 0);
  void TypeOn(XWindow window, unsigned long keysym, unsigned modifiers = 0);
  // The close box of the window's title bar clicked, as the window manager
  // tells the window (WM_DELETE_WINDOW).
  void Close(XWindow window);

 private:
  void* d_;  // X11's Display
};

}  // namespace quorvale::ui::fltk::testing
