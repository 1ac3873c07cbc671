#include "x_client.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <vector>

namespace quorvale::uninstall::testing {

namespace {

Display* D(void* d) { return static_cast<Display*>(d); }

// Windows of another program come and go while they are looked at: an
// error about one that has just gone is no error here.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

class QuietErrors {
 public:
  explicit QuietErrors(Display* d) : d_(d), old_(XSetErrorHandler(IgnoreError)) {}
  ~QuietErrors() {
    XSync(d_, False);
    XSetErrorHandler(old_);
  }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  Display* d_;
  int (*old_)(Display*, XErrorEvent*);
};

std::string Title(Display* d, Window w) {
  Atom type = 0;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom name = XInternAtom(d, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  std::string title;
  if (XGetWindowProperty(d, w, name, 0, 1024, False, utf8, &type, &format, &n, &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), n);
    XFree(data);
  }
  return title;
}

std::vector<Window> Shown(Display* d, const std::string& title) {
  QuietErrors quiet(d);
  std::vector<Window> found;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return found;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
        Title(d, children[i]) == title)
      found.push_back(children[i]);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

XClient::XClient() : display_(XOpenDisplay(nullptr)) {}

XClient::~XClient() {
  if (display_) XCloseDisplay(D(display_));
}

int XClient::CountShown(const std::string& title) {
  return static_cast<int>(Shown(D(display_), title).size());
}

int XClient::PressEnter(const std::string& title) {
  Display* d = D(display_);
  const auto windows = Shown(d, title);
  QuietErrors quiet(d);
  for (Window w : windows) {
    for (int type : {KeyPress, KeyRelease}) {
      XEvent e{};
      e.xkey.type = type;
      e.xkey.display = d;
      e.xkey.window = w;
      e.xkey.root = DefaultRootWindow(d);
      e.xkey.same_screen = True;
      e.xkey.keycode = XKeysymToKeycode(d, XK_Return);
      XSendEvent(d, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
    }
  }
  XFlush(d);
  return static_cast<int>(windows.size());
}

}  // namespace quorvale::uninstall::testing
