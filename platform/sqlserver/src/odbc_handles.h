// The ODBC handles of the server's driver and their diagnostics.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/sqlserver/session.h"

namespace quorvale::sqlserver::odbc {

struct Diagnostic {
  std::string sqlstate;
  int native = 0;
  std::string message;
};

struct Handle {
  SQLSMALLINT type;
  std::vector<Diagnostic> diagnostics;
  explicit Handle(SQLSMALLINT t) : type(t) {}
  virtual ~Handle() = default;
  SQLRETURN Error(std::string sqlstate, int native, std::string message) {
    diagnostics.push_back({std::move(sqlstate), native, std::move(message)});
    return SQL_ERROR;
  }
};

struct Env : Handle {
  Env() : Handle(SQL_HANDLE_ENV) {}
  SQLINTEGER version = SQL_OV_ODBC3;
};

struct Dbc : Handle {
  Dbc() : Handle(SQL_HANDLE_DBC) {}
  std::unique_ptr<Session> session;
};

struct Stmt : Handle {
  explicit Stmt(Dbc* d) : Handle(SQL_HANDLE_STMT), dbc(d) {}
  Dbc* dbc;
  std::optional<ResultSet> result;
  long row = -1;                       // the current row, -1 before the first
  std::vector<std::size_t> read_from;  // SQLGetData's position in each column of the row
};

}  // namespace quorvale::sqlserver::odbc
