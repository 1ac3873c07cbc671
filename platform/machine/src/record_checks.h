// What the machine's line files may hold, for their readers and writers.
#pragma once

#include <string>

#include "quorvale/machine/machine.h"

namespace quorvale {

// services.txt: NAME, STATE (running, stopped), START TYPE (auto, demand,
// disabled), DISPLAY NAME, PROGRAM. Empty for a good record, else what is
// wrong with it.
std::string CheckService(const Record& r);
ServiceRecord ServiceOf(const Record& r);

}  // namespace quorvale
