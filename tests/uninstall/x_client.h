// Another client of the X display, as a person at the screen: finds the
// shown top-level windows by their title and presses Enter on them.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

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

 private:
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
