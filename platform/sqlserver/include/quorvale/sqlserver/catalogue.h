// What the server knows, kept in the machine folder as sqlserver/catalogue.txt:
// logins, databases with their files and users, and the processes (open
// connections). Read and written whole under the machine's state lock, so a
// statement either changes it all or not at all.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvale {
class Machine;
}

namespace quorvale::sqlserver {

struct Login {
  std::string name, password, default_database;
  long sid = 0;
  bool sysadmin = false;
};

// A user of a database, bound to a login by the login's sid. A user whose
// sid no login of this server has (a database attached from another
// server's files) is orphaned until sp_change_users_login binds it.
struct DatabaseUser {
  std::string name;
  long login_sid = 0;
  std::set<std::string> roles;
  bool operator==(const DatabaseUser&) const = default;
};

// A user as one line ("user", name, login sid, roles; tab-separated, ending
// in a line feed), in the catalogue and in a data file.
std::string FormatUserLine(const DatabaseUser& u);
// Nothing when the line (without its line feed) is no user line.
std::optional<DatabaseUser> ParseUserLine(const std::string& line);

struct Database {
  long dbid = 0;
  std::string name, mdf, ldf;  // Windows paths of the data and log files
  std::vector<DatabaseUser> users;
};

struct Process {
  long spid = 0;
  long host_pid = 0;  // the program that holds the connection
  long dbid = 0;
  std::string login;
};

struct Catalogue {
  std::vector<Login> logins;
  std::vector<Database> databases;
  std::vector<Process> processes;
  long next_spid = 51, next_dbid = 5, next_sid = 2;

  Login* FindLogin(const std::string& name);
  Login* FindLoginBySid(long sid);
  Database* FindDatabase(const std::string& name);
  Database* FindDatabase(long dbid);
  Process* FindProcess(long spid);
};

// Server names are compared without case, as on a case-insensitive server.
bool SameName(const std::string& a, const std::string& b);

std::filesystem::path CatalogueFile(const Machine& machine);

std::string FormatCatalogue(const Catalogue& c);
// Raises MachineStateError naming the file when the text is damaged.
Catalogue ParseCatalogue(const std::string& text, const std::filesystem::path& file);

// Nothing when the machine has no SQL Server.
std::optional<Catalogue> LoadCatalogue(const Machine& machine);
// Runs f on the catalogue under the exclusive lock, with the processes of
// programs that have ended taken out; writes it back when f returns true or
// when processes were taken out. False when the machine has no SQL Server.
bool UpdateCatalogue(const Machine& machine, const std::function<bool(Catalogue&)>& f);

// The initial password of the sa login on a machine given SQL Server.
inline constexpr const char* kInitialSaPassword = "Sa2000";

// Gives the machine a SQL Server 2000: the four system databases, the sa
// login with the given password, and the running service MSSQLSERVER.
// Raises MachineStateError when it already has one.
void InstallSqlServer(const Machine& machine, const std::string& sa_password = kInitialSaPassword);

// Takes SQL Server off the machine: the service MSSQLSERVER and the
// catalogue go, the databases' files stay where they are, as an uninstall
// of SQL Server leaves them. A damaged catalogue goes too. Raises
// MachineStateError when the machine has no SQL Server, or while a running
// program has a connection open (then nothing changes).
void RemoveSqlServer(const Machine& machine);

}  // namespace quorvale::sqlserver
