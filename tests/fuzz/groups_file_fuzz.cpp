// groups.txt as text: the machine's local groups and their members. Groups
// that were read list members by name, without commas, and are read the
// same once written again.
#include "quorvale/machine/accounts.h"
#include "record_files.h"

using namespace quorvale;

namespace {

bool Same(const std::vector<LocalGroup>& a, const std::vector<LocalGroup>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].description != b[i].description || a[i].members != b[i].members)
      return false;
  return true;
}

std::vector<LocalGroup> Read(const std::string& text) {
  static const std::filesystem::path file = "/machine/groups.txt";
  auto groups = ParseGroups(text, file);
  for (const auto& group : groups)
    for (const auto& member : group.members)
      if (member.empty() || member.find(',') != std::string::npos)
        fuzz::Broken("a member is a name without a comma");
  return groups;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::RecordRoundTrip(fuzz::Text(data, size), "/machine/groups.txt", 3, Read, Same,
                        "groups written again read the same");
  return 0;
}
