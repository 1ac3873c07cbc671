// The server end's configuration step: System.ini in the install folder
// completed from the choices of the wizard's pages, key by key, with the
// script maps of the chosen script groups and the removal of the others.
#pragma once

#include <string>

#include "quorvale/setup/ini_helpers.h"
#include "quorvale/setup/step_reporter.h"

namespace quorvale::setup {

// What the step reads, as the pages hold it. Check boxes count as chosen
// only at the value 1, option buttons at true.
struct ServerChoices {
  std::string folder;  // Directory: the install folder as typed
  // Service page.
  bool imail = false;
  int sql_server = 0, my_sql = 0, net = 0, cgi = 0, php = 0, wap = 0;
  std::string serv_u_file;                                    // ServU page: File
  std::string php_file, cgi_file;                             // Script page: PHPFile, CGIFile
  std::string imail_path;                                     // Mail page: iMailPath
  std::string mssql_server, mssql_user_name, mssql_password;  // SQLServer page
  std::string mysql_server, mysql_user_name, mysql_password;  // MySQL page
  std::string os_name;                                        // Welcome's GetOSName
};

// "C:\winnt" when the Windows name is "Windows 2000" in any letter case,
// else "C:\WINDOWS", whatever folder Windows really lies in.
std::string ScriptMapWindowsFolder(const std::string& os_name);

// The step "正在修改配置文件...": bar 5300, then the keys in write order,
// widening the bar to 5400 ... 5900 on the way. Every write is resumed past.
void CompleteSystemIni(StepReporter& reporter, IniHelpers& ini, const ServerChoices& choices);

}  // namespace quorvale::setup
