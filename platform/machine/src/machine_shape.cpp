// A new machine of a chosen shape: the folders, stand-in system programs,
// registry keys and services a fresh Windows of that edition has.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/metabase.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

struct Edition {
  OsVersion version;
  const char* windows;
  const char* system;
  const char* product;
  const char* iis_version;
  bool nt;
};

Edition EditionOf(WindowsEdition e) {
  switch (e) {
    case WindowsEdition::kWindows98:
      return {{4, 10, 67766446, 1, " A "}, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM",
              "Microsoft Windows 98",      "4",           false};
    case WindowsEdition::kWindows2000:
      return {{5, 0, 2195, 2, "Service Pack 4"}, "C:\\WINNT", "C:\\WINNT\\system32",
              "Microsoft Windows 2000",          "5",         true};
    case WindowsEdition::kWindowsXP:
      return {{5, 1, 2600, 2, "Service Pack 2"},
              "C:\\WINDOWS",
              "C:\\WINDOWS\\system32",
              "Microsoft Windows XP",
              "5",
              true};
    case WindowsEdition::kWindowsServer2003: break;
  }
  return {{5, 2, 3790, 2, "Service Pack 1"}, "C:\\WINDOWS", "C:\\WINDOWS\\system32",
          "Microsoft Windows Server 2003",   "6",           true};
}

void StandIn(const Machine& m, const std::string& windows_path) {
  auto r = m.Resolve(windows_path);
  fs::create_directories(r.host.parent_path());
  std::ofstream(r.host, std::ios::binary) << "Stand-in for " << windows_path << " on a Quorvale machine.\r\n";
}

void MakeFolder(const Machine& m, const std::string& windows_path) {
  fs::create_directories(m.Resolve(windows_path).host);
}

void SetText(RegistryEdit& reg, const std::string& key, const std::string& name, const std::string& text) {
  reg.CreateKey(key);
  reg.SetValue(key, name, RegValue::Text(text));
}

void SetDword(RegistryEdit& reg, const std::string& key, const std::string& name, std::uint32_t d) {
  reg.CreateKey(key);
  std::string data;
  for (int i = 0; i < 4; ++i) data += static_cast<char>((d >> (8 * i)) & 0xff);
  reg.SetValue(key, name, {kRegDword, data});
}

fs::path UnfinishedMarker(const fs::path& folder) { return folder / ".locks" / "unfinished"; }

// The entries of the folder other than its locks.
std::vector<fs::path> MachineEntries(const fs::path& folder) {
  std::vector<fs::path> entries;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename() != ".locks") entries.push_back(e.path());
  return entries;
}

