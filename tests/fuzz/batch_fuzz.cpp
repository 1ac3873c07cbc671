// The batch interpreter on any bytes as a batch file (code page 936). It
// removes and deletes only on the machine's drives, and a pause costs no
// time on the machine's test clock.
#include "fuzz_support.h"
#include "programs.h"
#include "quorvale/programs/machine_program_host.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto& temp = fuzz::FuzzMachine();
  fuzz::ForgetProgramEvents();
  static const std::filesystem::path outside = temp.Folder().parent_path() / "quorvale-fuzz-outside";
  static const bool made = std::filesystem::create_directories(outside) || true;
  (void)made;
  temp.Write("C:\\Fuzz\\run.bat", fuzz::Text(data, size));
  programs::RunBatch({CurrentProgramHost(), "C:\\Fuzz\\run.bat", "", 0});
  if (!std::filesystem::exists(outside) || !std::filesystem::exists(temp.Folder() / "machine.ini"))
    fuzz::Broken("a batch file reaches nothing outside the machine's drives");
  return 0;
}
