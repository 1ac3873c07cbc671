// USE, KILL, DROP DATABASE and SELECT from the system tables.
#include "src/statements.h"

#include <algorithm>

#include "quorvale/sqlserver/sql_error.h"

namespace quorvale::sqlserver {

namespace {

[[noreturn]] void Fail(int number, const std::string& message) { throw SqlError("42000", number, message); }

using Row = std::vector<std::optional<std::string>>;

struct Table {
  std::vector<std::string> columns;
  std::vector<bool> numeric;
  std::vector<Row> rows;
};

std::optional<std::string> Text(const std::string& s) { return s; }
std::optional<std::string> Number(long n) { return std::to_string(n); }

// A sid is binary on the server; here it shows as the text of its number.
Table SysDatabases(const Catalogue& c) {
  Table t{{"name", "dbid", "sid", "status", "filename"}, {false, true, false, true, false}, {}};
  for (const auto& d : c.databases) {
    long owner = 1;
    for (const auto& u : d.users)
      if (u.name == "dbo") owner = u.login_sid;
    t.rows.push_back({d.name, Number(d.dbid), Number(owner), Number(16), d.mdf});
  }
  return t;
}

Table SysXLogins(const Catalogue& c) {
  Table t{{"srvid", "sid", "name", "password", "dbid"}, {true, false, false, false, true}, {}};
  for (const auto& l : c.logins) {
    long dbid = 0;
    for (const auto& d : c.databases)
      if (SameName(d.name, l.default_database)) dbid = d.dbid;
    t.rows.push_back({std::nullopt, Number(l.sid), l.name, std::nullopt, Number(dbid)});
  }
  return t;
}

Table SysProcesses(const Catalogue& c, const Machine&) {
  Table t{{"spid", "dbid", "status", "loginame", "hostname", "cmd"},
          {true, true, false, false, false, false},
          {}};
  for (const auto& p : c.processes)
    t.rows.push_back(
        {Number(p.spid), Number(p.dbid), Text("sleeping"), p.login, Text(""), Text("AWAITING COMMAND")});
  return t;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

bool IsInteger(const std::string& s) {
  std::size_t i = !s.empty() && s[0] == '-';
  return i < s.size() && s.size() - i <= 18 &&
         std::all_of(s.begin() + static_cast<long>(i), s.end(),
                     [](char ch) { return ch >= '0' && ch <= '9'; });
}

// The value a condition compares with; nothing for NULL, which equals nothing.
std::optional<std::string> Resolve(StatementContext& x, const Value& v) {
  switch (v.kind) {
    case Value::Kind::kNull: return std::nullopt;
    case Value::Kind::kText:
    case Value::Kind::kNumber: return v.text;
    case Value::Kind::kDbId: {
      Database* db =
          v.db_id_of_current ? x.catalogue.FindDatabase(x.caller.dbid) : x.catalogue.FindDatabase(v.text);
      if (!db) return std::nullopt;
      return std::to_string(db->dbid);
    }
  }
  return std::nullopt;
}

}  // namespace

void RunUse(StatementContext& x, const std::string& name) {
  Database* db = x.catalogue.FindDatabase(name);
  if (!db)
    Fail(911, "Could not locate entry in sysdatabases for database '" + name +
                  "'. No entry found with that name. Make sure that the name is entered correctly.");
  if (!MayOpen(x.caller, *db))
    Fail(916, "Server user '" + x.caller.login + "' is not a valid user in database '" + db->name + "'.");
  x.caller.dbid = db->dbid;
}

void RunKill(StatementContext& x, long spid) {
  if (!x.caller.sysadmin) Fail(6102, "User does not have permission to use the KILL statement.");
  if (spid == x.caller.spid) Fail(6104, "Cannot use KILL to kill your own process.");
  if (spid < 51) Fail(6107, "Only user processes can be killed.");
  if (!x.catalogue.FindProcess(spid))
    Fail(6106, "Process ID " + std::to_string(spid) + " is not an active process ID.");
  std::erase_if(x.catalogue.processes, [&](const Process& p) { return p.spid == spid; });
}

void RunDropDatabase(StatementContext& x, const std::string& name) {
  Database* db = x.catalogue.FindDatabase(name);
  if (!db)
    Fail(3701, "Cannot drop the database '" + name + "', because it does not exist in the system catalog.");
  if (db->dbid <= 4)
    Fail(3708, "Cannot drop the database '" + db->name + "' because it is a system database.");
  if (!OwnsDatabase(x.caller, *db))
    Fail(262, "DROP DATABASE permission denied in database '" + db->name + "'.");
  for (const auto& p : x.catalogue.processes)
    if (p.dbid == db->dbid)
      Fail(3702, "Cannot drop the database '" + db->name + "' because it is currently in use.");
  x.files_to_delete.push_back(db->mdf);
  x.files_to_delete.push_back(db->ldf);
  const long dbid = db->dbid;
  std::erase_if(x.catalogue.databases, [&](const Database& d) { return d.dbid == dbid; });
}

ResultSet RunSelect(StatementContext& x, const SelectStatement& s) {
  const Database* in =
      s.database.empty() ? x.catalogue.FindDatabase(x.caller.dbid) : x.catalogue.FindDatabase(s.database);
  const std::string shown = s.database.empty() ? s.table : s.database + ".." + s.table;
  if (!in && !s.database.empty())
    Fail(911, "Could not locate entry in sysdatabases for database '" + s.database +
                  "'. No entry found with that name. Make sure that the name is entered correctly.");
  // These tables are master's alone.
  Table t;
  const bool master = in && in->dbid == 1;
  if (master && SameName(s.table, "sysdatabases"))
    t = SysDatabases(x.catalogue);
  else if (master && SameName(s.table, "sysxlogins"))
    t = SysXLogins(x.catalogue);
  else if (master && SameName(s.table, "sysprocesses"))
    t = SysProcesses(x.catalogue, x.machine);
  else
    Fail(208, "Invalid object name '" + shown + "'.");

  auto column = [&](const std::string& name) {
    for (std::size_t i = 0; i < t.columns.size(); ++i)
      if (SameName(t.columns[i], name)) return i;
    Fail(207, "Invalid column name '" + name + "'.");
  };
  std::vector<std::pair<std::size_t, std::optional<std::string>>> where;
  for (const auto& c : s.where) {
    std::size_t i = column(c.column);
    auto v = Resolve(x, c.value);
    if (v && t.numeric[i] && !IsInteger(*v))
      throw SqlError("22018", 245,
                     "Syntax error converting the varchar value '" + *v + "' to a column of data type int.");
    where.emplace_back(i, v);
  }
  std::vector<std::size_t> picked;
  if (s.columns.empty())
    for (std::size_t i = 0; i < t.columns.size(); ++i) picked.push_back(i);
  else
    for (const auto& name : s.columns) picked.push_back(column(name));

  ResultSet out;
  for (auto i : picked) {
    out.columns.push_back(t.columns[i]);
    out.numeric.push_back(t.numeric[i]);
  }
  for (const auto& row : t.rows) {
    bool match = std::all_of(where.begin(), where.end(), [&](const auto& w) {
      const auto& cell = row[w.first];
      if (!cell || !w.second) return false;
      if (t.numeric[w.first]) return std::stol(*cell) == std::stol(*w.second);
      return SameName(TrimRight(*cell), TrimRight(*w.second));
    });
    if (!match) continue;
    Row picked_row;
    for (auto i : picked) picked_row.push_back(row[i]);
    out.rows.push_back(std::move(picked_row));
  }
  return out;
}

}  // namespace quorvale::sqlserver
