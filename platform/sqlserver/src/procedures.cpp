// The system stored procedures the server accepts.
#include <functional>
#include <map>

#include "quorvale/core/text.h"
#include "quorvale/machine/machine.h"
#include "quorvale/sqlserver/data_files.h"
#include "quorvale/sqlserver/sql_error.h"
#include "src/statements.h"

namespace quorvale::sqlserver {

namespace {

[[noreturn]] void Fail(int number, const std::string& message) { throw SqlError("42000", number, message); }

// Arguments bound to the procedure's parameters; NULL stays unset.
using Arguments = std::vector<std::optional<std::string>>;

struct Procedure {
  std::vector<std::string> params;
  std::size_t required;
  std::function<void(StatementContext&, const Arguments&)> run;
};

[[noreturn]] void NotADatabaseFile(const std::string& file) {
  Fail(5172, "The header for file '" + file +
                 "' is not a valid database file header. The PageAudit property is incorrect.");
}

Arguments Bind(const std::string& name, const Procedure& p, const ExecStatement& e) {
  Arguments out(p.params.size());
  std::vector<bool> given(p.params.size());
  bool named = false;
  for (std::size_t n = 0; n < e.arguments.size(); ++n) {
    const auto& a = e.arguments[n];
    std::size_t at = n;
    if (a.name.empty()) {
      if (named)
        Fail(119,
             "Must pass parameter number " + std::to_string(n + 1) +
                 " and subsequent parameters as '@name = value'. After the form '@name = value' has been "
                 "used, all subsequent parameters must be passed in the form '@name = value'.");
      if (n >= p.params.size())
        Fail(8144, "Procedure or function " + name + " has too many arguments specified.");
    } else {
      named = true;
      at = p.params.size();
      for (std::size_t i = 0; i < p.params.size(); ++i)
        if (SameName(p.params[i], a.name)) at = i;
      if (at == p.params.size()) Fail(8145, a.name + " is not a parameter for procedure " + name + ".");
    }
    given[at] = true;
    if (a.value.kind == Value::Kind::kDbId) IncorrectSyntax("(");
    if (a.value.kind != Value::Kind::kNull) out[at] = a.value.text;
  }
  for (std::size_t i = 0; i < p.required; ++i)
    if (!given[i])
      Fail(201, "Procedure '" + name + "' expects parameter '" + p.params[i] + "', which was not supplied.");
  return out;
}

Database& Current(StatementContext& x) { return *x.catalogue.FindDatabase(x.caller.dbid); }

void RequireOwner(StatementContext& x) {
  if (!OwnsDatabase(x.caller, Current(x)))
    Fail(15247, "User does not have permission to perform this action.");
}

void RequireSysadmin(StatementContext& x) {
  if (!x.caller.sysadmin) Fail(15247, "User does not have permission to perform this action.");
}

void AttachDb(StatementContext& x, const Arguments& a) {
  RequireSysadmin(x);
  const std::string name = a[0].value_or("");
  if (name.empty()) Fail(15010, "The database '' does not exist. Supply a valid database name.");
  if (x.catalogue.FindDatabase(name)) Fail(1801, "Database '" + name + "' already exists.");
  std::vector<std::string> files;
  for (std::size_t i = 1; i < a.size(); ++i)
    if (a[i]) files.push_back(*a[i]);
  if (files.empty()) Fail(5105, "Device activation error. The physical file name '' may be incorrect.");
  for (const auto& f : files) {
    auto r = x.machine.Resolve(f);
    if (!r.exists || r.is_directory || f.size() < 3 || f[1] != ':')
      Fail(5105, "Device activation error. The physical file name '" + f + "' may be incorrect.");
    for (const auto& d : x.catalogue.databases)
      if (SameName(d.mdf, r.long_path) || SameName(d.ldf, r.long_path))
        Fail(5105, "Device activation error. The physical file name '" + f + "' may be incorrect.");
    if (x.machine.IsHeld(r.long_path))
      Fail(5123,
           "CREATE FILE encountered operating system error 32(The process cannot access the file because "
           "it is being used by another process.) while attempting to open or create the physical file '" +
               f + "'.");
  }
  // The first file is the data file, with the database's users; the others its log.
  auto users = ReadDataFileUsers(x.machine.Resolve(files[0]).host);
  if (!users) NotADatabaseFile(files[0]);
  for (std::size_t i = 1; i < files.size(); ++i)
    if (!IsLogFile(x.machine.Resolve(files[i]).host)) NotADatabaseFile(files[i]);
  if (files.size() < 2) Fail(1813, "Could not open new database '" + name + "'. CREATE DATABASE is aborted.");
  Database db;
  db.dbid = x.catalogue.next_dbid++;
  db.name = name;
  db.mdf = x.machine.Resolve(files[0]).long_path;
  db.ldf = x.machine.Resolve(files[1]).long_path;
  // The one who attaches owns the database; the other users keep the sids
  // of the logins they had where the files come from, orphaned unless this
  // server has a login of that sid.
  std::erase_if(*users, [](const DatabaseUser& u) { return SameName(u.name, "dbo"); });
  db.users.push_back({"dbo", x.caller.login_sid ? x.caller.login_sid : 1, {"db_owner"}});
  db.users.insert(db.users.end(), users->begin(), users->end());
  x.catalogue.databases.push_back(std::move(db));
}

void AddLogin(StatementContext& x, const Arguments& a) {
  RequireSysadmin(x);
  const std::string name = a[0].value_or("");
  if (name.empty() || name.find('\\') != std::string::npos)
    Fail(15006, "'" + name + "' is not a valid name because it contains invalid characters.");
  if (x.catalogue.FindLogin(name)) Fail(15025, "The login '" + name + "' already exists.");
  std::string database = a[2].value_or("master");
  Database* db = x.catalogue.FindDatabase(database);
  if (!db) Fail(15010, "The database '" + database + "' does not exist. Supply a valid database name.");
  x.catalogue.logins.push_back({name, a[1].value_or(""), db->name, x.catalogue.next_sid++, false});
}

void GrantDbAccess(StatementContext& x, const Arguments& a) {
  RequireOwner(x);
  const std::string name = *a[0];
  Login* login = x.catalogue.FindLogin(name);
  if (!login) Fail(15007, "'" + name + "' is not a valid login or you do not have permission.");
  Database& db = Current(x);
  const std::string user = a[1].value_or(login->name);
  for (const auto& u : db.users) {
    if (SameName(u.name, user))
      Fail(15023, "User or role '" + user + "' already exists in the current database.");
    if (u.login_sid == login->sid)
      Fail(15063, "The login already has an account under a different user name.");
  }
  db.users.push_back({user, login->sid, {}});
}

void ChangeUsersLogin(StatementContext& x, const Arguments& a) {
  RequireOwner(x);
  const std::string action = a[0].value_or("");
  if (!SameName(action, "AUTO_FIX"))
    Fail(15600, "Terminating this procedure. The Action '" + action +
                    "' is incompatible with the other parameter values.");
  const std::string user = a[1].value_or("");
  Database& db = Current(x);
  DatabaseUser* found = nullptr;
  for (auto& u : db.users)
    if (SameName(u.name, user)) found = &u;
  if (!found || SameName(user, "dbo"))
    Fail(15291, "Terminating this procedure. The User name '" + user + "' is absent or invalid.");
  if (x.catalogue.FindLoginBySid(found->login_sid)) return;  // not orphaned: nothing to fix
  Login* login = x.catalogue.FindLogin(a[2].value_or(user));
  if (!login) Fail(15291, "Terminating this procedure. The Login name '" + user + "' is absent or invalid.");
  found->login_sid = login->sid;
}

void AddRoleMember(StatementContext& x, const Arguments& a) {
  RequireOwner(x);
  static const char* const kRoles[] = {"db_owner",      "db_accessadmin",    "db_securityadmin",
                                       "db_ddladmin",   "db_backupoperator", "db_datareader",
                                       "db_datawriter", "db_denydatareader", "db_denydatawriter"};
  const std::string role = *a[0], member = *a[1];
  std::string known;
  for (const char* r : kRoles)
    if (SameName(r, role)) known = r;
  if (known.empty()) Fail(15014, "The role '" + role + "' does not exist in the current database.");
  for (auto& u : Current(x).users)
    if (SameName(u.name, member)) {
      u.roles.insert(known);
      return;
    }
  Fail(15410, "User or role '" + member + "' does not exist in this database.");
}

void DropLogin(StatementContext& x, const Arguments& a) {
  RequireSysadmin(x);
  const std::string name = *a[0];
  Login* login = x.catalogue.FindLogin(name);
  if (!login) Fail(15007, "'" + name + "' is not a valid login or you do not have permission.");
  if (SameName(login->name, "sa")) Fail(15405, "Cannot use the reserved user or role name 'sa'.");
  for (const auto& d : x.catalogue.databases)
    for (const auto& u : d.users)
      if (u.login_sid == login->sid)
        Fail(15175, "Login '" + login->name +
                        "' is aliased or mapped to a user in one or more database(s). Drop the user or alias "
                        "before dropping the login.");
  const long sid = login->sid;
  std::erase_if(x.catalogue.logins, [&](const Login& l) { return l.sid == sid; });
}

const std::map<std::string, Procedure>& Procedures() {
  static const std::map<std::string, Procedure> table = [] {
    std::vector<std::string> attach{"@dbname"};
    for (int i = 1; i <= 16; ++i) attach.push_back("@filename" + std::to_string(i));
    return std::map<std::string, Procedure>{
        {"SP_ATTACH_DB", {attach, 2, AttachDb}},
        {"SP_ADDLOGIN",
         {{"@loginame", "@passwd", "@defdb", "@deflanguage", "@sid", "@encryptopt"}, 1, AddLogin}},
        {"SP_GRANTDBACCESS", {{"@loginame", "@name_in_db"}, 1, GrantDbAccess}},
        {"SP_CHANGE_USERS_LOGIN",
         {{"@Action", "@UserNamePattern", "@LoginName", "@Password"}, 1, ChangeUsersLogin}},
        {"SP_ADDROLEMEMBER", {{"@rolename", "@membername"}, 2, AddRoleMember}},
        {"SP_DROPLOGIN", {{"@loginame"}, 1, DropLogin}},
    };
  }();
  return table;
}

}  // namespace

void RunProcedure(StatementContext& x, const ExecStatement& e) {
  const std::string key = UpperCase(e.procedure);
  auto it = Procedures().find(key);
  if (it == Procedures().end()) Fail(2812, "Could not find stored procedure '" + e.procedure + "'.");
  Arguments a = Bind(e.procedure, it->second, e);
  for (std::size_t i = 0; i < it->second.required; ++i)
    if (!a[i]) a[i] = "";
  it->second.run(x, a);
}

}  // namespace quorvale::sqlserver
