// The shared pages' machine calls made through the Windows API of the
// machine the program runs on.
#pragma once

#include "quorvale/setup/machine_hooks.h"

namespace quorvale::setup {

MachineHooks Win32Hooks();

}  // namespace quorvale::setup
