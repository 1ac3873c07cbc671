// The program's thread waits (Sleep, as the file waits do): the windows are
// painted meanwhile, and nothing else happens. Another client of the display
// spoils a window and hands it input while the thread sleeps, and reads back
// what the window shows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "display_user.h"
#include "fl.h"
#include "quorvale/machine/clock.h"
#include "window_test.h"

namespace quorvale::ui::fltk::testing {
namespace {

using namespace std::chrono_literals;

// A connection of its own to the display, as another program has, that
// paints over a window and reads back what the window shows.
class OtherClient {
 public:
  OtherClient() : d_(XOpenDisplay(nullptr)) {
    XColor c{};
    c.red = 0xFFFF;
    c.blue = 0xFFFF;
    XAllocColor(d_, DefaultColormap(d_, DefaultScreen(d_)), &c);
    magenta_ = c.pixel;
  }
  ~OtherClient() { XCloseDisplay(d_); }
  OtherClient(const OtherClient&) = delete;
  OtherClient& operator=(const OtherClient&) = delete;

  // Paints the window magenta, a colour no form shows, as a part uncovered
  // shows what was there until the window's owner paints it, and tells the
  // owner the part needs painting.
  void Spoil(Window w, int width, int height) {
    GC gc = XCreateGC(d_, w, 0, nullptr);
    XSetForeground(d_, gc, magenta_);
    XFillRectangle(d_, w, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(d_, gc);
    XEvent e{};
    e.xexpose.type = Expose;
    e.xexpose.window = w;
    e.xexpose.width = width;
    e.xexpose.height = height;
    XSendEvent(d_, w, False, ExposureMask, &e);
    XSync(d_, False);
  }
  std::size_t MagentaPixels(Window w, int width, int height) {
    XImage* image = XGetImage(d_, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::size_t n = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) n += XGetPixel(image, x, y) == magenta_;
    }
    XDestroyImage(image);
    return n;
  }

 private:
  Display* d_;
  unsigned long magenta_ = 0;
};

// A form that counts what reaches it, and what reaches it while it waits.
class Waiting : public Form {
 public:
  explicit Waiting(Application& app) : Form(app, "Waiting") {
    Move(0, 0, 6000, 3000);
    Note.Move(300, 300, 5000, 255);
    Note.SetCaption("正在等待文件...");
    Ok.Move(4200, 2100, 1215, 375);
    Ok.SetCaption("确定");
    Ok.SetDefault(true);
    Ok.OnClick([this] { Count(clicks); });
    Tick.SetInterval(20);
    Tick.OnTimer([this] { Count(ticks); });
  }
  bool OnQueryUnload(UnloadMode) override {
    Count(closes);
    return true;
  }
  struct Seen {
    int all = 0, in_wait = 0;
  };
  void Count(Seen& s) const {
    ++s.all;
    if (waiting) ++s.in_wait;
  }
  Label Note{*this, "Note"};
  CommandButton Ok{*this, "Ok"};
  Timer Tick{*this, "Tick"};
  bool waiting = false;
  Seen clicks, ticks, closes;
};

using Waits = FormWindowTest;

TEST_F(Waits, ASleepRepaintsTheWindowsButTakesNoInputAndFiresNoTimer) {
  Waiting form(*app_);
  app_->RunEvent([&] { form.Show(); });
  backend_->Flush();
  ASSERT_TRUE(RunUntil([&] { return form.ticks.all >= 2; }));
  Fl_Window& window = *backend_->WindowOf(form);
  const Window xid = fl_xid(&window);
  const int w = window.w(), h = window.h();

  std::atomic<std::size_t> magenta_in_wait{0};
  std::thread other([&] {
    OtherClient client;
    DisplayUser user;
    std::this_thread::sleep_for(150ms);
    client.Spoil(xid, w, h);
    user.Close(xid);
    user.TypeOn(xid, XK_Return);
    std::this_thread::sleep_for(400ms);
    magenta_in_wait = client.MagentaPixels(xid, w, h);
  });
  const auto start = std::chrono::steady_clock::now();
  form.waiting = true;
  ClockSleep(1200);
  form.waiting = false;
  const auto slept = std::chrono::steady_clock::now() - start;
  other.join();

  EXPECT_GE(slept, 1200ms);
  EXPECT_EQ(magenta_in_wait, 0u) << "the spoilt window was not painted again during the sleep";
  EXPECT_EQ(form.ticks.in_wait, 0) << "a timer fired during the sleep";
  EXPECT_EQ(form.closes.all, 0) << "the close box was handled during the sleep";
  EXPECT_EQ(form.clicks.all, 0) << "Enter was handled during the sleep";
  // After it the input waiting since then is handled, and the timer goes on.
  const int ticks = form.ticks.all;
  EXPECT_TRUE(
      RunUntil([&] { return form.closes.all == 1 && form.clicks.all == 1 && form.ticks.all > ticks; }));
  EXPECT_EQ(form.closes.in_wait + form.clicks.in_wait + form.ticks.in_wait, 0);

  // On the test clock a sleep takes no real time, window or not.
  UseTestClock(true);
  const auto virtual_start = std::chrono::steady_clock::now();
  ClockSleep(10'000);
  EXPECT_LT(std::chrono::steady_clock::now() - virtual_start, 500ms);
  ResetTestClock();
  UseTestClock(false);
}

}  // namespace
}  // namespace quorvale::ui::fltk::testing
