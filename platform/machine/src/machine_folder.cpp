#include "quorvale/machine/machine_folder.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "quorvale/core/text.h"
#include "quorvale/machine/machine.h"

namespace quorvale {

namespace fs = std::filesystem;

fs::path MachineFolder() {
  if (const char* m = std::getenv("QUORVALE_MACHINE"); m && *m) return fs::path(m);
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return fs::path(x) / "quorvale" / "machine";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "quorvale" / "machine";
}

bool MachineFolderNamed() {
  const char* m = std::getenv("QUORVALE_MACHINE");
  return m && *m;
}

std::string ResetCommandOf(const fs::path& machine) {
  const std::string folder = machine.string();
  const bool plain = !folder.empty() && folder.find_first_of(" \t\"'$`\\!*?&;|<>()") == std::string::npos;
  std::string quoted = "'";
  for (char c : folder) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return "quorvale-machine --machine " + (plain ? folder : quoted + "'") + " reset";
}

fs::path RegistryFileOf(const fs::path& machine) { return machine / "registry.reg"; }

namespace {

// The names taken as written, for a path the machine cannot look up (a
// drive it lacks, a name Windows refuses). Either separator splits, and ".."
// stops at the drive root, so the path never leaves the machine's drives.
fs::path LexicalHostPath(const fs::path& machine, const std::string& windows_path) {
  std::vector<std::string> names;
  std::size_t start = 2;
  while (start <= windows_path.size()) {
    std::size_t end = windows_path.find_first_of("\\/", start);
    if (end == std::string::npos) end = windows_path.size();
    std::string name = windows_path.substr(start, end - start);
    start = end + 1;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(std::move(name));
    }
  }
  fs::path result = machine / "drives" / std::string(1, UpperChar(windows_path[0]));
  for (const auto& n : names) result /= n;
  return result;
}

}  // namespace

fs::path HostPathOf(const fs::path& machine, const std::string& windows_path) {
  if (windows_path.size() < 2 || windows_path[1] != ':' ||
      !std::isalpha(static_cast<unsigned char>(windows_path[0])))
    return fs::path(windows_path);
  try {
    ResolvedPath r = Machine(machine, MachineInfo{}).Resolve(windows_path);
    if (!r.error) return r.host;
  } catch (const MachineStateError&) {
    // A damaged 8.3 record: the lexical path is still the best answer.
  }
  return LexicalHostPath(machine, windows_path);
}

bool TakeMachineArgument(std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string dir;
    std::size_t n = 0;
    if (args[i] == "--machine") {
      if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0)
        throw std::invalid_argument("--machine needs a folder: --machine DIR");
      dir = args[i + 1];
      n = 2;
    } else if (args[i].rfind("--machine=", 0) == 0) {
      dir = args[i].substr(10);
      if (dir.empty()) throw std::invalid_argument("--machine needs a folder: --machine=DIR");
      n = 1;
    }
    if (n) {
      ::setenv("QUORVALE_MACHINE", dir.c_str(), 1);
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i + n));
      return true;
    }
  }
  return false;
}

std::optional<std::string> WindowsPathOf(const fs::path& machine, const fs::path& host_path) {
  fs::path drives = fs::weakly_canonical(machine / "drives");
  fs::path file = fs::weakly_canonical(host_path);
  auto rel = file.lexically_relative(drives);
  if (rel.empty() || *rel.begin() == ".." || rel.is_absolute()) return std::nullopt;
  auto part = rel.begin();
  std::string drive = part->string();
  if (drive.size() != 1) return std::nullopt;
  std::string result = drive + ":";
  for (++part; part != rel.end(); ++part) result += "\\" + part->string();
  if (result.size() == 2) result += "\\";
  return result;
}

}  // namespace quorvale
