#include "machine_tool.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "program_commands.h"
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
    "         [--bare | --no-sqlserver --no-servu --no-php --no-perl --no-imail --no-winwebmail]\n"
    "         [--sa-password PW]\n"
    "      makes a new machine (default: a hosting server, Windows Server 2003 with IIS, .NET 1.1,\n"
    "      SQL Server 2000 with sa's password Sa2000, Serv-U, PHP, Perl, iMail and WinWebMail;\n"
    "      C: with its real free space); --bare: no hosting programs; SIZE is bytes or a number\n"
    "      with K, M or G\n"
    "  reset [create options]     removes the machine and makes it anew\n"
    "  add PROGRAM [--sa-password PW]   installs a hosting program: sqlserver, servu, php, perl,\n"
    "                                   imail or winwebmail\n"
    "  remove PROGRAM             removes it (SQL Server: the databases' files stay)\n"
    "  set-free DRIVE SIZE|real   sets the free space a drive reports\n"
    "  show [all|system|files|registry|services|access|programs|holds|iis|accounts|shortcuts]\n"
    "      prints what the machine holds (all by default)\n"
    "  uninstall [-modify|-delete]   starts the installed control end's Uninstall.exe as Windows'\n"
    "      list of installed programs does (-modify: repair, -delete: uninstall, neither: it asks)\n"
    "      and waits for it to end\n"
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

// A byte count in the largest unit that keeps it at least 1.
std::string SizeText(std::uint64_t bytes) {
  static const char* const units[] = {"KB", "MB", "GB", "TB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(units)) {
    value /= 1024;
    ++unit;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f %s", value, units[unit]);
  return buf;
}

// An error as the one line the tool prints.
int Fail(std::ostream& err, const std::string& message, int code) {
  std::string line = message;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  err << "quorvale-machine: " << line << "\n";
  return code;
}

// A wrong command line: one line, and where the usage is.
int Usage(std::ostream& err, const std::string& message) {
  return Fail(err, message + " (quorvale-machine --help shows the commands)", 2);
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

// The shape and programs the create options ask for; nothing, with the
// error printed, for options it cannot take.
std::optional<MachineShape> ShapeOf(const std::vector<std::string>& args, ProgramChoice& programs,
                                    std::ostream& err) {
  MachineShape shape;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (programs.Take(args, i)) continue;
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
        return Usage(err, "--windows takes 98, 2000, xp or 2003"), std::nullopt;
    } else if (a == "--no-iis") {
      shape.iis = false;
    } else if (a == "--no-program-files") {
      shape.program_files = false;
    } else if (a == "--computer") {
      auto v = next();
      if (!v || v->empty() || v->size() > 15)
        return Usage(err, "--computer takes a name of 1 to 15 letters"), std::nullopt;
      shape.computer_name = *v;
    } else if (a == "--free" || a == "--drive") {
      auto v = next();
      if (!v || v->empty() || !std::isalpha(static_cast<unsigned char>((*v)[0])))
        return Usage(err, a + " takes a drive letter, then =SIZE"), std::nullopt;
      char drive = UpperChar((*v)[0]);
      std::optional<std::uint64_t> free;
      if (v->size() > 1) {
        if ((*v)[1] != '=' || !(free = Size(v->substr(2))))
          return Usage(err, "bad size in " + *v), std::nullopt;
      } else if (a == "--free") {
        return Usage(err, "--free takes DRIVE=SIZE"), std::nullopt;
      }
      shape.drives[drive] = free;
    } else {
      return Usage(err, "unknown option " + a), std::nullopt;
    }
  }
  return shape;
}

// create, or reset (which removes the machine first).
int Make(const std::vector<std::string>& args, bool reset, std::ostream& out, std::ostream& err) {
  ProgramChoice programs;
  auto shape = ShapeOf(args, programs, err);
  if (!shape) return 2;
  programs.Check();
  const fs::path folder = MachineFolder();
  if (reset)
    Machine::Reset(folder, *shape, hosting::FurnishHostingServer(programs.set));
  else
    hosting::CreateHostingServer(folder, *shape, programs.set);
  out << "Made a " << Name(shape->edition) << " machine" << (shape->iis ? " with IIS" : " without IIS")
      << " in " << folder.string() << "\n"
      << "Hosting programs: " << ProgramList(programs.set) << "\n";
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
    out << "  " << d << ":  " << SizeText(space->free_bytes) << " free of " << SizeText(space->total_bytes)
        << "\n";
  }
  ShowHosting(m, out);
}

// The entries of a folder, sorted.
std::vector<fs::directory_entry> Entries(const fs::path& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) entries.push_back(e);
  std::sort(entries.begin(), entries.end());
  return entries;
}

