// machine.ini as text: the machine's format, version, names, folders and
// free-space settings. A text it reads is written again and read the same.
#include "fuzz_support.h"
#include "quorvale/machine/machine.h"

using namespace quorvale;

namespace {

bool Same(const MachineIni& x, const MachineIni& y) {
  const MachineInfo &a = x.info, &b = y.info;
  return a.version.major == b.version.major && a.version.minor == b.version.minor &&
         a.version.build == b.version.build && a.version.platform_id == b.version.platform_id &&
         a.version.csd == b.version.csd && a.computer_name == b.computer_name &&
         a.windows_directory == b.windows_directory && a.system_directory == b.system_directory &&
         a.temp_path == b.temp_path && a.iis == b.iis && x.free_space == y.free_space;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = "/machine/machine.ini";
  const auto ini = fuzz::RoundTrip(
      fuzz::Text(data, size), file, [](const std::string& text) { return ParseMachineIni(text, file); },
      FormatMachineIni, Same, "machine.ini written again reads the same");
  if (ini)
    for (const auto& [drive, bytes] : ini->free_space)
      if (drive < 'A' || drive > 'Z') fuzz::Broken("free space is kept for drive letters");
  return 0;
}
