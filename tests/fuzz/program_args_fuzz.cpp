// The command lines of the programs that WinExec starts on the machine: any
// text as a command line and as the arguments of Cacls, regsvr32, RegAsm
// and Service.exe. The programs run on a host that keeps what they would
// change on the machine (events, access lists, services) to be checked.
//  - Arguments split as Windows programs split them, quoted again, split
//    the same; so do any words (the text cut at NUL bytes).
//  - The program a command line names is a file of the machine or one of
//    Windows' own tools, and its arguments are the end of the line.
//  - Cacls grants, on a file of the machine, rights R, W, C, F or N to
//    principals with a name, replacing the access list at its first grant
//    only; or it grants nothing and says why in one event.
//  - regsvr32 and RegAsm say in one event what they did, unregistering
//    only when asked; Service.exe installs its service when its only
//    argument is -install, and says so in one event.
#include <algorithm>
#include <initializer_list>

#include "fuzz_support.h"
#include "programs.h"
#include "quorvale/core/text.h"
#include "quorvale/programs/launch.h"
#include "quorvale/programs/machine_program_host.h"

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

// What a program would have changed on the machine.
struct Seen {
  std::vector<AccessGrant> grants;
  std::vector<ServiceRecord> services;
  std::vector<ProgramEvent> events;
};

// The machine's host for what the programs read; what they would change is
// kept in seen instead.
class Observed final : public ProgramHost {
 public:
  explicit Observed(ProgramHost& machine) : machine_(machine) {}

  fs::path MachineFolder() const override { return machine_.MachineFolder(); }
  std::optional<fs::path> HostPathOf(const std::string& path) const override {
    return machine_.HostPathOf(path);
  }
  std::optional<std::string> WindowsPathOf(const fs::path& file) const override {
    return machine_.WindowsPathOf(file);
  }
  std::string LongPathOf(const std::string& path) const override { return machine_.LongPathOf(path); }
  std::string SystemFolder() const override { return machine_.SystemFolder(); }
  std::string WindowsFolder() const override { return machine_.WindowsFolder(); }
  RegistryStore& Registry() override { return machine_.Registry(); }
  bool IsHeld(const fs::path& file) const override { return machine_.IsHeld(file); }
  FileHold Hold(const fs::path& file, const std::string&, long) const override {
    fuzz::Broken("the stand-ins load no library of ours from this machine", file.string());
  }
  void ForgetPath(const std::string& path) const override {
    fuzz::Broken("the stand-ins remove nothing", path);
  }
  void AddAccessEntry(const AccessGrant& grant) override { seen.grants.push_back(grant); }
  // A grant inherited by a made file is the machine's doing, not the program's.
  void InheritAccess(const fs::path&) override {}
  bool RegisterService(const ServiceRecord& service) override {
    seen.services.push_back(service);
    return true;
  }
  void Record(const ProgramEvent& event) override { seen.events.push_back(event); }
  void Sleep(std::chrono::milliseconds) override {}

  Seen seen;

 private:
  ProgramHost& machine_;
};

// One argument as a Windows program's command line holds it.
std::string Quoted(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
  std::string out = "\"";
  std::size_t slashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
    slashes = 0;
    out += c;
  }
  return out.append(2 * slashes, '\\') + "\"";
}

std::string Joined(const std::vector<std::string>& words) {
  std::string line;
  for (const auto& w : words) line += (line.empty() ? "" : " ") + Quoted(w);
  return line;
}

// A file (or, not only, a folder) of the machine.
bool Exists(const std::string& path, bool or_folder) {
  const auto file = CurrentProgramHost().HostPathOf(path);
  std::error_code ec;
  return file && (or_folder ? fs::exists(*file, ec) : fs::is_regular_file(*file, ec));
}

// The stand-in run on the arguments: what it did.
Seen Run(void (*program)(const programs::ProgramRun&), const std::string& file,
         const std::string& arguments) {
  Observed host(CurrentProgramHost());
  program({host, file, arguments, 0});
  return host.seen;
}

