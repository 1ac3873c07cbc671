#include "quorvale/machine/machine.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "quorvale/core/text.h"
#include "quorvale/machine/machine_folder.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

using Ini = std::map<std::string, std::map<std::string, std::string>>;

Ini ParseIni(const fs::path& file, const std::string& text) {
  Ini ini;
  if (!text.empty() && text.back() != '\n') throw MachineStateError(file, "the last line is cut short");
  std::string section;
  std::size_t start = 0, line_no = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      ini[section];
      continue;
    }
    auto eq = line.find('=');
    if (eq == std::string::npos || section.empty())
      throw MachineStateError(file, "line " + std::to_string(line_no) + " is no section and no key=value");
    ini[section][line.substr(0, eq)] = line.substr(eq + 1);
  }
  return ini;
}

std::string WriteIni(const Ini& ini) {
  std::string out = "; A Windows machine kept by Quorvale\r\n";
  for (const auto& [section, keys] : ini) {
    out += "[" + section + "]\r\n";
    for (const auto& [k, v] : keys) out += k + "=" + v + "\r\n";
  }
  return out;
}

const std::string& Need(const fs::path& file, const Ini& ini, const std::string& section,
                        const std::string& key) {
  auto s = ini.find(section);
  if (s != ini.end()) {
    auto k = s->second.find(key);
    if (k != s->second.end()) return k->second;
  }
  throw MachineStateError(file, "[" + section + "] " + key + " is missing");
}

std::uint32_t Number(const fs::path& file, const std::string& key, const std::string& text) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
    throw MachineStateError(file, key + " is not a number: " + text);
  return static_cast<std::uint32_t>(std::stoull(text));
}

Ini LoadIni(const fs::path& file) {
  auto text = ReadStateFile(file);
  if (!text) throw MachineStateError(file, "missing: the folder holds no machine");
  return ParseIni(file, *text);
}

std::string DriveKey(char drive) { return std::string(1, UpperChar(drive)); }

}  // namespace

bool NamesEqual(const std::string& a, const std::string& b) { return SameText(a, b); }

