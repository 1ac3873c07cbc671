// accounts.txt: the machine's local accounts. Accounts that were read stay
// as they were when another is added.
#include "record_files.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WithRecordFile("accounts.txt", data, size, [](Machine& m) {
    LocalAccounts accounts(m);
    const auto before = accounts.Users();
    for (const auto& user : before)
      if (!accounts.FindUser(user.name)) fuzz::Broken("an account is found by its name");
    if (accounts.CreateUser({"FuzzUser", "", "", 0x201, "p"}) == 0) {
      auto after = accounts.Users();
      if (after.empty() || after.back().name != "FuzzUser") fuzz::Broken("a new account is kept");
      after.pop_back();
      if (after != before) fuzz::Broken("adding an account keeps the others");
    }
  });
  return 0;
}
