#include "quorvale/machine/clock.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "quorvale/core/wait_hook.h"

namespace quorvale {

namespace {

struct TestClock {
  std::mutex mutex;
  std::atomic<bool> on{false};
  std::uint64_t now = 0;
  std::multimap<std::uint64_t, std::function<void()>> due;
};

// QUORVALE_TEST_CLOCK=1 starts a process on the test clock, so a program
// that a test starts as a process of its own waits in virtual time too.
TestClock& Clock() {
  static TestClock clock;
  static const bool from_env = [] {
    const char* env = std::getenv("QUORVALE_TEST_CLOCK");
    if (env && std::string(env) == "1") clock.on = true;
    return true;
  }();
  (void)from_env;
  return clock;
}

}  // namespace

void UseTestClock(bool on) { Clock().on = on; }
bool OnTestClock() { return Clock().on; }

std::uint64_t ClockNow() {
  if (OnTestClock()) {
    std::lock_guard lock(Clock().mutex);
    return Clock().now;
  }
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void AtMoment(std::uint64_t moment, std::function<void()> what) {
  std::lock_guard lock(Clock().mutex);
  Clock().due.emplace(moment, std::move(what));
}

void ClockSleep(std::uint32_t ms) {
  TestClock& c = Clock();
  if (!c.on) {
    // The windows of the thread's user interface stay painted meanwhile.
    if (!RunWaitHook(ms)) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  // Advance to the end of the sleep, running each due event at its moment
  // (outside the lock, so an event may schedule more or sleep itself).
  std::uint64_t end;
  {
    std::lock_guard lock(c.mutex);
    end = c.now + ms;
  }
  for (;;) {
    std::function<void()> what;
    {
      std::lock_guard lock(c.mutex);
      auto it = c.due.begin();
      if (it == c.due.end() || it->first > end) {
        if (c.now < end) c.now = end;
        return;
      }
      if (it->first > c.now) c.now = it->first;
      what = std::move(it->second);
      c.due.erase(it);
    }
    what();
  }
}

void ResetTestClock() {
  std::lock_guard lock(Clock().mutex);
  Clock().now = 0;
  Clock().due.clear();
}

}  // namespace quorvale
