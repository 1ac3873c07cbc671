// services.txt as text: the machine's services. Services that were read
// have a known state and start type, and are read the same once written
// again.
#include "quorvale/machine/machine.h"
#include "record_files.h"

using namespace quorvale;

namespace {

bool Same(const std::vector<ServiceRecord>& a, const std::vector<ServiceRecord>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].display_name != b[i].display_name ||
        a[i].binary_path != b[i].binary_path || a[i].start_type != b[i].start_type ||
        a[i].state != b[i].state)
      return false;
  return true;
}

std::vector<ServiceRecord> Read(const std::string& text) {
  auto services = ParseServices(text, "/machine/services.txt");
  for (const auto& s : services)
    if ((s.state != "running" && s.state != "stopped") ||
        (s.start_type != "auto" && s.start_type != "demand" && s.start_type != "disabled"))
      fuzz::Broken("a service read is running or stopped, and starts auto, on demand or disabled");
  return services;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::RecordRoundTrip(fuzz::Text(data, size), "/machine/services.txt", 5, Read, Same,
                        "services written again read the same");
  return 0;
}