void ShowFiles(Machine& m, std::ostream& out) {
  out << "Files (attributes R read-only, H hidden, S system; 8.3 names in brackets)\n";
  // The folders being listed, innermost last: a stack, so a tree of any
  // depth is walked, each folder's entries right after it.
  struct Folder {
    std::vector<fs::directory_entry> entries;
    std::size_t next;
    std::string windows;
  };
  for (char d : m.Drives()) {
    out << "  " << d << ":\\\n";
    std::vector<Folder> open{{Entries(m.DrivesFolder() / std::string(1, d)), 0, std::string(1, d) + ":"}};
    if (open.back().entries.empty()) out << "    (none)\n";
    while (!open.empty()) {
      Folder& folder = open.back();
      if (folder.next == folder.entries.size()) {
        open.pop_back();
        continue;
      }
      const fs::directory_entry& e = folder.entries[folder.next++];
      const std::string name = e.path().filename().string();
      const std::string path = folder.windows + "\\" + name;
      ResolvedPath r = m.Resolve(path);
      std::uint32_t a = m.Attributes(r);
      std::string line = std::string(open.size() * 2 + 2, ' ') + name + (r.is_directory ? "\\" : "");
      if (auto alias = m.GivenShortNameOf(r.long_path); alias && *alias != name) line += "  [" + *alias + "]";
      std::string flags;
      if (a & kAttrReadOnly) flags += 'R';
      if (a & kAttrHidden) flags += 'H';
      if (a & kAttrSystem) flags += 'S';
      if (!flags.empty()) line += "  " + flags;
      std::error_code ec;
      if (!r.is_directory) line += "  " + std::to_string(e.file_size(ec)) + " bytes";
      out << line << "\n";
      if (r.is_directory) open.push_back({Entries(e.path()), 0, path});  // folder is not used past here
    }
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
  const RegistryStore::Snapshot snapshot = m.Registry().Take();
  // Keys still to print, the next last: a stack, so any depth is walked.
  std::vector<std::pair<std::string, const RegistryStore::Key*>> stack;
  for (const char* root : {"HKEY_USERS", "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT"}) {
    const RegistryStore::Key* k = snapshot.Find(root);
    for (auto it = k->subkeys.rbegin(); it != k->subkeys.rend(); ++it)
      stack.emplace_back(std::string(root) + "\\" + it->second.name, &it->second);
  }
  if (stack.empty()) out << "  (none)\n";
  while (!stack.empty()) {
    auto [path, key] = std::move(stack.back());
    stack.pop_back();
    if (!key->values.empty() || key->subkeys.empty()) out << "  " << Cp936ToUtf8(path) << "\n";
    for (const auto& [name, value] : key->values)
      out << "      " << (name.empty() ? "(default)" : Cp936ToUtf8(name)) << " = " << ValueText(value)
          << "\n";
    for (auto it = key->subkeys.rbegin(); it != key->subkeys.rend(); ++it)
      stack.emplace_back(path + "\\" + it->second.name, &it->second);
  }
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
  const std::pair<const char*, void (*)(Machine&, std::ostream&)> parts[] = {
      {"system", ShowSystem},      {"files", ShowFiles},   {"registry", ShowRegistry},
      {"services", ShowServices},  {"access", ShowAccess}, {"programs", ShowPrograms},
      {"holds", ShowHolds},        {"iis", ShowIis},       {"accounts", ShowAccounts},
      {"shortcuts", ShowShortcuts}};
  if (args.size() > 1) return Usage(err, "show takes one part");
  if (what != "all" &&
      std::none_of(std::begin(parts), std::end(parts), [&](auto& p) { return what == p.first; }))
    return Usage(err, "show has no part " + what);
  Machine m(MachineFolder());
  m.Check();  // a damaged state file is one error line, whatever part is asked
  // Everything is read before anything is printed: no half a listing.
  std::ostringstream text;
  bool any = false;
  for (const auto& [name, show] : parts)
    if (what == "all" || what == name) {
      if (any) text << "\n";
      show(m, text);
      any = true;
    }
  out << text.str() << "\nMachine folder: " << m.Folder().string() << "\n";
  return 0;
}

int SetFree(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[0].size() != 1 || !std::isalpha(static_cast<unsigned char>(args[0][0])))
    return Usage(err, "set-free takes a drive letter and a size or real");
  std::optional<std::uint64_t> free;
  if (args[1] != "real" && !(free = Size(args[1]))) return Usage(err, "bad size " + args[1]);
  Machine m(MachineFolder());
  char drive = UpperChar(args[0][0]);
  if (!m.FreeSpace(drive)) return Fail(err, std::string("the machine has no drive ") + drive + ":", 1);
  m.SetFreeSpace(drive, free);
  out << drive << ": now reports " << (free ? SizeText(*free) + " free" : std::string("its real free space"))
      << "\n";
  return 0;
}

}  // namespace

int RunMachineTool(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  try {
    TakeMachineArgument(args);
  } catch (const std::invalid_argument& e) {
    return Usage(err, e.what());
  }
  if (args.empty() || args[0] == "--help" || args[0] == "help") {
    out << kUsage;
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  try {
    if (command == "create" || command == "reset") return Make(args, command == "reset", out, err);
    if (command == "show") return Show(args, out, err);
    if (command == "set-free") return SetFree(args, out, err);
    if (command == "add") return Add(args, out);
    if (command == "remove") return Remove(args, out);
    if (command == "uninstall") return Uninstall(args, out);
  } catch (const UsageError& e) {
    return Usage(err, e.what());
  } catch (const std::exception& e) {
    return Fail(err, e.what(), 1);
  }
  return Usage(err, "unknown command " + command);
}

}  // namespace quorvale::tool
