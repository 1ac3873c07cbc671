// accounts.txt as text: the machine's local accounts. Accounts that were
// read are read the same once written again.
#include "quorvale/machine/accounts.h"
#include "record_files.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = "/machine/accounts.txt";
  fuzz::RecordRoundTrip(
      fuzz::Text(data, size), file, 5, [](const std::string& text) { return ParseAccounts(text, file); },
      std::equal_to<>(), "accounts written again read the same");
  return 0;
}
