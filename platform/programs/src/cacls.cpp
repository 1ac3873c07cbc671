// Cacls: grants rights on a file or folder by editing its access list.
//   Cacls path [/t] [/e] [/c] [/g principal:right ...] [/p principal:right ...]
#include <cctype>
#include <filesystem>

#include "programs.h"
#include "quorvale/programs/launch.h"
#include "windows_paths.h"

namespace quorvale::programs {

namespace {

constexpr const char* kProgram = "cacls.exe";

bool ValidRight(const std::string& right) {
  return right == "R" || right == "W" || right == "C" || right == "F" || right == "N";
}

}  // namespace

void RunCacls(const ProgramRun& run) {
  auto args = SplitArguments(run.arguments);
  if (args.empty() || args[0].empty() || args[0][0] == '/') {
    run.host.Record({kProgram, "failed", "", "no file named"});
    return;
  }
  const std::string path = run.host.LongPathOf(JoinWindowsPath(FolderOf(run.program), args[0]));
  bool recursive = false;
  bool edit = false;
  std::vector<std::pair<std::string, std::string>> grants;  // principal, right
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string option = LowerCase(args[i]);
    if (option == "/t") {
      recursive = true;
    } else if (option == "/e") {
      edit = true;
    } else if (option == "/c") {
      // go on after errors: there is one file only
    } else if ((option == "/g" || option == "/p") && i + 1 < args.size()) {
      const std::string& grant = args[++i];
      auto colon = grant.rfind(':');
      std::string right = colon == std::string::npos ? "" : grant.substr(colon + 1);
      right = UpperCase(right);
      if (colon == std::string::npos || colon == 0 || !ValidRight(right)) {
        run.host.Record({kProgram, "failed", path, "invalid grant " + grant});
        return;
      }
      grants.emplace_back(grant.substr(0, colon), right);
    } else {
      run.host.Record({kProgram, "failed", path, "invalid option " + args[i]});
      return;
    }
  }
  auto file = run.host.HostPathOf(path);
  std::error_code ec;
  if (!file || !std::filesystem::exists(*file, ec)) {
    run.host.Record({kProgram, "failed", path, "file not found"});
    return;
  }
  for (const auto& [principal, right] : grants) {
    run.host.AddAccessEntry({path, principal, right, recursive, !edit});
    edit = true;  // only the first grant of a replacing command replaces
  }
}

}  // namespace quorvale::programs