// Moves everything but the locks aside at once, then removes it: a program
// still writing into the old drives writes into what is being removed, and
// what it leaves there goes the next time a machine is made or reset here.
void RemoveMachineEntries(const fs::path& folder) {
  const fs::path locks = folder / ".locks";
  std::error_code ec;
  fs::create_directories(locks, ec);
  for (const auto& e : fs::directory_iterator(locks, ec))
    if (e.path().filename().string().rfind("removed-", 0) == 0) fs::remove_all(e.path(), ec);
  int n = 0;
  for (const auto& entry : MachineEntries(folder)) {
    const fs::path aside = locks / ("removed-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
    fs::rename(entry, aside);
    fs::remove_all(aside, ec);
  }
}

// Holds the lock of the machine as a whole: making and resetting it.
class MachineLock {
 public:
  MachineLock(const fs::path& folder, bool wait) {
    const fs::path file = StateLock::FileOf(folder / "machine");
    fs::create_directories(file.parent_path());
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) throw MachineStateError(folder / "machine.ini", "its lock cannot be opened");
    int r;
    while ((r = ::flock(fd_, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    held_ = r == 0;
  }
  ~MachineLock() { ::close(fd_); }
  MachineLock(const MachineLock&) = delete;
  MachineLock& operator=(const MachineLock&) = delete;
  bool Held() const { return held_; }

 private:
  int fd_;
  bool held_ = false;
};

void NeedFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
    throw MachineStateError::Plain(folder, folder.string() + " is a file, not a folder");
  fs::create_directories(folder, ec);
  if (ec) throw MachineStateError::Plain(folder, folder.string() + " cannot be made: " + ec.message());
}

}  // namespace

void Machine::Create(const fs::path& folder, const MachineShape& shape, const Furnish& furnish) {
  if (!shape.drives.count('C')) throw MachineStateError(folder / "machine.ini", "a machine needs a drive C:");
  NeedFolder(folder);
  MachineLock lock(folder, false);
  if (!lock.Held())
    throw MachineStateError::Plain(folder, "a machine is being made or reset in " + folder.string());
  CreateLocked(folder, shape, furnish);
}

void Machine::CreateUnlessPresent(const fs::path& folder, const MachineShape& shape, const Furnish& furnish) {
  NeedFolder(folder);
  MachineLock lock(folder, true);
  if (!Exists(folder)) CreateLocked(folder, shape, furnish);
}

void Machine::Reset(const fs::path& folder, const MachineShape& shape, const Furnish& furnish) {
  if (!shape.drives.count('C')) throw MachineStateError(folder / "machine.ini", "a machine needs a drive C:");
  NeedFolder(folder);
  MachineLock lock(folder, true);
  if (!Exists(folder) && !fs::exists(UnfinishedMarker(folder)) && !MachineEntries(folder).empty())
    throw MachineStateError::Plain(folder, folder.string() + " holds no machine; nothing removed");
  RemoveMachineEntries(folder);
  CreateLocked(folder, shape, furnish);
}

// Under the machine's lock. Every state file is written before machine.ini,
// which comes last: until it is there the folder holds no machine, and the
// marker tells what a killed maker left from a folder of other files.
void Machine::CreateLocked(const fs::path& folder, const MachineShape& shape, const Furnish& furnish) {
  if (Exists(folder)) throw MachineStateError::Plain(folder, folder.string() + " holds a machine already");
  if (!MachineEntries(folder).empty()) {
    if (!fs::exists(UnfinishedMarker(folder)))
      throw MachineStateError::Plain(
          folder, folder.string() + " holds files but no machine; make the machine in an empty folder");
    RemoveMachineEntries(folder);
  }
  std::ofstream(UnfinishedMarker(folder)) << "a machine is being made here\n";
  const Edition ed = EditionOf(shape.edition);
  for (const auto& [letter, free] : shape.drives)
    fs::create_directories(folder / "drives" / std::string(1, letter));

  MachineIni ini;
  MachineInfo& info = ini.info;
  info.version = ed.version;
  info.computer_name = shape.computer_name;
  info.windows_directory = ed.windows;
  info.system_directory = ed.system;
  info.iis = shape.iis;
  ini.free_space = shape.drives;
  Machine m(folder, info);
  const std::string win = ed.windows, sys = ed.system;
  MakeFolder(m, sys);
  MakeFolder(m, win + "\\Temp");
  StandIn(m, win + "\\notepad.exe");
  StandIn(m, sys + "\\regsvr32.exe");
  StandIn(m, sys + (ed.nt ? "\\cmd.exe" : "\\..\\COMMAND.COM"));
  if (ed.nt) {
    StandIn(m, sys + "\\cacls.exe");
    StandIn(m, "C:\\boot.ini");
    m.SetAttributes(m.Resolve("C:\\boot.ini").long_path, kAttrHidden | kAttrSystem);
  }
  if (shape.edition == WindowsEdition::kWindowsServer2003)
    StandIn(m, win + "\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe");
  if (shape.program_files) MakeFolder(m, "C:\\Program Files\\Common Files");
  if (ed.nt) {
    const std::string temp = "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp";
    MakeFolder(m, temp);
    m.SetAttributes(m.Resolve("C:\\Documents and Settings\\Administrator\\Local Settings").long_path,
                    kAttrHidden);
    info.temp_path = *m.ShortPath(temp + "\\");
  } else {
    info.temp_path = win + "\\TEMP\\";
  }

  std::vector<ServiceRecord> services;
  m.Registry().Edit([&](RegistryEdit& reg) {
    const std::string cv = ed.nt ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                 : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    SetText(reg, cv, "ProductName", ed.product);
    SetText(reg, cv, "CurrentVersion",
            std::to_string(ed.version.major) + "." + std::to_string(ed.version.minor));
    SetText(reg, cv, "CurrentBuildNumber", std::to_string(ed.version.build & 0xffff));
    SetText(reg, cv, "CSDVersion", ed.version.csd);
    SetText(reg, cv, "SystemRoot", win);
    reg.CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    SetText(reg, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
            "C:\\Program Files");
    SetText(reg, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
            "ComputerName", shape.computer_name);
    reg.CreateKey("HKEY_CLASSES_ROOT\\CLSID");
    if (shape.iis) {
      MakeFolder(m, sys + "\\inetsrv");
      MakeFolder(m, "C:\\Inetpub\\wwwroot");
      SetDword(reg, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\InetStp", "MajorVersion",
               static_cast<std::uint32_t>(std::stoul(ed.iis_version)));
      SetText(reg, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\InetStp", "PathWWWRoot", "C:\\Inetpub\\wwwroot");
      if (ed.nt) {
        services.push_back(
            {"IISADMIN", "IIS Admin Service", sys + "\\inetsrv\\inetinfo.exe", "auto", "running"});
        services.push_back({"W3SVC", "World Wide Web Publishing Service", sys + "\\inetsrv\\inetinfo.exe",
                            "auto", "running"});
      }
    }
  });
  for (const auto& service : services) m.SetService(service);
  // Every line file is there from the start, so a missing one is damage.
  for (const RecordFile* file :
       {&m.attributes_, &m.short_names_, &m.holds_, &m.access_, &m.services_, &m.started_, &m.events_})
    file->Update([](std::vector<Record>&) { return true; });
  CreateInitialAccounts(folder, shape.computer_name, shape.iis);
  if (shape.iis) CreateInitialMetabase(folder);
  if (furnish) furnish(m);
  {
    StateLock lock(m.InfoFile(), true);
    WriteStateFile(m.InfoFile(), FormatMachineIni(ini), lock);
  }
  fs::remove(UnfinishedMarker(folder));
}

}  // namespace quorvale
