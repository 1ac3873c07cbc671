// machine.ini: the machine's version, names, folders and free-space
// settings. A file the machine refuses raises MachineStateError; one it
// reads is written back by SetInfo and read again the same, its free-space
// settings still readable.
#include "fuzz_support.h"
#include "quorvale/machine/machine.h"

using namespace quorvale;

namespace {

bool Same(const MachineInfo& a, const MachineInfo& b) {
  return a.version.major == b.version.major && a.version.minor == b.version.minor &&
         a.version.build == b.version.build && a.version.platform_id == b.version.platform_id &&
         a.version.csd == b.version.csd && a.computer_name == b.computer_name &&
         a.windows_directory == b.windows_directory && a.system_directory == b.system_directory &&
         a.temp_path == b.temp_path && a.iis == b.iis;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto folder = fuzz::FuzzMachine().Folder();
  fuzz::WriteFile(folder / "machine.ini", fuzz::Text(data, size));
  try {
    Machine m(folder);
    const MachineInfo info = m.Info();
    m.Drives();
    m.FreeSpace('C');
    m.SetInfo(info);
    if (!Same(Machine(folder).Info(), info)) fuzz::Broken("machine.ini written again reads the same");
    m.FreeSpace('C');  // the free-space settings stay readable
  } catch (const MachineStateError&) {
  }
  return 0;
}
