// Another client of the X display, as a person at the screen: finds the
// shown top-level windows by their title and presses Enter on them.
#pragma once

#include <string>

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

}  // namespace quorvale::uninstall::testing
