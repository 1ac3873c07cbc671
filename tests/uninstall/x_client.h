// Another client of the X display, as a person at the screen: finds the
// shown top-level windows by their title and presses Enter on them.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "quorvale/ui/fltk_backend.h"

namespace quorvale::uninstall::testing {

class XClient {
 public:
  XClient();
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;
  explicit operator bool() const { return display_ != nullptr; }

  // How many shown windows have the title.
  int CountShown(const std::string& title);
  // Enter pressed and let go on every shown window with the title; how many.
  int PressEnter(const std::string& title);
  // The same with Esc.
  int PressEscape(const std::string& title);
  // The close box clicked (the window manager's WM_DELETE_WINDOW) on every
  // shown window with the title; how many.
  int Close(const std::string& title);
  // What the first shown window with the title shows, read from the
  // display (another program's window too).
  std::optional<ui::fltk::RgbImage> Capture(const std::string& title);

 private:
  int PressKey(const std::string& title, unsigned long keysym);
  void* display_;
};

// Waits on the real clock, as the person does, until done says so; false
// after the limit.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::seconds limit = std::chrono::seconds(30)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace quorvale::uninstall::testing
