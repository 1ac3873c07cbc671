// The machine's resolution of Windows paths (names split at "\" and "/",
// "." and ".." taken lexically, trailing blanks and dots dropped, 8.3
// aliases): any text as a path, on a machine with long names. A path it
// takes lies inside its drive's folder; its long path, split and joined
// again, resolves to itself; and a path that exists has a short path of
// 8.3 names that resolves to the same long path, as does the path in
// capitals.
#include <algorithm>

#include "fuzz_support.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/error_codes.h"
#include "quorvale/machine/short_names.h"

using namespace quorvale;

namespace {

bool Same(const ResolvedPath& a, const ResolvedPath& b) {
  return a.error == b.error && a.host == b.host && a.long_path == b.long_path && a.exists == b.exists &&
         a.parent_exists == b.parent_exists && a.is_directory == b.is_directory;
}

// The names after "X:\" of a long or short path the machine gave.
std::vector<std::string> Names(const std::string& path) {
  std::vector<std::string> names;
  for (std::size_t start = 3; start < path.size();) {
    const auto end = std::min(path.find('\\', start), path.size());
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

Machine& MachineWithLongNames() {
  auto& temp = fuzz::FuzzMachine();
  static const bool made = [&] {
    for (const char* file :
         {"C:\\Program Files\\Quorvale Panel\\Web\\Index.asp",
          "C:\\Program Files\\Quorvale Panel\\Web\\Inc\\Conn.asp",
          "C:\\Program Files\\Quorvale Panel\\Uninstall.ini", "C:\\Program Files\\Common Files\\x",
          "C:\\Documents and Settings\\All Users\\桌面\\Quorvale 主控端.lnk"})
      temp.Write(file, "");
    return true;
  }();
  (void)made;
  return temp.machine();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Machine& machine = MachineWithLongNames();
  const std::string path = fuzz::Text(data, size);
  const ResolvedPath r = machine.Resolve(path);
  if (r.error) {
    if (r.error != ERROR_PATH_NOT_FOUND && r.error != ERROR_INVALID_NAME)
      fuzz::Broken("a path the machine cannot hold is not found or an invalid name", path);
    return 0;
  }
  const std::filesystem::path drive = machine.DrivesFolder() / r.long_path.substr(0, 1);
  const auto inside = std::mismatch(drive.begin(), drive.end(), r.host.begin(), r.host.end());
  if (inside.first != drive.end() ||
      std::any_of(inside.second, r.host.end(), [](const auto& name) { return name == ".." || name == "."; }))
    fuzz::Broken("a path lies inside its drive's folder", r.host.string());
  if (r.long_path.size() < 3 || r.long_path.compare(1, 2, ":\\") != 0 || r.long_path[0] != UpperChar(path[0]))
    fuzz::Broken("a long path is the drive's letter, \":\\\" and the names", r.long_path);
  if (!Same(machine.Resolve(r.long_path), r)) fuzz::Broken("a long path resolves to itself", r.long_path);
  if (!r.exists) return 0;

  const auto short_path = machine.ShortPath(path);
  if (!short_path) fuzz::Broken("a path that exists has a short path", path);
  for (const auto& name : Names(*short_path))
    if (!FitsShortName(name)) fuzz::Broken("a short path is of 8.3 names", *short_path);
  if (machine.Resolve(*short_path).long_path != r.long_path)
    fuzz::Broken("a short path resolves to the same long path", *short_path);
  if (machine.Resolve(UpperCase(path)).long_path != r.long_path)
    fuzz::Broken("a path in capitals resolves to the same long path", path);
  return 0;
}
