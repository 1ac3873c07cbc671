#include "quorvale/setup/odbc_connection.h"

namespace quorvale::setup {

namespace {

std::string Connection(const std::string& driver, const std::string& server, const std::string& uid,
                       const std::string& pwd, const std::string& database) {
  return "driver={" + driver + "};server=" + OdbcValue(server) + ";uid=" + OdbcValue(uid) +
         ";pwd=" + OdbcValue(pwd) + ";database=" + OdbcValue(database);
}

}  // namespace

std::string OdbcValue(const std::string& value) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const bool plain = value.find_first_of(";{}") == std::string::npos &&
                     (value.empty() || (!blank(value.front()) && !blank(value.back())));
  if (plain) return value;
  std::string out = "{";
  for (char c : value) out += c == '}' ? std::string("}}") : std::string(1, c);
  return out + "}";
}

std::string SqlServerConnection(const std::string& server, const std::string& uid, const std::string& pwd,
                                const std::string& database) {
  return Connection("SQL server", server, uid, pwd, database);
}

std::string MySqlConnection(const std::string& server, const std::string& uid, const std::string& pwd) {
  return Connection("MySQL ODBC 3.51 Driver", server, uid, pwd, "mysql");
}

std::string LocalSqlServerConnection() { return SqlServerConnection("(local)", "", "", "master"); }

}  // namespace quorvale::setup
