#include "quorvale/core/wait_hook.h"

namespace quorvale {

namespace {
// Per thread: the programs started on threads of their own wait plainly.
thread_local WaitHook t_hook = nullptr;
}  // namespace

void SetWaitHook(WaitHook hook) { t_hook = hook; }

bool RunWaitHook(std::uint32_t ms) {
  if (!t_hook) return false;
  t_hook(ms);
  return true;
}

}  // namespace quorvale
