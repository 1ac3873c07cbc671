#include "quorvale/machine/machine.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "quorvale/core/text.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/metabase.h"
#include "record_checks.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

std::string DriveKey(char drive) { return std::string(1, UpperChar(drive)); }

}  // namespace

bool NamesEqual(const std::string& a, const std::string& b) { return SameText(a, b); }

bool PathWithin(const std::string& path, const std::string& folder) {
  if (path.size() < folder.size() || !NamesEqual(path.substr(0, folder.size()), folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\';
}

Machine::Machine(fs::path folder) : Machine(std::move(folder), MachineInfo{}) {
  // Nothing is made in a folder that holds no machine, not even a lock.
  if (!Exists(folder_)) {
    struct stat st {};
    if (::stat(InfoFile().c_str(), &st) != 0 && errno != ENOENT && errno != ENOTDIR)
      throw MachineStateError::Plain(
          InfoFile(), "machine folder " + folder_.string() + " cannot be read: " + std::strerror(errno));
    throw MachineStateError::NoMachine(folder_);
  }
  Info();  // a damaged machine.ini, or one of an older build, is reported here
}

Machine::Machine(fs::path folder, const MachineInfo&)
    : folder_(std::move(folder)),
      registry_(RegistryFileOf(folder_)),
      attributes_(
          folder_ / "attributes.txt", 2, "attributes (R read-only, H hidden, S system, A archive)\tpath",
          [](const Record& r) {
            return r[0] == "-" || (!r[0].empty() && r[0].find_first_not_of("RHSA") == std::string::npos)
                       ? std::string()
                       : "has attributes other than R, H, S, A or -: " + r[0];
          }),
      short_names_(folder_ / "short-names.txt", 3, "folder\tlong name\t8.3 name"),
      holds_(folder_ / "holds.txt", 3, "process\tholder\tpath held open",
             [](const Record& r) {
               return IsDecimal(r[0], 10) ? std::string() : "has a process that is no number";
             }),
      access_(folder_ / "access.txt", 3,
              "path\tprincipal\tright (R read, W write, C change, F full control)"),
      services_(folder_ / "services.txt", 5, "name\tstate\tstart type\tdisplay name\tprogram", CheckService),
      started_(folder_ / "started-programs.txt", 3, "show state\toutcome\tcommand line",
               [](const Record& r) {
                 if (!IsDecimal(r[0], 5)) return "has a show state that is no number: " + r[0];
                 if (r[1] != "started" && r[1] != "not found")
                   return "has an outcome other than started: " + r[1];
                 return std::string();
               }),
      events_(folder_ / "program-events.txt", 4, "program\twhat it did\tpath\tdetail") {}

bool Machine::Exists(const fs::path& folder) {
  std::error_code ec;
  return fs::exists(folder / "machine.ini", ec);
}

std::vector<std::string> Machine::StateFileNames(bool iis) {
  std::vector<std::string> names = {
      "machine.ini",        "registry.reg", "attributes.txt", "short-names.txt",
      "holds.txt",          "access.txt",   "services.txt",   "started-programs.txt",
      "program-events.txt", "accounts.txt", "groups.txt"};
  if (iis) names.push_back("metabase.xml");
  return names;
}

MachineIni Machine::LoadIni() const {
  const fs::path file = InfoFile();
  StateLock lock(file, false);
  auto text = ReadStateFile(file);
  if (!text) throw MachineStateError::NoMachine(folder_);
  return ParseMachineIni(*text, file);
}

MachineInfo Machine::Info() const { return LoadIni().info; }

void Machine::Check() const {
  const MachineIni ini = LoadIni();
  registry_.Take();
  for (const RecordFile* file :
       {&attributes_, &short_names_, &holds_, &access_, &services_, &started_, &events_})
    file->Load();
  LocalAccounts accounts(folder_);
  accounts.Users();
  accounts.Groups();
  if (ini.info.iis) Metabase(*this).Load();
}

void Machine::SetInfo(const MachineInfo& info,
                      const std::map<char, std::optional<std::uint64_t>>& free_space) {
  UpdateIni([&](MachineIni& ini) {
    ini.info = info;
    for (const auto& [drive, bytes] : free_space) ini.free_space[DriveKey(drive)[0]] = bytes;
  });
}

void Machine::UpdateIni(const std::function<void(MachineIni&)>& change) {
  StateLock lock(InfoFile(), true);
  auto text = ReadStateFile(InfoFile());
  if (!text) throw MachineStateError::NoMachine(folder_);
  MachineIni ini = ParseMachineIni(*text, InfoFile());
  change(ini);
  WriteStateFile(InfoFile(), FormatMachineIni(ini), lock);
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
  const MachineIni ini = LoadIni();
  auto it = ini.free_space.find(DriveKey(drive)[0]);
  if (it == ini.free_space.end() || !it->second) return real;
  DiskSpace set;
  set.free_bytes = *it->second;
  set.total_bytes = std::max(set.free_bytes, real.total_bytes);
  return set;
}

void Machine::SetFreeSpace(char drive, std::optional<std::uint64_t> free_bytes) {
  UpdateIni([&](MachineIni& ini) { ini.free_space[DriveKey(drive)[0]] = free_bytes; });
}

std::shared_ptr<Machine> CurrentMachine() {
  static std::mutex mutex;
  static std::shared_ptr<Machine> current;
  const fs::path folder = MachineFolder();
  std::lock_guard guard(mutex);
  if (current && current->Folder() == folder) return current;
  if (!Machine::Exists(folder)) {
    if (MachineFolderNamed()) throw MachineStateError::NoMachine(folder);
    Machine::CreateUnlessPresent(folder, MachineShape{});
  }
  current = std::make_shared<Machine>(folder);
  return current;
}

}  // namespace quorvale
