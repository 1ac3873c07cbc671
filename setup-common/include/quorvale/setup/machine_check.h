// The machine's own files (registry, metabase, accounts, services ...) read
// as a program's start reads them, for a program that is about to change
// the machine: a damaged file is named rather than met as a string of
// failed steps.
#pragma once

#include <string>

namespace quorvale::setup {

// The message naming the first damaged file of the current machine, or ""
// when every one reads.
std::string DamagedMachineFile();

}  // namespace quorvale::setup
