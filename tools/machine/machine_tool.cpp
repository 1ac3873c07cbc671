#include "machine_tool.h"

#include <cstdio>
#include <functional>

#include "quorvale/core/codepage.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/machine_folder.h"
#include "show_state.h"

namespace quorvale::tool {

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: quorvale-machine [--machine DIR] COMMAND\n"
    "  create [--windows 98|2000|xp|2003] [--no-iis] [--no-program-files]\n"
    "         [--computer NAME] [--free C=SIZE] [--drive D[=SIZE]]\n"
    "      makes a new machine (default: Windows Server 2003 with IIS, C: with its real free space);\n"
    "      SIZE is bytes or a number with K, M or G\n"
    "  reset [create options]     removes the machine and makes it anew\n"
    "  set-free DRIVE SIZE|real   sets the free space a drive reports\n"
    "  show [all|system|files|registry|services|access|programs|holds|iis|accounts|shortcuts]\n"
    "      prints what the machine holds (all by default)\n"
    "The machine folder is --machine DIR, else $QUORVALE_MACHINE, else the default machine.\n";

std::optional<std::uint64_t> Size(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t unit = 1;
  std::string digits = text;
  switch (UpperChar(digits.back())) {
    case 'K': unit = 1ull << 10; break;
    case 'M': unit = 1ull << 20; break;
    case 'G': unit = 1ull << 30; break;
    default: break;
  }
  if (unit != 1) digits.pop_back();
  if (digits.empty() || digits.size() > 15 || digits.find_first_not_of("0123456789.") != std::string::npos)
    return std::nullopt;
  return static_cast<std::uint64_t>(std::stod(digits) * static_cast<double>(unit));
}

std::string Gb(std::uint64_t bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f GB", static_cast<double>(bytes) / (1ull << 30));
  return buf;
}

std::string Name(WindowsEdition e) {
  switch (e) {
    case WindowsEdition::kWindows98: return "Windows 98";
    case WindowsEdition::kWindows2000: return "Windows 2000";
    case WindowsEdition::kWindowsXP: return "Windows XP";
    case WindowsEdition::kWindowsServer2003: break;
  }
  return "Windows Server 2003";
}

std::string VersionName(const OsVersion& v) {
  if (v.platform_id == 1) return v.minor == 0 ? "Windows 95" : v.minor == 10 ? "Windows 98" : "Windows 9x";
  if (v.major == 5 && v.minor == 0) return "Windows 2000";
  if (v.major == 5 && v.minor == 1) return "Windows XP";
  if (v.major == 5 && v.minor == 2) return "Windows Server 2003";
  return "Windows NT " + std::to_string(v.major) + "." + std::to_string(v.minor);
}

int Create(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  MachineShape shape;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto next = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (a == "--windows") {
      auto v = next();
      if (v == "98")
        shape.edition = WindowsEdition::kWindows98;
      else if (v == "2000")
        shape.edition = WindowsEdition::kWindows2000;
      else if (v == "xp" || v == "XP")
        shape.edition = WindowsEdition::kWindowsXP;
      else if (v == "2003")
        shape.edition = WindowsEdition::kWindowsServer2003;
      else
        return err << "--windows takes 98, 2000, xp or 2003\n", 2;
    } else if (a == "--no-iis") {
      shape.iis = false;
    } else if (a == "--no-program-files") {
      shape.program_files = false;
    } else if (a == "--computer") {
      auto v = next();
      if (!v || v->empty() || v->size() > 15) return err << "--computer takes a name of 1 to 15 letters\n", 2;
      shape.computer_name = *v;
    } else if (a == "--free" || a == "--drive") {
      auto v = next();
      if (!v || v->empty() || !std::isalpha(static_cast<unsigned char>((*v)[0])))
        return err << a << " takes a drive letter, then =SIZE\n", 2;
      char drive = UpperChar((*v)[0]);
      std::optional<std::uint64_t> free;
      if (v->size() > 1) {
        if ((*v)[1] != '=' || !(free = Size(v->substr(2)))) return err << "bad size in " << *v << "\n", 2;
      } else if (a == "--free") {
        return err << "--free takes DRIVE=SIZE\n", 2;
      }
      shape.drives[drive] = free;
    } else {
      return err << "unknown option " << a << "\n" << kUsage, 2;
    }
  }
  const fs::path folder = MachineFolder();
  Machine::Create(folder, shape);
  out << "Made a " << Name(shape.edition) << " machine" << (shape.iis ? " with IIS" : " without IIS")
      << " in " << folder.string() << "\n";
  return 0;
}

