// Counts the programs running on threads of this process so that tests can
// wait for all of them.
#include <condition_variable>
#include <thread>

#include "programs.h"
#include "quorvale/programs/launch.h"

namespace quorvale {

namespace {

std::mutex tracker_mutex;
std::condition_variable tracker_changed;
int running = 0;
int on_threads = 0;  // of those, the programs that run on a thread of this process

}  // namespace

namespace programs {

void RunDetached(std::function<void()> body, bool on_thread) {
  {
    std::lock_guard lock(tracker_mutex);
    ++running;
    on_threads += on_thread;
  }
  std::thread([body = std::move(body), on_thread]() mutable {
    try {
      body();
    } catch (...) {
      // A program that fails ends; its caller never learns of it.
    }
    body = nullptr;  // nothing of the program outlives the count
    std::lock_guard lock(tracker_mutex);
    --running;
    on_threads -= on_thread;
    tracker_changed.notify_all();
  }).detach();
}

std::mutex& EnvironmentMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace programs

void WaitForPrograms() {
  std::unique_lock lock(tracker_mutex);
  tracker_changed.wait(lock, [] { return running == 0; });
}

bool WaitForPrograms(std::chrono::milliseconds timeout) {
  std::unique_lock lock(tracker_mutex);
  return tracker_changed.wait_for(lock, timeout, [] { return running == 0; });
}

bool WaitForProgramsOnThreads(std::chrono::milliseconds timeout) {
  std::unique_lock lock(tracker_mutex);
  return tracker_changed.wait_for(lock, timeout, [] { return on_threads == 0; });
}

}  // namespace quorvale
