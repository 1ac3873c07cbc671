// The SQLServer page: the SQL Server the hosting server offers and its
// administrator login, checked by a connection to master.
#pragma once

#include "quorvale/server/database_server_page.h"

namespace quorvale::server {

class SQLServerPage : public DatabaseServerPage {
 public:
  explicit SQLServerPage(setup::SetupProgram& program);

  ui::TextBox MSSQLServer{*this, "MSSQLServer"};
  ui::TextBox MSSQLUserName{*this, "MSSQLUserName"};
  ui::TextBox MSSQLPassWord{*this, "MSSQLPassWord"};
  ui::CommandButton MSSQLTest{*this, "MSSQLTest"};
};

}  // namespace quorvale::server