void ShowSystem(Machine& m, std::ostream& out) {
  MachineInfo info = m.Info();
  out << "System\n"
      << "  " << VersionName(info.version) << " (" << info.version.major << "." << info.version.minor
      << " build " << info.version.build << ", platform " << info.version.platform_id << ", \""
      << info.version.csd << "\"), " << (info.iis ? "IIS installed" : "no IIS") << "\n"
      << "  computer name  " << info.computer_name << "\n"
      << "  Windows folder " << info.windows_directory << "\n"
      << "  system folder  " << info.system_directory << "\n"
      << "  temp folder    " << info.temp_path << "\n"
      << "Drives\n";
  for (char d : m.Drives()) {
    auto space = m.FreeSpace(d);
    out << "  " << d << ":  " << Gb(space->free_bytes) << " free of " << Gb(space->total_bytes) << "\n";
  }
}

void ShowFiles(Machine& m, std::ostream& out) {
  out << "Files (attributes R read-only, H hidden, S system; 8.3 names in brackets)\n";
  std::function<void(const fs::path&, const std::string&, int)> walk =
      [&](const fs::path& host, const std::string& win, int depth) {
        std::vector<fs::directory_entry> entries;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(host, ec)) entries.push_back(e);
        std::sort(entries.begin(), entries.end());
        for (const auto& e : entries) {
          const std::string name = e.path().filename().string();
          const std::string path = (win.back() == '\\' ? win : win + "\\") + name;
          ResolvedPath r = m.Resolve(path);
          std::uint32_t a = m.Attributes(r);
          std::string line =
              std::string(static_cast<std::size_t>(depth) * 2 + 2, ' ') + name + (r.is_directory ? "\\" : "");
          std::string alias = m.ShortNameOf(r.long_path);
          if (alias != name) line += "  [" + alias + "]";
          std::string flags;
          if (a & kAttrReadOnly) flags += 'R';
          if (a & kAttrHidden) flags += 'H';
          if (a & kAttrSystem) flags += 'S';
          if (!flags.empty()) line += "  " + flags;
          if (!r.is_directory) line += "  " + std::to_string(e.file_size(ec)) + " bytes";
          out << line << "\n";
          if (r.is_directory) walk(e.path(), path, depth + 1);
        }
      };
  for (char d : m.Drives()) {
    out << "  " << d << ":\\\n";
    walk(m.DrivesFolder() / std::string(1, d), std::string(1, d) + ":\\", 1);
  }
}

