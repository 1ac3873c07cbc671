// A hosting server: the programs a managed server runs beside IIS, which the
// server end's setup looks for (SQL Server, Serv-U, PHP, Perl, iMail,
// WinWebMail), added to a machine and taken off again. Each is a set of
// small stand-in files under its real names where the setup looks for them;
// SQL Server is the stand-in server of platform/sqlserver.
#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "quorvale/machine/machine.h"
#include "quorvale/sqlserver/catalogue.h"

namespace quorvale::hosting {

enum class HostingProgram { kSqlServer, kServU, kPhp, kPerl, kIMail, kWinWebMail };

// Every program, in the order above.
const std::vector<HostingProgram>& AllPrograms();
// The name a person types: "sqlserver", "servu", "php", "perl", "imail",
// "winwebmail".
std::string NameOf(HostingProgram program);
// As people write it: "SQL Server 2000", "Serv-U", "PHP", "Perl", "iMail",
// "WinWebMail".
std::string TitleOf(HostingProgram program);
// The program of a typed name (any letter case); nothing for another name.
std::optional<HostingProgram> ProgramNamed(const std::string& name);

// The password sa has on a hosting server unless another is given.
inline constexpr const char* kSaPassword = sqlserver::kInitialSaPassword;

// What a person is told that cannot be done (one line).
class HostingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool HasProgram(const Machine& machine, HostingProgram program);
// Where the setup finds the program on this machine: the file its page
// proposes, or the folder it asks for (iMail, WinWebMail); for SQL Server
// "(local)".
std::string WhereOf(const Machine& machine, HostingProgram program);

// Adds the program (SQL Server with sa's password). Raises HostingError when
// the machine has it already.
void AddProgram(const Machine& machine, HostingProgram program, const std::string& sa_password = kSaPassword);
// Removes the program's folder (SQL Server: its service, its catalogue and
// its program folder; the databases' files stay). Raises HostingError when
// the machine does not have it, or while a program holds a file of it open
// or has a connection open to it.
void RemoveProgram(const Machine& machine, HostingProgram program);

// The programs a new hosting server gets: all of them by default.
struct HostingSet {
  std::set<HostingProgram> programs{AllPrograms().begin(), AllPrograms().end()};
  std::string sa_password = kSaPassword;
};

// What Machine::Create and Machine::Reset add to make a hosting server of the set.
Machine::Furnish FurnishHostingServer(HostingSet set);

// A new hosting server in folder, as `quorvale-machine create` makes it:
// Machine::Create with the set's programs.
void CreateHostingServer(const std::filesystem::path& folder, const MachineShape& shape = {},
                         const HostingSet& set = {});

// The default machine, made on first use by the programs: a Windows Server
// 2003 with IIS and every hosting program (nothing is done when a machine is
// there; one being made is waited for).
void MakeDefaultMachineUnlessPresent(const std::filesystem::path& folder);

}  // namespace quorvale::hosting
