// The SQL Server stand-in's data files (.mdf), as attached from outside:
// any bytes as the file. Each user read has a line that reads back as that
// user. The users written into the file again, as the server writes them
// there, read back the same; or, where they do not fit before the pages,
// the file stays as it was.
#include "fuzz_support.h"
#include "quorvale/sqlserver/data_files.h"

using namespace quorvale;
using namespace quorvale::sqlserver;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = fuzz::FuzzMachine().Folder() / "fuzz.mdf";
  fuzz::WriteFile(file, fuzz::Text(data, size));
  const auto users = ReadDataFileUsers(file);
  if (!users) return 0;
  for (const auto& user : *users) {
    const std::string line = FormatUserLine(user);
    if (line.back() != '\n' || ParseUserLine(line.substr(0, line.size() - 1)) != user)
      fuzz::Broken("a user's line reads back as that user", line);
  }
  if (!WriteDataFileUsers(file, *users)) {
    if (fuzz::Text(data, size) != fuzz::ReadFile(file))
      fuzz::Broken("a data file not written stays as it was");
  } else if (ReadDataFileUsers(file) != users) {
    fuzz::Broken("users written into a data file read back the same");
  }
  return 0;
}
