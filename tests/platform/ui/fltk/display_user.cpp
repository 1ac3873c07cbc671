#include "display_user.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <thread>
#include <vector>

namespace quorvale::ui::fltk::testing {

namespace {

// Windows come and go while another program runs: an error about one that
// has just gone is no error here.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

std::string Title(Display* d, Window w) {
  Atom type = 0;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(d, "UTF8_STRING", False), &type, &format, &n, &after,
                         &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), n);
    XFree(data);
  }
  return title;
}

// The top-level windows and, under a window manager, the windows in its
// frames.
Window FindIn(Display* d, Window parent, const std::string& title, int depth) {
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, parent, &root, &up, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = count; i > 0 && !found; --i) {
    const Window w = children[i - 1];
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) continue;
    if (Title(d, w) == title)
      found = w;
    else if (depth > 0)
      found = FindIn(d, w, title, depth - 1);
  }
  if (children) XFree(children);
  return found;
}

Display* D(void* d) { return static_cast<Display*>(d); }

}  // namespace

DisplayUser::DisplayUser() : d_(XOpenDisplay(nullptr)) {}

DisplayUser::~DisplayUser() {
  if (d_) XCloseDisplay(D(d_));
}

XWindow DisplayUser::Find(const std::string& title) {
  if (!d_) return 0;
  auto* old = XSetErrorHandler(IgnoreError);
  const Window found = FindIn(D(d_), DefaultRootWindow(D(d_)), title, 2);
  XSync(D(d_), False);
  XSetErrorHandler(old);
  return found;
}

XWindow DisplayUser::WaitFor(const std::string& title, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (const Window w = Find(title)) return w;
    if (std::chrono::steady_clock::now() > end) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool DisplayUser::WaitGone(const std::string& title, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (Find(title)) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

XWindow DisplayUser::Focus() {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(D(d_), &focus, &revert);
  return focus;
}

XWindow DisplayUser::KeyboardWindow() {
  const Window root = DefaultRootWindow(D(d_));
  const Window focus = Focus();
  if (focus == 0) return 0;  // the keyboard goes nowhere
  if (focus != PointerRoot && focus != root) return focus;
  // The deepest window under the pointer; the key goes up from there to the
  // first window that takes keys.
  Window w = root;
  for (;;) {
    Window r = 0, child = 0;
    int rx = 0, ry = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (!XQueryPointer(D(d_), w, &r, &child, &rx, &ry, &x, &y, &mask) || child == 0) return w;
    w = child;
  }
}

void DisplayUser::PointAt(XWindow window, int x, int y) {
  XWarpPointer(D(d_), 0, window ? window : DefaultRootWindow(D(d_)), 0, 0, 0, 0, x, y);
  XSync(D(d_), False);
}

void DisplayUser::Type(unsigned long keysym, unsigned modifiers) {
  TypeOn(KeyboardWindow(), keysym, modifiers);
}

void DisplayUser::TypeOn(XWindow window, unsigned long keysym, unsigned modifiers) {
  if (!window) return;
  for (int type : {KeyPress, KeyRelease}) {
    XEvent e{};
    e.xkey.type = type;
    e.xkey.display = D(d_);
    e.xkey.window = window;
    e.xkey.root = DefaultRootWindow(D(d_));
    e.xkey.same_screen = True;
    e.xkey.state = modifiers;
    e.xkey.time = CurrentTime;
    e.xkey.keycode = XKeysymToKeycode(D(d_), keysym);
    XSendEvent(D(d_), window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
  }
  XSync(D(d_), False);
}

void DisplayUser::Close(XWindow window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.display = D(d_);
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(D(d_), "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(D(d_), "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(D(d_), window, False, NoEventMask, &e);
  XSync(D(d_), False);
}

}  // namespace quorvale::ui::fltk::testing
