#include "quorvale/setup/machine_check.h"

#include "quorvale/machine/machine.h"
#include "quorvale/machine/state_file.h"

namespace quorvale::setup {

std::string DamagedMachineFile() {
  try {
    CurrentMachine()->Check();
  } catch (const MachineStateError& e) {
    return e.what();
  }
  return "";
}

}  // namespace quorvale::setup
