// The MySQL page: the MySQL server the hosting server offers and its
// administrator login, checked by a connection to mysql.
#pragma once

#include "quorvale/server/database_server_page.h"

namespace quorvale::server {

class MySQLPage : public DatabaseServerPage {
 public:
  explicit MySQLPage(setup::SetupProgram& program);

  ui::TextBox MySQLServer{*this, "MySQLServer"};
  ui::TextBox MySQLUserName{*this, "MySQLUserName"};
  ui::TextBox MySQLPassWord{*this, "MySQLPassWord"};
  ui::CommandButton MySQLTest{*this, "MySQLTest"};
};

}  // namespace quorvale::server
