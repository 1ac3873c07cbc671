#include "quorvale/setup/sql_statements.h"

namespace quorvale::setup {

namespace {

std::string Doubled(const std::string& text, char c) {
  std::string out;
  for (char ch : text) {
    out += ch;
    if (ch == c) out += c;
  }
  return out;
}

}  // namespace

std::string SqlText(const std::string& value) { return "'" + Doubled(value, '\'') + "'"; }
std::string SqlName(const std::string& name) { return "[" + Doubled(name, ']') + "]"; }

std::string AttachStatement(const std::string& db, const std::string& folder) {
  return "USE master EXEC sp_attach_db @dbname = N" + SqlText(db) + ", @filename1= N" +
         SqlText(folder + "\\Data\\" + db + ".mdf") + ", @filename2= N" +
         SqlText(folder + "\\Data\\" + db + ".ldf");
}

std::string CreateLoginStatement(const std::string& login, const std::string& password,
                                 const std::string& db) {
  return "sp_addlogin " + SqlText(login) + "," + SqlText(password) + "," + SqlText(db);
}

std::string GrantAccessStatement(const std::string& login) { return "sp_grantdbaccess " + SqlText(login); }

std::string FixOrphanedUserStatement(const std::string& login) {
  return "sp_change_users_login 'AUTO_FIX'," + SqlText(login);
}

std::string MakeOwnerStatement(const std::string& login) {
  return "sp_addrolemember 'db_owner'," + SqlText(login);
}

std::string DatabasePresentQuery(const std::string& db) {
  return "select * from sysdatabases Where name = " + SqlText(db);
}

std::string LoginPresentQuery(const std::string& login) {
  return "Select * From sysxlogins Where name = " + SqlText(login);
}

std::string DatabaseProcessesQuery(const std::string& db) {
  return "select * from sysprocesses where dbid=db_id(" + SqlText(db) + ")";
}

std::string KillStatement(long spid) { return "kill " + std::to_string(spid); }

std::string DropDatabaseStatement(const std::string& db) { return "Drop Database " + SqlName(db); }

std::string DropLoginStatement(const std::string& login) { return "sp_droplogin " + SqlText(login); }

}  // namespace quorvale::setup
