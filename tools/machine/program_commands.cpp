#include "program_commands.h"

#include <iomanip>

#include "quorvale/core/codepage.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/programs/launch.h"
#include "quorvale/programs/machine_program_host.h"
#include "quorvale/sqlserver/catalogue.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::tool {

namespace fs = std::filesystem;
using hosting::HostingProgram;

namespace {

// Where Windows' list of installed programs finds the control end.
const char kControlEndEntry[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";

std::string ProgramNames() {
  std::string names;
  for (HostingProgram p : hosting::AllPrograms()) names += (names.empty() ? "" : ", ") + hosting::NameOf(p);
  return names;
}

HostingProgram ProgramOf(const std::string& name) {
  if (auto p = hosting::ProgramNamed(name)) return *p;
  throw UsageError("no program named " + name + " (there are: " + ProgramNames() + ")");
}

// The machine a command changes: it must be there, every state file whole.
Machine OpenMachine() {
  Machine m(MachineFolder());
  m.Check();
  return m;
}

}  // namespace

bool ProgramChoice::Take(const std::vector<std::string>& args, std::size_t& i) {
  const std::string& a = args[i];
  if (a == "--bare") {
    set.programs.clear();
  } else if (a == "--sa-password") {
    if (i + 1 >= args.size() || args[i + 1].empty()) throw UsageError("--sa-password takes a password");
    set.sa_password = args[++i];
    sa_password_given = true;
  } else if (a.rfind("--no-", 0) == 0 && hosting::ProgramNamed(a.substr(5))) {
    set.programs.erase(*hosting::ProgramNamed(a.substr(5)));
  } else {
    return false;
  }
  return true;
}

void ProgramChoice::Check() const {
  if (sa_password_given && !set.programs.count(HostingProgram::kSqlServer))
    throw UsageError("--sa-password is for a machine with SQL Server");
}

std::string ProgramList(const hosting::HostingSet& set) {
  std::string list;
  for (HostingProgram p : hosting::AllPrograms()) {
    if (!set.programs.count(p)) continue;
    list += (list.empty() ? "" : ", ") + hosting::TitleOf(p);
    if (p == HostingProgram::kSqlServer) list += " (sa password " + set.sa_password + ")";
  }
  return list.empty() ? "none" : list;
}

int Add(const std::vector<std::string>& args, std::ostream& out) {
  if (args.empty()) throw UsageError("add takes a program: " + ProgramNames());
  const HostingProgram program = ProgramOf(args[0]);
  ProgramChoice choice;
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i] != "--sa-password" || !choice.Take(args, i)) throw UsageError("unknown option " + args[i]);
  if (choice.sa_password_given && program != HostingProgram::kSqlServer)
    throw UsageError("--sa-password is for sqlserver");
  Machine m = OpenMachine();
  hosting::AddProgram(m, program, choice.set.sa_password);
  out << "Added " << hosting::TitleOf(program) << ": "
      << (program == HostingProgram::kSqlServer ? "sa password " + choice.set.sa_password
                                                : hosting::WhereOf(m, program))
      << "\n";
  return 0;
}

int Remove(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() != 1) throw UsageError("remove takes one program: " + ProgramNames());
  const HostingProgram program = ProgramOf(args[0]);
  Machine m = OpenMachine();
  hosting::RemoveProgram(m, program);
  out << "Removed " << hosting::TitleOf(program) << "\n";
  return 0;
}

int Uninstall(const std::vector<std::string>& args, std::ostream& out) {
  const std::string mode = args.empty() ? "" : args[0];
  if (args.size() > 1 || (!mode.empty() && !SameText(mode, "-modify") && !SameText(mode, "-delete")))
    throw UsageError("uninstall takes -modify, -delete or nothing");
  // The default machine is not made here: there is nothing to uninstall on a new one.
  if (!Machine::Exists(MachineFolder())) throw MachineStateError::NoMachine(MachineFolder());
  auto machine = CurrentMachine();
  machine->Check();
  // As Windows' list of installed programs starts it: Change with
  // ModifyPath, Remove with UninstallString; without a switch, the program
  // alone, which then asks (as the control end's setup starts it).
  const auto value = machine->Registry().GetValue(
      kControlEndEntry, SameText(mode, "-modify") ? "ModifyPath" : "UninstallString");
  std::string command = value ? Cp936ToUtf8(value->AsText()) : "";
  if (command.empty())
    throw std::runtime_error(
        "the control end is not installed on this machine (it has no uninstall entry Quorvalec): "
        "install it with Client (tools/wizard Client)");
  if (mode.empty()) command = command.substr(0, command.find(" -delete"));
  InstallLauncher();
  if (!ResolveCommand(CurrentProgramHost(), command))
    throw std::runtime_error("the control end's uninstall entry names " + command +
                             ", and that program is not on the machine");
  out << "Starting " << command << " and waiting for it to end" << std::endl;
  const std::string ansi = Utf8ToCp936(command).value_or(command);
  if (win32::WinExec(ansi.c_str(), 1) <= 31) throw std::runtime_error(command + " could not be started");
  WaitForPrograms();
  out << "It has ended\n";
  return 0;
}

void ShowHosting(Machine& m, std::ostream& out) {
  out << "Hosting programs\n";
  bool any = false;
  for (HostingProgram p : hosting::AllPrograms()) {
    if (!hosting::HasProgram(m, p)) continue;
    any = true;
    out << "  " << std::left << std::setw(16) << hosting::TitleOf(p) << " ";
    if (p == HostingProgram::kSqlServer) {
      const auto service = m.FindService("MSSQLSERVER");
      out << "(local), service MSSQLSERVER " << (service ? service->state : "missing");
      auto catalogue = sqlserver::LoadCatalogue(m);
      const sqlserver::Login* sa = catalogue ? catalogue->FindLogin("sa") : nullptr;
      if (sa) out << ", sa password " << sa->password;
      out << "\n";
    } else {
      out << hosting::WhereOf(m, p) << "\n";
    }
  }
  if (!any) out << "  (none)\n";
}

}  // namespace quorvale::tool
