// Lets a user interface keep its windows painted while the thread that runs
// it waits (Sleep). The waiting code calls RunWaitHook; a real-window
// backend installs a hook on its own thread. A hook paints and nothing
// else: no input is handled and no timer fires while the thread waits.
#pragma once

#include <cstdint>

namespace quorvale {

// Waits ms milliseconds, painting what needs it; returns once they passed.
using WaitHook = void (*)(std::uint32_t ms);

// Installs hook for the calling thread only; nullptr removes it.
void SetWaitHook(WaitHook hook);

// Waits through the calling thread's hook: false when it has none, and the
// caller waits as it would without one.
bool RunWaitHook(std::uint32_t ms);

}  // namespace quorvale
