// Lets the display be polled only every few milliseconds: the message loop
// runs before every byte a sequence writes, and asking the X server each
// time would make a 4 MB write take minutes.
#pragma once

#include <cstdint>

namespace quorvale::ui::fltk {

class PollThrottle {
 public:
  explicit PollThrottle(std::int64_t interval_ms) : interval_(interval_ms) {}

  // True for the first call, then once the interval has passed since the
  // last true. A clock that went back counts as due, so that polling does
  // not stop until it catches up.
  bool Due(std::int64_t now_ms) {
    if (polled_ && now_ms >= last_ && now_ms - last_ < interval_) return false;
    polled_ = true;
    last_ = now_ms;
    return true;
  }
  // The next call is due whatever the time (after input was handled, say).
  void Force() { polled_ = false; }
  std::int64_t Interval() const { return interval_; }

 private:
  std::int64_t interval_;
  std::int64_t last_ = 0;
  bool polled_ = false;
};

}  // namespace quorvale::ui::fltk
