// The unpacker's reader of RAR 4 member headers (their data checksums):
// any bytes as an archive file.
#include "fuzz_support.h"
#include "rar_headers.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = fuzz::FuzzMachine().Folder() / "fuzz.rar";
  fuzz::WriteFile(file, fuzz::Text(data, size));
  programs::MemberChecksums(file);
  return 0;
}
