// The parts of "show" that print the IIS metabase, the local accounts and
// groups, and the shortcuts (.lnk) on the machine's drives.
#pragma once

#include <ostream>

#include "quorvale/machine/machine.h"

namespace quorvale::tool {

void ShowIis(Machine& m, std::ostream& out);
void ShowAccounts(Machine& m, std::ostream& out);
void ShowShortcuts(Machine& m, std::ostream& out);

}  // namespace quorvale::tool
