// The machine's clock. On the test clock, Sleep advances virtual time at once
// and runs whatever a test set to happen at the moments it passes, so a wait
// of 20 x 500 ms takes no real time. Otherwise Sleep really sleeps. A process
// starts on the test clock when QUORVALE_TEST_CLOCK is 1.
#pragma once

#include <cstdint>
#include <functional>

namespace quorvale {

void UseTestClock(bool on);
bool OnTestClock();

// Milliseconds: virtual time since UseTestClock(true), else a steady clock.
std::uint64_t ClockNow();

// Runs `what` once the clock reaches `moment` (virtual milliseconds).
// A moment already passed runs at the next Sleep.
void AtMoment(std::uint64_t moment, std::function<void()> what);

// Waits ms milliseconds on the clock in force. On the real clock a thread
// whose user interface set a wait hook (core/wait_hook.h) waits through it.
void ClockSleep(std::uint32_t ms);

// Back to virtual time 0 with nothing scheduled (the test clock stays on).
void ResetTestClock();

}  // namespace quorvale
