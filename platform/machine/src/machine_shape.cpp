// A new machine of a chosen shape: the folders, stand-in system programs,
// registry keys and services a fresh Windows of that edition has.
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

void SetText(RegistryStore& reg, const std::string& key, const std::string& name, const std::string& text) {
  reg.CreateKey(key);
  reg.SetValue(key, name, RegValue::Text(text));
}

void SetDword(RegistryStore& reg, const std::string& key, const std::string& name, std::uint32_t d) {
  reg.CreateKey(key);
  std::string data;
  for (int i = 0; i < 4; ++i) data += static_cast<char>((d >> (8 * i)) & 0xff);
  reg.SetValue(key, name, {kRegDword, data});
}

// The state a fresh Windows keeps beside its files: its accounts and, with
// IIS, the metabase. A machine cut short before this has them all the same:
// both are read as fresh while their files are missing.
void CreateInitialState(const Machine& m, const MachineShape& shape) {
  CreateInitialAccounts(m);
  if (shape.iis) CreateInitialMetabase(m.Folder());
}

}  // namespace

void Machine::Create(const fs::path& folder, const MachineShape& shape) {
  if (Exists(folder)) throw MachineStateError(folder / "machine.ini", "a machine is already there");
  if (!shape.drives.count('C')) throw MachineStateError(folder / "machine.ini", "a machine needs a drive C:");
  const Edition ed = EditionOf(shape.edition);
  fs::create_directories(folder);
  for (const auto& [letter, free] : shape.drives)
    fs::create_directories(folder / "drives" / std::string(1, letter));

  // machine.ini comes last: until it is there the folder holds no machine.
  // Until then this object works on the drives and records only.
  MachineInfo info;
  info.version = ed.version;
  info.computer_name = shape.computer_name;
  info.windows_directory = ed.windows;
  info.system_directory = ed.system;
  info.iis = shape.iis;
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

  RegistryStore& reg = m.Registry();
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
      m.SetService({"IISADMIN", "IIS Admin Service", sys + "\\inetsrv\\inetinfo.exe", "auto", "running"});
      m.SetService(
          {"W3SVC", "World Wide Web Publishing Service", sys + "\\inetsrv\\inetinfo.exe", "auto", "running"});
    }
  }

  m.SetInfo(info, shape.drives);
  CreateInitialState(m, shape);
}

}  // namespace quorvale
