// The unpacker Rar.exe on any bytes as its archive: headers and member
// names as code page 936. Whatever it writes stays inside its destination.
#include "fuzz_support.h"
#include "programs.h"
#include "quorvale/programs/machine_program_host.h"

using namespace quorvale;

namespace {

// The names under C:\ other than the destination's own folder.
std::vector<std::string> Root(const std::filesystem::path& drive) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(drive))
    if (e.path().filename() != "Fuzz") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto& temp = fuzz::FuzzMachine();
  fuzz::ForgetProgramEvents();
  static const std::filesystem::path drive = temp.machine().DrivesFolder() / "C";
  static const std::vector<std::string> root = Root(drive);
  temp.Write("C:\\Fuzz\\a.rar", fuzz::Text(data, size));
  programs::RunUnpacker({CurrentProgramHost(), "C:\\Fuzz\\Rar.exe", "x a.rar C:\\Fuzz\\Out\\", 0});
  if (Root(drive) != root) fuzz::Broken("the unpacker writes only into its destination");
  std::filesystem::remove_all(drive / "Fuzz" / "Out");
  return 0;
}
