#include "quorvale/sqlserver/catalogue.h"

#include <signal.h>

#include <cerrno>
#include <random>
#include <sstream>

#include "quorvale/core/text.h"
#include "quorvale/core/variant.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/state_file.h"

namespace quorvale::sqlserver {

namespace {

// One record a line: its kind, then tab-separated fields.
std::string Line(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + EscapeField(fields[i]);
  return out + "\n";
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    auto tab = line.find('\t', start);
    out.push_back(UnescapeField(line.substr(start, tab - start)));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

std::string Join(const std::set<std::string>& roles) {
  std::string out;
  for (const auto& r : roles) out += (out.empty() ? "" : ",") + r;
  return out;
}

std::set<std::string> Roles(const std::string& text) {
  std::set<std::string> out;
  std::istringstream in(text);
  for (std::string r; std::getline(in, r, ',');)
    if (!r.empty()) out.insert(r);
  return out;
}

std::optional<long> Number(const std::string& s) {
  try {
    std::size_t used = 0;
    long v = std::stol(s, &used);
    if (used == s.size()) return v;
  } catch (const std::logic_error&) {
  }
  return std::nullopt;
}

// Whether the machine has SQL Server: its catalogue is there. A catalogue
// gone from a machine that records the service is damage, not a machine
// without SQL Server.
bool Installed(const Machine& machine, const std::filesystem::path& file) {
  if (std::filesystem::exists(file)) return true;
  if (machine.FindService("MSSQLSERVER")) throw MachineStateError(file, "missing");
  return false;
}

bool Running(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

std::string FormatUserLine(const DatabaseUser& u) {
  return Line({"user", u.name, std::to_string(u.login_sid), Join(u.roles)});
}

std::optional<DatabaseUser> ParseUserLine(const std::string& line) {
  auto f = Split(line);
  if (f.size() != 4 || f[0] != "user") return std::nullopt;
  auto sid = Number(f[2]);
  if (!sid) return std::nullopt;
  return DatabaseUser{f[1], *sid, Roles(f[3])};
}

bool SameName(const std::string& a, const std::string& b) { return SameText(a, b); }

Login* Catalogue::FindLogin(const std::string& name) {
  for (auto& l : logins)
    if (SameName(l.name, name)) return &l;
  return nullptr;
}
Login* Catalogue::FindLoginBySid(long sid) {
  for (auto& l : logins)
    if (l.sid == sid) return &l;
  return nullptr;
}
Database* Catalogue::FindDatabase(const std::string& name) {
  for (auto& d : databases)
    if (SameName(d.name, name)) return &d;
  return nullptr;
}
Database* Catalogue::FindDatabase(long dbid) {
  for (auto& d : databases)
    if (d.dbid == dbid) return &d;
  return nullptr;
}
Process* Catalogue::FindProcess(long spid) {
  for (auto& p : processes)
    if (p.spid == spid) return &p;
  return nullptr;
}

std::filesystem::path CatalogueFile(const Machine& machine) {
  return machine.Folder() / "sqlserver" / "catalogue.txt";
}

std::string FormatCatalogue(const Catalogue& c) {
  std::string out =
      "# SQL Server of this machine. Lines: counters, login, database, user (of the database above),\n"
      "# process. Fields are tab-separated; %, tabs and line breaks are written %XX.\n";
  out += Line(
      {"counters", std::to_string(c.next_spid), std::to_string(c.next_dbid), std::to_string(c.next_sid)});
  for (const auto& l : c.logins)
    out += Line({"login", l.name, l.password, l.default_database, std::to_string(l.sid),
                 l.sysadmin ? "sysadmin" : "-"});
  for (const auto& d : c.databases) {
    out += Line({"database", std::to_string(d.dbid), d.name, d.mdf, d.ldf});
    for (const auto& u : d.users) out += FormatUserLine(u);
  }
  for (const auto& p : c.processes)
    out += Line(
        {"process", std::to_string(p.spid), std::to_string(p.host_pid), std::to_string(p.dbid), p.login});
  out += kRecordsEnd;
  out += '\n';
  return out;
}

Catalogue ParseCatalogue(const std::string& text, const std::filesystem::path& file) {
  Catalogue c;
  int number = 0;
  for (const std::string& line : StateFileLines(file, text, kRecordsEnd)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    auto f = Split(line);
    auto bad = [&] { return MachineStateError(file, "line " + std::to_string(number) + " is damaged"); };
    auto num = [&](const std::string& s) {
      if (auto v = Number(s)) return *v;
      throw bad();
    };
    const std::string& kind = f[0];
    if (kind == "counters" && f.size() == 4) {
      c.next_spid = num(f[1]);
      c.next_dbid = num(f[2]);
      c.next_sid = num(f[3]);
    } else if (kind == "login" && f.size() == 6) {
      c.logins.push_back({f[1], f[2], f[3], num(f[4]), f[5] == "sysadmin"});
    } else if (kind == "database" && f.size() == 5) {
      c.databases.push_back({num(f[1]), f[2], f[3], f[4], {}});
    } else if (kind == "user" && !c.databases.empty()) {
      auto user = ParseUserLine(line);
      if (!user) throw bad();
      c.databases.back().users.push_back(std::move(*user));
    } else if (kind == "process" && f.size() == 5) {
      c.processes.push_back({num(f[1]), num(f[2]), num(f[3]), f[4]});
    } else {
      throw bad();
    }
  }
  return c;
}

std::optional<Catalogue> LoadCatalogue(const Machine& machine) {
  const auto file = CatalogueFile(machine);
  if (!Installed(machine, file)) return std::nullopt;
  StateLock lock(file, false);
  auto text = ReadStateFile(file);
  if (!text) return std::nullopt;
  return ParseCatalogue(*text, file);
}

bool UpdateCatalogue(const Machine& machine, const std::function<bool(Catalogue&)>& f) {
  const auto file = CatalogueFile(machine);
  if (!Installed(machine, file)) return false;
  StateLock lock(file, true);
  auto text = ReadStateFile(file);
  if (!text) return false;
  Catalogue c = ParseCatalogue(*text, file);
  const auto before = c.processes.size();
  std::erase_if(c.processes, [](const Process& p) { return !Running(p.host_pid); });
  bool changed = f(c);
  if (changed || c.processes.size() != before) {
    WriteStateFile(file, FormatCatalogue(c), lock);
    lock.CountWrite();
  }
  return true;
}

void InstallSqlServer(const Machine& machine, const std::string& sa_password) {
  const auto file = CatalogueFile(machine);
  std::filesystem::create_directories(file.parent_path());
  StateLock lock(file, true);
  if (ReadStateFile(file)) throw MachineStateError(file, "the machine already has a SQL Server");
  const std::string data = "C:\\Program Files\\Microsoft SQL Server\\MSSQL\\Data\\";
  Catalogue c;
  // Logins of different servers never share a sid, as SQL Server's are
  // unique: a database attached from another server's files finds none of
  // its old logins here.
  std::random_device random;
  c.next_sid = (static_cast<long>(random() & 0xFFFFF) + 1) << 24;
  c.logins.push_back({"sa", sa_password, "master", 1, true});
  long dbid = 1;
  for (const char* name : {"master", "tempdb", "model", "msdb"}) {
    std::string base = std::string(name) == "master" ? "master" : name;
    c.databases.push_back(
        {dbid++, name, data + base + ".mdf", data + base + "log.ldf", {{"dbo", 1, {"db_owner"}}}});
  }
  WriteStateFile(file, FormatCatalogue(c), lock);
  lock.CountWrite();
  ServiceRecord service;
  service.name = "MSSQLSERVER";
  service.display_name = "MSSQLSERVER";
  service.binary_path = "C:\\Program Files\\Microsoft SQL Server\\MSSQL\\Binn\\sqlservr.exe";
  service.state = "running";
  machine.SetService(service);
}

void RemoveSqlServer(const Machine& machine) {
  const auto file = CatalogueFile(machine);
  StateLock lock(file, true);
  const auto text = ReadStateFile(file);
  if (!text && !machine.FindService("MSSQLSERVER"))
    throw MachineStateError::Plain(file, "the machine has no SQL Server");
  std::optional<Catalogue> c;
  try {
    if (text) c = ParseCatalogue(*text, file);
  } catch (const MachineStateError&) {
    // Damaged: nothing in it can be kept, so it goes as it is.
  }
  if (c)
    for (const auto& p : c->processes)
      if (Running(p.host_pid))
        throw MachineStateError::Plain(file, "SQL Server has a connection open (spid " +
                                                 std::to_string(p.spid) + " of process " +
                                                 std::to_string(p.host_pid) + "): end that program first");
  // The service first: a catalogue without the service is no server, a
  // service without its catalogue would be a damaged one.
  machine.RemoveService("MSSQLSERVER");
  std::filesystem::remove(file);
  lock.CountWrite();
}

}  // namespace quorvale::sqlserver
