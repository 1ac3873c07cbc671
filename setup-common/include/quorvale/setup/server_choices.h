// What the server end's pages hold, handed to its install sequence once, at
// its first step: each page fills its own part, and no later step reads a
// page's boxes. Check boxes count as chosen only at the value 1, option
// buttons at true.
#pragma once

#include <string>

namespace quorvale::setup {

struct ServerChoices {
  std::string folder;  // Directory: the install folder as typed
  // Service page: the mail options (both false with NoMail) and the boxes'
  // values.
  bool imail = false, winwebmail = false;
  int sql_server = 0, my_sql = 0, net = 0, cgi = 0, php = 0, wap = 0;
  std::string serv_u_file;                                    // ServU page: File
  std::string php_file, cgi_file;                             // Script page: PHPFile, CGIFile
  std::string imail_path, winwebmail_path;                    // Mail page: iMailPath, WinWebMailPath
  std::string mssql_server, mssql_user_name, mssql_password;  // SQLServer page
  std::string mysql_server, mysql_user_name, mysql_password;  // MySQL page
  // Welcome's GetOSName, asked by the configuration step itself.
  std::string os_name;
};

}  // namespace quorvale::setup