bool PathWithin(const std::string& path, const std::string& folder) {
  if (path.size() < folder.size() || !NamesEqual(path.substr(0, folder.size()), folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\';
}

Machine::Machine(fs::path folder) : Machine(std::move(folder), MachineInfo{}) {
  Info();  // a missing or damaged machine.ini is reported here, at once
}

Machine::Machine(fs::path folder, const MachineInfo&)
    : folder_(std::move(folder)),
      registry_(RegistryFileOf(folder_)),
      attributes_(folder_ / "attributes.txt", 2,
                  "attributes (R read-only, H hidden, S system, A archive)\tpath"),
      short_names_(folder_ / "short-names.txt", 3, "folder\tlong name\t8.3 name"),
      holds_(folder_ / "holds.txt", 3, "process\tholder\tpath held open"),
      access_(folder_ / "access.txt", 3,
              "path\tprincipal\tright (R read, W write, C change, F full control)"),
      services_(folder_ / "services.txt", 5, "name\tstate\tstart type\tdisplay name\tprogram"),
      started_(folder_ / "started-programs.txt", 3, "show state\toutcome\tcommand line"),
      events_(folder_ / "program-events.txt", 4, "program\twhat it did\tpath\tdetail") {}

bool Machine::Exists(const fs::path& folder) { return fs::exists(folder / "machine.ini"); }

MachineInfo Machine::Info() const {
  const fs::path file = InfoFile();
  Ini ini;
  {
    StateLock lock(file, false);
    ini = LoadIni(file);
  }
  MachineInfo info;
  info.version.major = Number(file, "MajorVersion", Need(file, ini, "Version", "MajorVersion"));
  info.version.minor = Number(file, "MinorVersion", Need(file, ini, "Version", "MinorVersion"));
  info.version.build = Number(file, "BuildNumber", Need(file, ini, "Version", "BuildNumber"));
  info.version.platform_id = Number(file, "PlatformId", Need(file, ini, "Version", "PlatformId"));
  info.version.csd = Need(file, ini, "Version", "CSDVersion");
  info.computer_name = Need(file, ini, "Computer", "ComputerName");
  info.windows_directory = Need(file, ini, "Computer", "WindowsDirectory");
  info.system_directory = Need(file, ini, "Computer", "SystemDirectory");
  info.temp_path = Need(file, ini, "Computer", "TempPath");
  info.iis = Need(file, ini, "Features", "IIS") == "yes";
  return info;
}

void Machine::SetInfo(const MachineInfo& info,
                      const std::map<char, std::optional<std::uint64_t>>& free_space) {
  const fs::path file = InfoFile();
  StateLock lock(file, true);
  Ini ini;
  if (auto text = ReadStateFile(file)) ini = ParseIni(file, *text);
  auto& v = ini["Version"];
  v["MajorVersion"] = std::to_string(info.version.major);
  v["MinorVersion"] = std::to_string(info.version.minor);
  v["BuildNumber"] = std::to_string(info.version.build);
  v["PlatformId"] = std::to_string(info.version.platform_id);
  v["CSDVersion"] = info.version.csd;
  auto& c = ini["Computer"];
  c["ComputerName"] = info.computer_name;
  c["WindowsDirectory"] = info.windows_directory;
  c["SystemDirectory"] = info.system_directory;
  c["TempPath"] = info.temp_path;
  ini["Features"]["IIS"] = info.iis ? "yes" : "no";
  auto& space = ini["FreeSpace"];
  for (const auto& [drive, bytes] : free_space)
    space[DriveKey(drive)] = bytes ? std::to_string(*bytes) : "real";
  WriteStateFile(file, WriteIni(ini));
}

std::vector<char> Machine::Drives() const {
  std::vector<char> drives;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(DrivesFolder(), ec)) {
    std::string name = e.path().filename().string();
    if (name.size() == 1 && std::isupper(static_cast<unsigned char>(name[0])) && e.is_directory())
      drives.push_back(name[0]);
  }
  std::sort(drives.begin(), drives.end());
  return drives;
}

std::optional<DiskSpace> Machine::FreeSpace(char drive) const {
  const fs::path root = DrivesFolder() / DriveKey(drive);
  if (!fs::is_directory(root)) return std::nullopt;
  DiskSpace real;
  struct statvfs st {};
  if (::statvfs(root.c_str(), &st) == 0) {
    real.free_bytes = static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
    real.total_bytes = static_cast<std::uint64_t>(st.f_blocks) * st.f_frsize;
  }
  Ini ini;
  {
    StateLock lock(InfoFile(), false);
    ini = LoadIni(InfoFile());
  }
  auto& settings = ini["FreeSpace"];
  auto it = settings.find(DriveKey(drive));
  if (it == settings.end() || it->second == "real") return real;
  const std::string& text = it->second;
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
    throw MachineStateError(InfoFile(),
                            "[FreeSpace] " + it->first + " is neither real nor a byte count: " + text);
  DiskSpace set;
  set.free_bytes = std::stoull(text);
  set.total_bytes = std::max(set.free_bytes, real.total_bytes);
  return set;
}

void Machine::SetFreeSpace(char drive, std::optional<std::uint64_t> free_bytes) {
  StateLock lock(InfoFile(), true);
  Ini ini = LoadIni(InfoFile());
  ini["FreeSpace"][DriveKey(drive)] = free_bytes ? std::to_string(*free_bytes) : "real";
  WriteStateFile(InfoFile(), WriteIni(ini));
}

std::shared_ptr<Machine> CurrentMachine() {
  static std::mutex mutex;
  static std::shared_ptr<Machine> current;
  const fs::path folder = MachineFolder();
  std::lock_guard guard(mutex);
  if (current && current->Folder() == folder) return current;
  if (!Machine::Exists(folder)) {
    fs::create_directories(folder);
    StateLock lock(folder / "create", true);
    if (!Machine::Exists(folder)) Machine::Create(folder, MachineShape{});
  }
  current = std::make_shared<Machine>(folder);
  return current;
}

}  // namespace quorvale