bool OneEvent(const Seen& run, const char* program, std::initializer_list<const char*> what) {
  return run.events.size() == 1 && run.events[0].program == program &&
         std::any_of(what.begin(), what.end(), [&](const char* w) { return run.events[0].what == w; });
}

void Cacls(const std::string& arguments) {
  const auto run = Run(programs::RunCacls, "C:\\WINDOWS\\system32\\cacls.exe", arguments);
  if (run.events.empty()) {
    for (std::size_t i = 0; i < run.grants.size(); ++i) {
      const AccessGrant& g = run.grants[i];
      const bool right = g.right.size() == 1 && std::string("RWCFN").find(g.right) != std::string::npos;
      if (!right || g.principal.empty() || !Exists(g.path, true) || (i && g.replace) ||
          g.path != run.grants[0].path)
        fuzz::Broken("Cacls grants rights R W C F N to named principals on a file of the machine", arguments);
    }
  } else if (!OneEvent(run, "cacls.exe", {"failed"}) || !run.grants.empty()) {
    fuzz::Broken("Cacls that grants nothing says why in one event", arguments);
  }
}

void Registrars(const std::string& arguments, const std::vector<std::string>& args) {
  const bool unregister = std::any_of(args.begin(), args.end(), [](const std::string& a) {
    return a.size() > 1 && (a[0] == '/' || a[0] == '-') &&
           (NamesEqual(a.substr(1), "u") || NamesEqual(a.substr(1), "unregister"));
  });
  const struct {
    void (*program)(const programs::ProgramRun&);
    const char* name;
    const char* file;
  } registrars[] = {
      {programs::RunRegsvr32, "regsvr32.exe", "C:\\WINDOWS\\system32\\regsvr32.exe"},
      {programs::RunRegAsm, "RegAsm.exe", "C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe"},
  };
  for (const auto& [program, name, file] : registrars) {
    const auto run = Run(program, file, arguments);
    if (!OneEvent(run, name, {"registered", "unregistered", "failed"}) || !run.grants.empty() ||
        !run.services.empty() || (run.events[0].what == "unregistered" && !unregister))
      fuzz::Broken("a registrar says in one event what it did, unregistering only when asked", arguments);
  }
}

void Service(const std::string& arguments, const std::vector<std::string>& args) {
  const auto run = Run(programs::RunServiceProgram, "C:\\Quorvale\\Service.exe", arguments);
  const bool install = args.size() == 1 && NamesEqual(args[0], "-install");
  if (!OneEvent(run, "Service.exe", {"installed", "skipped"}) || run.services.size() != (install ? 1u : 0u) ||
      !run.grants.empty())
    fuzz::Broken("Service.exe installs its service for -install alone, and says so in one event", arguments);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool made = [] {
    for (const char* file :
         {"C:\\Quorvale\\Web\\Index.asp", "C:\\Quorvale\\Service.exe", "C:\\WINDOWS\\system32\\jmail.dll",
          "C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\DodIde.dll"})
      fuzz::FuzzMachine().Write(file, "stand-in");
    return true;
  }();
  (void)made;
  const std::string text = fuzz::Text(data, size);

  const auto args = SplitArguments(text);
  if (SplitArguments(Joined(args)) != args)
    fuzz::Broken("arguments quoted again split the same", Joined(args));
  const auto words = fuzz::Pieces(text, std::string(1, '\0'));
  if (SplitArguments(Joined(words)) != words) fuzz::Broken("any words quoted split back", Joined(words));

  if (const auto command = ResolveCommand(CurrentProgramHost(), text)) {
    const std::string name = LowerCase(command->program.substr(command->program.rfind('\\') + 1));
    const bool tool = name == "regsvr32.exe" || name == "cacls.exe" || name == "notepad.exe";
    if (!Exists(command->program, false) && !tool)
      fuzz::Broken("a command names a file of the machine or one of Windows' own tools", command->program);
    if (!text.ends_with(command->arguments))
      fuzz::Broken("a command's arguments are the end of its line", text);
  }

  Cacls(text);
  Registrars(text, args);
  Service(text, args);
  return 0;
}
