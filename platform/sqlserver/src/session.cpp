#include "quorvale/sqlserver/session.h"

#include <unistd.h>

#include <algorithm>

#include "quorvale/machine/machine.h"
#include "quorvale/sqlserver/data_files.h"
#include "quorvale/sqlserver/sql_error.h"
#include "src/statements.h"

namespace quorvale::sqlserver {

namespace {

[[noreturn]] void NoServer() {
  throw SqlError("08001", 17,
                 "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.");
}

[[noreturn]] void LostConnection() {
  throw SqlError(
      "08S01", 10054,
      "[DBNETLIB][ConnectionWrite (send()).]General network error. Check your network documentation.");
}

// The names under which this machine's server is reached.
bool IsThisMachine(const Machine& machine, std::string server) {
  if (auto comma = server.find(','); comma != std::string::npos) server.resize(comma);  // ",1433"
  for (const char* local : {"(local)", ".", "localhost", "127.0.0.1"})
    if (SameName(server, local)) return true;
  return SameName(server, machine.Info().computer_name);
}

// A database keeps its users in its data file, as the server writes them
// there: files attached elsewhere later bring them along.
void WriteChangedUsers(const Machine& machine, const std::vector<Database>& before, const Catalogue& after) {
  for (const auto& d : after.databases) {
    if (d.dbid <= 4) continue;  // the system databases' files are not on the drives
    auto was =
        std::find_if(before.begin(), before.end(), [&](const Database& b) { return b.dbid == d.dbid; });
    if (was == before.end() || was->users != d.users)
      WriteDataFileUsers(machine.Resolve(d.mdf).host, d.users);
  }
}

}  // namespace

bool MayOpen(const Caller& caller, const Database& db) {
  if (caller.sysadmin) return true;
  for (const auto& u : db.users)
    if (u.login_sid == caller.login_sid || SameName(u.name, "guest")) return true;
  return false;
}

bool OwnsDatabase(const Caller& caller, const Database& db) {
  if (caller.sysadmin) return true;
  for (const auto& u : db.users)
    if (u.login_sid == caller.login_sid && u.roles.count("db_owner")) return true;
  return false;
}

std::unique_ptr<Session> Session::Connect(std::shared_ptr<Machine> machine, const ConnectRequest& request) {
  if (!IsThisMachine(*machine, request.server.empty() ? "(local)" : request.server)) NoServer();
  auto service = machine->FindService("MSSQLSERVER");
  if (!service || service->state != "running") NoServer();
  Caller caller;
  bool found = UpdateCatalogue(*machine, [&](Catalogue& c) {
    std::string database = request.database;
    if (request.uid.empty()) {
      // A trusted connection: the machine's administrator, a sysadmin.
      caller.login = machine->Info().computer_name + "\\Administrator";
      caller.sysadmin = true;
      if (database.empty()) database = "master";
    } else {
      Login* login = c.FindLogin(request.uid);
      if (!login || login->password != request.pwd)
        throw SqlError("28000", 18456, "Login failed for user '" + request.uid + "'.");
      caller.login = login->name;
      caller.login_sid = login->sid;
      caller.sysadmin = login->sysadmin;
      if (database.empty()) database = login->default_database;
    }
    Database* db = c.FindDatabase(database);
    if (!db || !MayOpen(caller, *db))
      throw SqlError("42000", 4060,
                     "Cannot open database requested in login '" + database + "'. Login fails.");
    caller.dbid = db->dbid;
    caller.spid = c.next_spid++;
    c.processes.push_back({caller.spid, static_cast<long>(::getpid()), caller.dbid, caller.login});
    HoldDatabaseFiles(*machine, c);
    return true;
  });
  if (!found) NoServer();
  CountSession(true);
  return std::unique_ptr<Session>(new Session(std::move(machine), std::move(caller)));
}

Session::~Session() {
  try {
    Disconnect();
  } catch (const std::exception&) {
    // The process line goes with the program that held it.
  }
}

void Session::Disconnect() {
  if (counted_) {
    counted_ = false;
    CountSession(false);
  }
  if (!connected_) return;
  connected_ = false;
  UpdateCatalogue(*machine_, [&](Catalogue& c) {
    return std::erase_if(c.processes, [&](const Process& p) { return p.spid == caller_.spid; }) > 0;
  });
}

std::optional<ResultSet> Session::Execute(const std::string& batch) {
  if (!connected_) LostConnection();
  const auto statements = ParseBatch(batch);
  std::optional<ResultSet> result;
  std::vector<std::string> deleted;
  std::optional<SqlError> failure;
  bool found = UpdateCatalogue(*machine_, [&](Catalogue& c) {
    if (!c.FindProcess(caller_.spid)) {
      connected_ = false;  // ended by KILL
      return false;
    }
    const std::vector<Database> before = c.databases;
    bool changed = false;
    for (const auto& statement : statements) {
      Catalogue work = c;
      Caller caller = caller_;
      StatementContext x{*machine_, work, caller, {}};
      try {
        std::visit(
            [&](const auto& s) {
              using T = std::decay_t<decltype(s)>;
              if constexpr (std::is_same_v<T, UseStatement>) RunUse(x, s.database);
              if constexpr (std::is_same_v<T, ExecStatement>) RunProcedure(x, s);
              if constexpr (std::is_same_v<T, KillStatement>) RunKill(x, s.spid);
              if constexpr (std::is_same_v<T, DropDatabaseStatement>)
                for (const auto& name : s.databases) RunDropDatabase(x, name);
              if constexpr (std::is_same_v<T, SelectStatement>) {
                auto rows = RunSelect(x, s);
                if (!result) result = std::move(rows);
              }
            },
            statement);
      } catch (const SqlError& e) {
        failure = e;
        break;
      }
      if (Process* self = work.FindProcess(caller.spid)) self->dbid = caller.dbid;
      c = std::move(work);
      caller_ = caller;
      deleted.insert(deleted.end(), x.files_to_delete.begin(), x.files_to_delete.end());
      changed = true;
    }
    WriteChangedUsers(*machine_, before, c);
    HoldDatabaseFiles(*machine_, c);
    return changed;
  });
  if (!found || !connected_) {
    connected_ = false;
    LostConnection();
  }
  // A dropped database takes its files with it.
  for (const auto& file : deleted) {
    auto r = machine_->Resolve(file);
    std::error_code ec;
    if (r.exists && std::filesystem::remove(r.host, ec)) machine_->ForgetPath(r.long_path);
  }
  if (failure) throw *failure;
  return result;
}

}  // namespace quorvale::sqlserver
