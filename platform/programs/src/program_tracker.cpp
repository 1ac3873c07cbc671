// Counts the programs running on threads of this process so that tests can
// wait for all of them.
#include <condition_variable>
#include <thread>
#include <vector>

#include "programs.h"
#include "quorvale/programs/launch.h"

namespace quorvale {

namespace {

std::mutex tracker_mutex;
std::condition_variable tracker_changed;
int running = 0;
int on_threads = 0;  // of those, the programs that run on a thread of this process

// The threads of programs that have ended but may still be on their way
// out. A wait that finds every program ended joins them, so that nothing
// of a program is left running when the wait returns (a process that ends
// right after it must not meet a thread half gone: the leak checker's
// stop of the world cannot take one). Never destroyed: threads still
// running when the process ends are no business of its exit.
std::vector<std::thread>& Ended() {
  static auto* threads = new std::vector<std::thread>;
  return *threads;
}
std::vector<std::thread>& Running() {
  static auto* threads = new std::vector<std::thread>;
  return *threads;
}

// Under tracker_mutex: moves the thread with this id to the ended ones.
void MarkEnded(std::thread::id id) {
  auto& running_threads = Running();
  for (auto it = running_threads.begin(); it != running_threads.end(); ++it) {
    if (it->get_id() != id) continue;
    Ended().push_back(std::move(*it));
    running_threads.erase(it);
    return;
  }
}

// Joins the threads whose programs have ended; with the lock held by the
// caller, taken out of the list first so that the join happens without it.
void JoinEnded(std::unique_lock<std::mutex>& lock) {
  std::vector<std::thread> ended;
  ended.swap(Ended());
  lock.unlock();
  for (auto& t : ended) t.join();
  lock.lock();
}

}  // namespace

namespace programs {

void RunDetached(std::function<void()> body, bool on_thread) {
  // The thread is counted and listed before it can end: its end takes the
  // same lock.
  std::lock_guard lock(tracker_mutex);
  ++running;
  on_threads += on_thread;
  Running().emplace_back([body = std::move(body), on_thread]() mutable {
    try {
      body();
    } catch (...) {
      // A program that fails ends; its caller never learns of it.
    }
    body = nullptr;  // nothing of the program outlives the count
    std::lock_guard lock(tracker_mutex);
    MarkEnded(std::this_thread::get_id());
    --running;
    on_threads -= on_thread;
    tracker_changed.notify_all();
  });
}

std::mutex& EnvironmentMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace programs

void WaitForPrograms() {
  std::unique_lock lock(tracker_mutex);
  tracker_changed.wait(lock, [] { return running == 0; });
  JoinEnded(lock);
}

bool WaitForPrograms(std::chrono::milliseconds timeout) {
  std::unique_lock lock(tracker_mutex);
  if (!tracker_changed.wait_for(lock, timeout, [] { return running == 0; })) return false;
  JoinEnded(lock);
  return true;
}

bool WaitForProgramsOnThreads(std::chrono::milliseconds timeout) {
  std::unique_lock lock(tracker_mutex);
  if (!tracker_changed.wait_for(lock, timeout, [] { return on_threads == 0; })) return false;
  JoinEnded(lock);
  return true;
}

}  // namespace quorvale
