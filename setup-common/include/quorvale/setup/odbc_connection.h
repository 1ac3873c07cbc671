// Every ODBC connection string the programs open, made in one place.
#pragma once

#include <string>

namespace quorvale::setup {

// A value as a connection string holds it: in braces, with each "}" doubled,
// when it holds ";", "{" or "}" or begins or ends with a blank (so that it
// cannot end early, add a key or lose its blanks); otherwise as typed.
std::string OdbcValue(const std::string& value);

// "driver={SQL server};server=…;uid=…;pwd=…;database=…"
std::string SqlServerConnection(const std::string& server, const std::string& uid, const std::string& pwd,
                                const std::string& database);
// "driver={MySQL ODBC 3.51 Driver};server=…;uid=…;pwd=…;database=mysql"
std::string MySqlConnection(const std::string& server, const std::string& uid, const std::string& pwd);

// The repair's and the uninstall's second try: the machine's own SQL Server
// with the Windows login of whoever runs the program.
std::string LocalSqlServerConnection();

}  // namespace quorvale::setup
