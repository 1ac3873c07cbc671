#include "x_client.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

int XClient::PressEnter(const std::string& title) { return PressKey(title, XK_Return); }

int XClient::PressEscape(const std::string& title) { return PressKey(title, XK_Escape); }

int XClient::Close(const std::string& title) {
  Display* d = D(display_);
  const auto windows = Shown(d, title);
  QuietErrors quiet(d);
  for (Window w : windows) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.display = d;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
  }
  XFlush(d);
  return static_cast<int>(windows.size());
}

std::optional<ui::fltk::RgbImage> XClient::Capture(const std::string& title) {
  Display* d = D(display_);
  const auto windows = Shown(d, title);
  if (windows.empty()) return std::nullopt;
  QuietErrors quiet(d);
  XWindowAttributes a{};
  if (!XGetWindowAttributes(d, windows[0], &a)) return std::nullopt;
  XImage* image = XGetImage(d, windows[0], 0, 0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!image) return std::nullopt;
  ui::fltk::RgbImage out;
  out.width = a.width;
  out.height = a.height;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      out.rgb.push_back(static_cast<unsigned char>((p & image->red_mask) >> 16));
      out.rgb.push_back(static_cast<unsigned char>((p & image->green_mask) >> 8));
      out.rgb.push_back(static_cast<unsigned char>(p & image->blue_mask));
    }
  XDestroyImage(image);
  return out;
}

int XClient::PressKey(const std::string& title, unsigned long keysym) {
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
      e.xkey.keycode = XKeysymToKeycode(d, keysym);
      XSendEvent(d, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
    }
  }
  XFlush(d);
  return static_cast<int>(windows.size());
}

}  // namespace quorvale::uninstall::testing
