#include "quorvale/machine/machine_folder.h"

#include <cctype>
#include <cstdlib>

namespace quorvale {

namespace fs = std::filesystem;

fs::path MachineFolder() {
  if (const char* m = std::getenv("QUORVALE_MACHINE"); m && *m) return fs::path(m);
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return fs::path(x) / "quorvale" / "machine";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "quorvale" / "machine";
}

fs::path RegistryFileOf(const fs::path& machine) { return machine / "registry.reg"; }

fs::path HostPathOf(const fs::path& machine, const std::string& windows_path) {
  if (windows_path.size() < 2 || windows_path[1] != ':' ||
      !std::isalpha(static_cast<unsigned char>(windows_path[0])))
    return fs::path(windows_path);
  fs::path result = machine / "drives" / std::string(1, static_cast<char>(std::toupper(windows_path[0])));
  std::string rest = windows_path.substr(2);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    if (end > start) result /= rest.substr(start, end - start);
    start = end + 1;
  }
  return result;
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