std::string ValueText(const RegValue& v) {
  if ((v.type == kRegSz || v.type == 2) && v.data.find('\0') >= v.data.size() - 1) {
    std::string text = Cp936ToUtf8(v.AsText());
    return std::string(v.type == 2 ? "(expand) " : "") + "\"" + text + "\"" +
           (v.data.empty() || v.data.back() != '\0' ? "  (no NUL)" : "");
  }
  if (v.type == kRegDword && v.data.size() == 4) {
    std::uint32_t d = 0;
    for (int i = 3; i >= 0; --i)
      d = (d << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
    char buf[32];
    std::snprintf(buf, sizeof buf, "dword 0x%08x (%u)", d, d);
    return buf;
  }
  std::string hex = "type " + std::to_string(v.type) + ", " + std::to_string(v.data.size()) + " bytes:";
  char buf[4];
  for (unsigned char c : v.data) {
    std::snprintf(buf, sizeof buf, " %02x", c);
    hex += buf;
  }
  return hex;
}

void ShowRegistry(Machine& m, std::ostream& out) {
  out << "Registry\n";
  RegistryStore& reg = m.Registry();
  std::function<void(const std::string&)> walk = [&](const std::string& key) {
    auto names = reg.ValueNames(key);
    auto subs = reg.SubKeys(key);
    if (!names.empty() || subs.empty()) out << "  " << Cp936ToUtf8(key) << "\n";
    for (const auto& n : names)
      out << "      " << (n.empty() ? "(default)" : Cp936ToUtf8(n)) << " = "
          << ValueText(*reg.GetValue(key, n)) << "\n";
    for (const auto& s : subs) walk(key + "\\" + s);
  };
  for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"})
    for (const auto& s : reg.SubKeys(root)) walk(std::string(root) + "\\" + s);
}

void ShowServices(Machine& m, std::ostream& out) {
  out << "Services\n";
  auto services = m.Services();
  if (services.empty()) out << "  (none)\n";
  for (const auto& s : services)
    out << "  " << s.name << "  " << s.state << ", start " << s.start_type << "  \"" << s.display_name
        << "\"  " << s.binary_path << "\n";
}

void ShowAccess(Machine& m, std::ostream& out) {
  out << "Access lists (granted rights)\n";
  auto entries = m.AccessList();
  if (entries.empty()) out << "  (none)\n";
  for (const auto& e : entries) out << "  " << e.path << "  " << e.principal << ":" << e.right << "\n";
}

void ShowPrograms(Machine& m, std::ostream& out) {
  out << "Started programs\n";
  auto started = m.StartedPrograms();
  if (started.empty()) out << "  (none)\n";
  int n = 0;
  for (const auto& s : started)
    out << "  " << ++n << ". " << (s.show == 0 ? "hidden" : "shown (" + std::to_string(s.show) + ")")
        << (s.launched ? "" : ", NOT FOUND") << ": " << s.command_line << "\n";
  auto events = m.ProgramEvents();
  if (!events.empty()) out << "What they did\n";
  for (const auto& e : events) {
    out << "  " << e.program << ": " << e.what;
    if (!e.path.empty()) out << " " << e.path;
    if (!e.detail.empty()) out << " (" << e.detail << ")";
    out << "\n";
  }
}

void ShowHolds(Machine& m, std::ostream& out) {
  out << "Files held open\n";
  auto holds = m.Holds();
  if (holds.empty()) out << "  (none)\n";
  for (const auto& h : holds) out << "  " << h.path << "  by " << h.holder << " (process " << h.pid << ")\n";
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::string what = args.empty() ? "all" : args[0];
  Machine m(MachineFolder());
  const std::pair<const char*, void (*)(Machine&, std::ostream&)> parts[] = {
      {"system", ShowSystem},      {"files", ShowFiles},   {"registry", ShowRegistry},
      {"services", ShowServices},  {"access", ShowAccess}, {"programs", ShowPrograms},
      {"holds", ShowHolds},        {"iis", ShowIis},       {"accounts", ShowAccounts},
      {"shortcuts", ShowShortcuts}};
  bool any = false;
  for (const auto& [name, show] : parts)
    if (what == "all" || what == name) {
      if (any) out << "\n";
      show(m, out);
      any = true;
    }
  if (!any) return err << "show: unknown part " << what << "\n" << kUsage, 2;
  out << "\nMachine folder: " << m.Folder().string() << "\n";
  return 0;
}

int SetFree(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[0].empty()) return err << kUsage, 2;
  Machine m(MachineFolder());
  char drive = UpperChar(args[0][0]);
  if (!m.FreeSpace(drive)) return err << "the machine has no drive " << drive << ":\n", 1;
  std::optional<std::uint64_t> free;
  if (args[1] != "real" && !(free = Size(args[1]))) return err << "bad size " << args[1] << "\n", 2;
  m.SetFreeSpace(drive, free);
  out << drive << ": now reports " << (free ? Gb(*free) : "its real free space") << " free\n";
  return 0;
}

}  // namespace

int RunMachineTool(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  TakeMachineArgument(args);
  if (args.empty() || args[0] == "--help" || args[0] == "help") {
    out << kUsage;
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  try {
    if (command == "create") return Create(args, out, err);
    if (command == "show") return Show(args, out, err);
    if (command == "set-free") return SetFree(args, out, err);
    if (command == "reset") {
      // Only a folder that holds a machine is removed, never any other folder.
      const fs::path folder = MachineFolder();
      if (fs::exists(folder) && !Machine::Exists(folder))
        return err << "quorvale-machine: " << folder.string() << " holds no machine; nothing removed\n", 1;
      fs::remove_all(folder);
      return Create(args, out, err);
    }
  } catch (const MachineStateError& e) {
    err << "quorvale-machine: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    err << "quorvale-machine: " << e.what() << "\n";
    return 1;
  }
  err << "unknown command " << command << "\n" << kUsage;
  return 2;
}

}  // namespace quorvale::tool
