// groups.txt: the machine's local groups and their members. Groups that
// were read keep their members when one is added to the first group.
#include "record_files.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WithRecordFile("groups.txt", data, size, [](Machine& m) {
    LocalAccounts accounts(m);
    const auto before = accounts.Groups();
    for (const auto& group : before)
      if (!accounts.FindGroup(group.name)) fuzz::Broken("a group is found by its name");
    if (before.empty() || accounts.AddMember(before.front().name, "Guest") != 0) return;
    const auto after = accounts.Groups();
    if (after.size() != before.size()) fuzz::Broken("adding a member keeps every group");
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (after[i].name != before[i].name || after[i].description != before[i].description)
        fuzz::Broken("adding a member keeps every group as it was");
      auto members = after[i].members;
      if (i == 0 && !members.empty() && members.back() == "Guest" &&
          members.size() == before[i].members.size() + 1)
        members.pop_back();
      if (members != before[i].members) fuzz::Broken("adding a member keeps the other members");
    }
  });
  return 0;
}
