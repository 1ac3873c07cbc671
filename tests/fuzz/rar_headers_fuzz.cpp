// The unpacker's reader of RAR 4 member headers (data checksums, names that
// start with a separator): any bytes as an archive file. It ends, and finds
// no more members than the file has room for (7 bytes a header at least).
#include "fuzz_support.h"
#include "rar_headers.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = fuzz::FuzzMachine().Folder() / "fuzz.rar";
  fuzz::WriteFile(file, fuzz::Text(data, size));
  const auto members = programs::MemberHeaders(file);
  if (members && members->size() > size / 7) fuzz::Broken("no more member headers than the file holds");
  return 0;
}
