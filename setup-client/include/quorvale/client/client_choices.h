// What the control end's pages hold, handed to its install sequence once,
// at its first step: each page fills its own part, and nothing later reads
// a page.
#pragma once

#include <string>

#include "quorvale/setup/panel_database.h"

namespace quorvale::client {

struct ClientChoices {
  // DataBase page: its two options; the administrator's login
  // (MSSQLServer, MSSQLUserName, MSSQLPassWord) and the panel's new
  // database (DataBase, UserName, PassWord), used with SQL Server only.
  bool access = false, sql_server = false;
  setup::ServerLogin administrator;
  setup::PanelDatabase database;
  std::string folder;  // Directory: the install folder as typed
  std::string domain;  // Domain: the host name as typed, "" for every name
};

}  // namespace quorvale::client
