// The account, group and service files of a machine: tab-separated records,
// read whole. Each target writes one of them and reads it through the
// machine's own calls; a change written back must keep what was read.
#pragma once

#include "fuzz_support.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/state_file.h"

namespace quorvale::fuzz {

// Writes the bytes as the machine's file of that name and runs read; a file
// the machine refuses raises MachineStateError, which is its answer.
template <class Read>
void WithRecordFile(const char* name, const std::uint8_t* data, std::size_t size, Read read) {
  Machine& m = FuzzMachine().machine();
  WriteFile(m.Folder() / name, Text(data, size));
  try {
    read(m);
  } catch (const MachineStateError&) {
  }
}

}  // namespace quorvale::fuzz
