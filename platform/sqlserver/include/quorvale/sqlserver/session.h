// One connection to the machine's SQL Server: a process of the server with
// its spid, its login and its current database. Every failure raises
// SqlError with the server's SQLSTATE, number and message.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/sqlserver/catalogue.h"

namespace quorvale::sqlserver {

struct ConnectRequest {
  std::string server = "(local)";
  std::string uid, pwd;  // an empty uid logs on as the machine's administrator
  std::string database;  // empty: the login's default database
};

struct ResultSet {
  std::vector<std::string> columns;
  std::vector<bool> numeric;  // per column: an int column, else text
  std::vector<std::vector<std::optional<std::string>>> rows;
};

// What a statement needs of its connection.
struct Caller {
  long spid = 0;
  std::string login;
  long login_sid = 0;  // 0 for the machine's administrator
  bool sysadmin = false;
  long dbid = 0;
};

class Session {
 public:
  // Fails for an unknown server, a machine without SQL Server or with its
  // service stopped, a wrong login or password, and a database the login
  // cannot open.
  static std::unique_ptr<Session> Connect(std::shared_ptr<Machine> machine, const ConnectRequest& request);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Runs the batch; the first result set it makes, if any. Statements run
  // in order and the batch stops at the first that fails; what the earlier
  // ones did stays, the failing one changes nothing.
  std::optional<ResultSet> Execute(const std::string& batch);
  void Disconnect();
  long Spid() const { return caller_.spid; }

 private:
  Session(std::shared_ptr<Machine> machine, Caller caller)
      : machine_(std::move(machine)), caller_(std::move(caller)) {}
  std::shared_ptr<Machine> machine_;
  Caller caller_;
  bool connected_ = true;  // false once closed or ended by KILL
  bool counted_ = true;
};

// Whether the login may open the database (a sysadmin, or a user of it).
bool MayOpen(const Caller& caller, const Database& db);
// Whether the caller owns the database (a sysadmin, or a db_owner member).
bool OwnsDatabase(const Caller& caller, const Database& db);

// Holds the data and log files of every attached database of the catalogue
// while this program has a connection open, and lets go of the files of
// databases that are gone.
void HoldDatabaseFiles(const Machine& machine, const Catalogue& catalogue);
// A connection of this program opened or closed; with the last one closed
// the files are let go.
void CountSession(bool opened);

}  // namespace quorvale::sqlserver
