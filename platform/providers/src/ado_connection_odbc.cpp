// OdbcConnection: the calls into unixODBC's driver manager.
#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <mutex>

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/providers/ado_connection.h"

namespace quorvale {

namespace {

SQLHENV Environment() {
  static SQLHENV env = [] {
    UseProjectOdbcRegistration();
    SQLHENV e = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &e)))
      throw RaisedError(ErrorNumber(Error::kAdoProvider),
                        "[unixODBC][Driver Manager]Cannot allocate an environment");
    SQLSetEnvAttr(e, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return e;
  }();
  return env;
}

// The first diagnostic record of the handle, as ADO shows it.
[[noreturn]] void Fail(SQLSMALLINT type, SQLHANDLE handle, const char* fallback) {
  SQLCHAR state[6] = {};
  SQLCHAR message[SQL_MAX_MESSAGE_LENGTH * 2] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  std::string text = fallback;
  if (SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length)))
    text = reinterpret_cast<const char*>(message);
  throw RaisedError(ErrorNumber(Error::kAdoProvider), text);
}

bool IntegerType(SQLSMALLINT t) { return t == SQL_INTEGER || t == SQL_SMALLINT || t == SQL_TINYINT; }

Variant Cell(SQLHSTMT stmt, SQLUSMALLINT column, bool integer) {
  std::string value;
  char buffer[4096];
  for (;;) {
    SQLLEN length = 0;
    SQLRETURN rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer, sizeof buffer, &length);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) Fail(SQL_HANDLE_STMT, stmt, "Cannot read a field");
    if (length == SQL_NULL_DATA) return Variant::Null();
    const bool cut =
        rc == SQL_SUCCESS_WITH_INFO && (length == SQL_NO_TOTAL || length >= SQLLEN(sizeof buffer));
    value.append(buffer, cut ? sizeof buffer - 1 : static_cast<std::size_t>(length));
    if (!cut) break;
  }
  if (integer) {
    try {
      return Variant(static_cast<std::int32_t>(std::stol(value)));
    } catch (const std::exception&) {
    }
  }
  return Variant(value);
}

}  // namespace

void UseProjectOdbcRegistration() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (std::getenv("ODBCSYSINI")) return;
    ::setenv("ODBCSYSINI", QUORVALE_ODBC_SYSINI, 1);
    ::setenv("ODBCINSTINI", "odbcinst.ini", 1);
  });
}

OdbcConnection::~OdbcConnection() { Close(); }

void OdbcConnection::Open(const std::string& connection_string) {
  SQLHENV env = Environment();
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)))
    Fail(SQL_HANDLE_ENV, env, "Cannot allocate a connection");
  SQLCHAR out[1024];
  SQLSMALLINT out_length = 0;
  SQLRETURN rc =
      SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string.c_str())),
                       SQL_NTS, out, sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    try {
      Fail(SQL_HANDLE_DBC, dbc, "[unixODBC][Driver Manager]Connection failed");
    } catch (...) {
      SQLFreeHandle(SQL_HANDLE_DBC, dbc);
      throw;
    }
  }
  dbc_ = dbc;
}

std::optional<RowSet> OdbcConnection::Execute(const std::string& sql) {
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt)))
    Fail(SQL_HANDLE_DBC, dbc_, "Cannot allocate a statement");
  struct Free {
    SQLHSTMT s;
    ~Free() { SQLFreeHandle(SQL_HANDLE_STMT, s); }
  } free_stmt{stmt};
  SQLRETURN rc = SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Fail(SQL_HANDLE_STMT, stmt, "The statement failed");
  for (;;) {
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    if (columns > 0) break;
    rc = SQLMoreResults(stmt);
    if (rc == SQL_NO_DATA) return std::nullopt;
    if (!SQL_SUCCEEDED(rc)) Fail(SQL_HANDLE_STMT, stmt, "The statement failed");
  }
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt, &columns);
  RowSet out;
  std::vector<bool> integer;
  for (SQLUSMALLINT c = 1; c <= columns; ++c) {
    SQLCHAR name[256] = {};
    SQLSMALLINT name_length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!SQL_SUCCEEDED(
            SQLDescribeCol(stmt, c, name, sizeof name, &name_length, &type, &size, &digits, &nullable)))
      Fail(SQL_HANDLE_STMT, stmt, "Cannot describe a column");
    out.names.emplace_back(reinterpret_cast<const char*>(name));
    integer.push_back(IntegerType(type));
  }
  while ((rc = SQLFetch(stmt)) != SQL_NO_DATA) {
    if (!SQL_SUCCEEDED(rc)) Fail(SQL_HANDLE_STMT, stmt, "Cannot fetch a row");
    std::vector<Variant> row;
    for (SQLUSMALLINT c = 1; c <= columns; ++c) row.push_back(Cell(stmt, c, integer[c - 1]));
    out.rows.push_back(std::move(row));
  }
  return out;
}

void OdbcConnection::Close() {
  if (!dbc_) return;
  SQLDisconnect(dbc_);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  dbc_ = nullptr;
}

}  // namespace quorvale
