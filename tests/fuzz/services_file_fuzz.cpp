// services.txt: the machine's services. Services that were read stay as
// they were when another is added.
#include "record_files.h"

using namespace quorvale;

namespace {

bool Same(const ServiceRecord& a, const ServiceRecord& b) {
  return a.name == b.name && a.display_name == b.display_name && a.binary_path == b.binary_path &&
         a.start_type == b.start_type && a.state == b.state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WithRecordFile("services.txt", data, size, [](Machine& m) {
    const auto before = m.Services();
    if (!m.AddService({"FuzzService", "Fuzz", "C:\\fuzz.exe"})) return;
    const auto after = m.Services();
    if (after.size() != before.size() + 1 || after.back().name != "FuzzService")
      fuzz::Broken("a new service is kept");
    for (std::size_t i = 0; i < before.size(); ++i)
      if (!Same(after[i], before[i])) fuzz::Broken("adding a service keeps the others");
  });
  return 0;
}
