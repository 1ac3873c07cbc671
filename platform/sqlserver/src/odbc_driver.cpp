// The ODBC entry points unixODBC's driver manager calls in this driver.
// Internal work goes through the functions of the anonymous namespace only:
// the driver manager exports the same names.
#include <cstring>

#include "quorvale/machine/machine.h"
#include "quorvale/sqlserver/connection_string.h"
#include "quorvale/sqlserver/sql_error.h"
#include "src/odbc_handles.h"

#define DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace quorvale::sqlserver::odbc {

namespace {

constexpr const char* kVendor = "[Quorvale][ODBC SQL Server Driver]";

std::string Text(const SQLCHAR* text, SQLINTEGER length) {
  if (!text) return {};
  if (length == SQL_NTS) return reinterpret_cast<const char*>(text);
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

// Copies text into a caller's buffer of `size` bytes; SQL_SUCCESS_WITH_INFO when cut.
template <class Len>
SQLRETURN Copy(Handle* h, const std::string& text, SQLCHAR* out, SQLINTEGER size, Len* length) {
  if (length) *length = static_cast<Len>(text.size());
  if (!out || size <= 0) return text.empty() ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = 0;
  if (n < text.size()) {
    if (h) h->diagnostics.push_back({"01004", 0, std::string(kVendor) + "String data, right truncation"});
    return SQL_SUCCESS_WITH_INFO;
  }
  return SQL_SUCCESS;
}

SQLRETURN Report(Handle* h, const SqlError& e) {
  std::string message = e.what();
  message = kVendor + (message.starts_with("[") ? message : "[SQL Server]" + message);
  return h->Error(e.SqlState(), e.Native(), message);
}

SQLRETURN Connect(Dbc* dbc, const std::string& text) {
  dbc->diagnostics.clear();
  if (dbc->session) return dbc->Error("08002", 0, std::string(kVendor) + "Connection name in use");
  try {
    ConnectRequest request;
    for (const auto& [key, value] : ParseConnectionString(text)) {
      if (key == "SERVER" || key == "ADDRESS" || key == "DATA SOURCE") request.server = value;
      if (key == "UID" || key == "USER ID") request.uid = value;
      if (key == "PWD" || key == "PASSWORD") request.pwd = value;
      if (key == "DATABASE" || key == "INITIAL CATALOG") request.database = value;
    }
    dbc->session = Session::Connect(CurrentMachine(), request);
    return SQL_SUCCESS;
  } catch (const SqlError& e) {
    return Report(dbc, e);
  } catch (const std::exception& e) {
    return dbc->Error("HY000", 0, std::string(kVendor) + e.what());
  }
}

SQLRETURN Execute(Stmt* s, const std::string& sql) {
  s->diagnostics.clear();
  s->result.reset();
  s->row = -1;
  if (!s->dbc->session) return s->Error("08003", 0, std::string(kVendor) + "Connection not open");
  try {
    s->result = s->dbc->session->Execute(sql);
    return SQL_SUCCESS;
  } catch (const SqlError& e) {
    return Report(s, e);
  } catch (const std::exception& e) {
    return s->Error("HY000", 0, std::string(kVendor) + e.what());
  }
}

SQLRETURN Free(SQLSMALLINT type, SQLHANDLE handle) {
  auto* h = static_cast<Handle*>(handle);
  if (!h || h->type != type) return SQL_INVALID_HANDLE;
  delete h;
  return SQL_SUCCESS;
}

bool ValidColumn(Stmt* s, SQLUSMALLINT column) {
  return s->result && column >= 1 && column <= s->result->columns.size();
}

}  // namespace

}  // namespace quorvale::sqlserver::odbc

using namespace quorvale::sqlserver::odbc;

DRIVER_EXPORT SQLRETURN SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  if (!output) return SQL_ERROR;
  *output = nullptr;
  switch (type) {
    case SQL_HANDLE_ENV: *output = new Env; return SQL_SUCCESS;
    case SQL_HANDLE_DBC:
      if (!input) return SQL_INVALID_HANDLE;
      *output = new Dbc;
      return SQL_SUCCESS;
    case SQL_HANDLE_STMT: {
      auto* dbc = static_cast<Dbc*>(input);
      if (!dbc || dbc->type != SQL_HANDLE_DBC) return SQL_INVALID_HANDLE;
      *output = new Stmt(dbc);
      return SQL_SUCCESS;
    }
    default: return SQL_ERROR;
  }
}

DRIVER_EXPORT SQLRETURN SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) { return Free(type, handle); }

DRIVER_EXPORT SQLRETURN SQLFreeStmt(SQLHSTMT handle, SQLUSMALLINT option) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (option == SQL_DROP) return Free(SQL_HANDLE_STMT, handle);
  if (option == SQL_CLOSE) {
    s->result.reset();
    s->row = -1;
  }
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLCloseCursor(SQLHSTMT handle) { return SQLFreeStmt(handle, SQL_CLOSE); }

DRIVER_EXPORT SQLRETURN SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER) {
  auto* e = static_cast<Env*>(env);
  if (!e) return SQL_INVALID_HANDLE;
  if (attribute == SQL_ATTR_ODBC_VERSION)
    e->version = static_cast<SQLINTEGER>(reinterpret_cast<std::intptr_t>(value));
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLGetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                                      SQLINTEGER*) {
  auto* e = static_cast<Env*>(env);
  if (!e) return SQL_INVALID_HANDLE;
  if (attribute == SQL_ATTR_ODBC_VERSION && value) *static_cast<SQLINTEGER*>(value) = e->version;
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLSetConnectAttr(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return SQL_SUCCESS; }

DRIVER_EXPORT SQLRETURN SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                                          SQLINTEGER*) {
  auto* d = static_cast<Dbc*>(dbc);
  if (!d) return SQL_INVALID_HANDLE;
  if (!value) return SQL_SUCCESS;
  if (attribute == SQL_ATTR_CONNECTION_DEAD)
    *static_cast<SQLUINTEGER*>(value) = d->session ? SQL_CD_FALSE : SQL_CD_TRUE;
  if (attribute == SQL_ATTR_AUTOCOMMIT) *static_cast<SQLUINTEGER*>(value) = SQL_AUTOCOMMIT_ON;
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLSetStmtAttr(SQLHSTMT, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return SQL_SUCCESS; }

DRIVER_EXPORT SQLRETURN SQLGetStmtAttr(SQLHSTMT handle, SQLINTEGER, SQLPOINTER value, SQLINTEGER,
                                       SQLINTEGER*) {
  if (!handle) return SQL_INVALID_HANDLE;
  if (value) *static_cast<SQLPOINTER*>(value) = nullptr;
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT in_length,
                                         SQLCHAR* out, SQLSMALLINT out_size, SQLSMALLINT* out_length,
                                         SQLUSMALLINT) {
  auto* d = static_cast<Dbc*>(dbc);
  if (!d || d->type != SQL_HANDLE_DBC) return SQL_INVALID_HANDLE;
  const std::string text = Text(in, in_length);
  SQLRETURN rc = Connect(d, text);
  if (SQL_SUCCEEDED(rc)) Copy(nullptr, text, out, out_size, out_length);
  return rc;
}

DRIVER_EXPORT SQLRETURN SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsn_length, SQLCHAR* uid,
                                   SQLSMALLINT uid_length, SQLCHAR* pwd, SQLSMALLINT pwd_length) {
  auto* d = static_cast<Dbc*>(dbc);
  if (!d || d->type != SQL_HANDLE_DBC) return SQL_INVALID_HANDLE;
  (void)Text(dsn, dsn_length);  // a data source names this machine's server
  return Connect(d, "UID=" + Text(uid, uid_length) + ";PWD=" + Text(pwd, pwd_length));
}

DRIVER_EXPORT SQLRETURN SQLDisconnect(SQLHDBC dbc) {
  auto* d = static_cast<Dbc*>(dbc);
  if (!d || d->type != SQL_HANDLE_DBC) return SQL_INVALID_HANDLE;
  d->session.reset();
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLExecDirect(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER length) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  return Execute(s, Text(text, length));
}

DRIVER_EXPORT SQLRETURN SQLNumResultCols(SQLHSTMT handle, SQLSMALLINT* count) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (count) *count = s->result ? static_cast<SQLSMALLINT>(s->result->columns.size()) : 0;
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLRowCount(SQLHSTMT handle, SQLLEN* count) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (count) *count = s->result ? static_cast<SQLLEN>(s->result->rows.size()) : -1;
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLMoreResults(SQLHSTMT handle) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  s->result.reset();
  return SQL_NO_DATA;
}

DRIVER_EXPORT SQLRETURN SQLDescribeCol(SQLHSTMT handle, SQLUSMALLINT column, SQLCHAR* name,
                                       SQLSMALLINT name_size, SQLSMALLINT* name_length, SQLSMALLINT* type,
                                       SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (!ValidColumn(s, column)) return s->Error("07009", 0, std::string(kVendor) + "Invalid descriptor index");
  const bool numeric = s->result->numeric[column - 1];
  if (type) *type = numeric ? SQL_INTEGER : SQL_VARCHAR;
  if (size) *size = numeric ? 10 : 256;
  if (digits) *digits = 0;
  if (nullable) *nullable = SQL_NULLABLE;
  return Copy(s, s->result->columns[column - 1], name, name_size, name_length);
}

DRIVER_EXPORT SQLRETURN SQLColAttribute(SQLHSTMT handle, SQLUSMALLINT column, SQLUSMALLINT field,
                                        SQLPOINTER text, SQLSMALLINT size, SQLSMALLINT* length,
                                        SQLLEN* number) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (!ValidColumn(s, column)) return s->Error("07009", 0, std::string(kVendor) + "Invalid descriptor index");
  const bool numeric = s->result->numeric[column - 1];
  switch (field) {
    case SQL_DESC_NAME:
    case SQL_DESC_LABEL:
      return Copy(s, s->result->columns[column - 1], static_cast<SQLCHAR*>(text), size, length);
    case SQL_DESC_TYPE:
    case SQL_DESC_CONCISE_TYPE:
      if (number) *number = numeric ? SQL_INTEGER : SQL_VARCHAR;
      return SQL_SUCCESS;
    case SQL_DESC_COUNT:
      if (number) *number = static_cast<SQLLEN>(s->result->columns.size());
      return SQL_SUCCESS;
    default:
      if (number) *number = 0;
      return SQL_SUCCESS;
  }
}

DRIVER_EXPORT SQLRETURN SQLFetch(SQLHSTMT handle) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (!s->result) return s->Error("24000", 0, std::string(kVendor) + "Invalid cursor state");
  if (s->row + 1 >= static_cast<long>(s->result->rows.size())) {
    s->row = static_cast<long>(s->result->rows.size());
    return SQL_NO_DATA;
  }
  ++s->row;
  s->read_from.assign(s->result->columns.size(), 0);
  return SQL_SUCCESS;
}

DRIVER_EXPORT SQLRETURN SQLGetData(SQLHSTMT handle, SQLUSMALLINT column, SQLSMALLINT target, SQLPOINTER out,
                                   SQLLEN size, SQLLEN* length) {
  auto* s = static_cast<Stmt*>(handle);
  if (!s || s->type != SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  if (!ValidColumn(s, column)) return s->Error("07009", 0, std::string(kVendor) + "Invalid descriptor index");
  if (s->row < 0 || s->row >= static_cast<long>(s->result->rows.size()))
    return s->Error("24000", 0, std::string(kVendor) + "Invalid cursor state");
  const auto& cell = s->result->rows[static_cast<std::size_t>(s->row)][column - 1];
  if (!cell) {
    if (!length)
      return s->Error("22002", 0, std::string(kVendor) + "Indicator variable required but not supplied");
    *length = SQL_NULL_DATA;
    return SQL_SUCCESS;
  }
  if (target == SQL_C_LONG || target == SQL_C_SLONG) {
    // No exception may cross into the driver manager: text that is no number is an error.
    long number = 0;
    try {
      number = std::stol(*cell);
    } catch (const std::exception&) {
      return s->Error("22018", 0, std::string(kVendor) + "Invalid character value for cast");
    }
    if (out) *static_cast<SQLINTEGER*>(out) = static_cast<SQLINTEGER>(number);
    if (length) *length = sizeof(SQLINTEGER);
    return SQL_SUCCESS;
  }
  if (target != SQL_C_CHAR && target != SQL_C_DEFAULT)
    return s->Error("HYC00", 0, std::string(kVendor) + "Optional feature not implemented");
  // Long text comes in parts over several calls.
  std::size_t& from = s->read_from[column - 1];
  if (from > 0 && from >= cell->size()) return SQL_NO_DATA;
  const std::string rest = cell->substr(from);
  SQLRETURN rc = Copy(s, rest, static_cast<SQLCHAR*>(out), static_cast<SQLINTEGER>(size), length);
  from += size > 0 ? std::min<std::size_t>(rest.size(), static_cast<std::size_t>(size - 1)) : 0;
  if (rest.empty()) from = 1;
  return rc;
}

DRIVER_EXPORT SQLRETURN SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                      SQLCHAR* sqlstate, SQLINTEGER* native, SQLCHAR* message,
                                      SQLSMALLINT size, SQLSMALLINT* length) {
  auto* h = static_cast<Handle*>(handle);
  if (!h || h->type != type) return SQL_INVALID_HANDLE;
  if (record < 1 || static_cast<std::size_t>(record) > h->diagnostics.size()) return SQL_NO_DATA;
  const auto& d = h->diagnostics[static_cast<std::size_t>(record - 1)];
  if (sqlstate) std::memcpy(sqlstate, d.sqlstate.c_str(), 6);
  if (native) *native = d.native;
  return Copy(static_cast<Handle*>(nullptr), d.message, message, size, length);
}

DRIVER_EXPORT SQLRETURN SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                        SQLSMALLINT field, SQLPOINTER out, SQLSMALLINT size,
                                        SQLSMALLINT* length) {
  auto* h = static_cast<Handle*>(handle);
  if (!h || h->type != type) return SQL_INVALID_HANDLE;
  if (record == 0) {
    if (field == SQL_DIAG_NUMBER && out)
      *static_cast<SQLINTEGER*>(out) = static_cast<SQLINTEGER>(h->diagnostics.size());
    if (field == SQL_DIAG_RETURNCODE && out) *static_cast<SQLRETURN*>(out) = SQL_SUCCESS;
    return SQL_SUCCESS;
  }
  if (record < 1 || static_cast<std::size_t>(record) > h->diagnostics.size()) return SQL_NO_DATA;
  const auto& d = h->diagnostics[static_cast<std::size_t>(record - 1)];
  switch (field) {
    case SQL_DIAG_SQLSTATE:
      return Copy(static_cast<Handle*>(nullptr), d.sqlstate, static_cast<SQLCHAR*>(out), size, length);
    case SQL_DIAG_MESSAGE_TEXT:
      return Copy(static_cast<Handle*>(nullptr), d.message, static_cast<SQLCHAR*>(out), size, length);
    case SQL_DIAG_NATIVE:
      if (out) *static_cast<SQLINTEGER*>(out) = d.native;
      return SQL_SUCCESS;
    default: return SQL_ERROR;
  }
}

DRIVER_EXPORT SQLRETURN SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER out, SQLSMALLINT size,
                                   SQLSMALLINT* length) {
  if (!dbc) return SQL_INVALID_HANDLE;
  auto text = [&](const char* t) {
    return Copy(static_cast<Handle*>(nullptr), t, static_cast<SQLCHAR*>(out), size, length);
  };
  switch (type) {
    case SQL_DRIVER_ODBC_VER: return text("03.00");
    case SQL_DRIVER_NAME: return text("libquorvale_sqlserver.so");
    case SQL_DRIVER_VER: return text("2000.80.194");
    case SQL_DBMS_NAME: return text("Microsoft SQL Server");
    case SQL_DBMS_VER: return text("08.00.0194");
    case SQL_GETDATA_EXTENSIONS:
      if (out) *static_cast<SQLUINTEGER*>(out) = SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER;
      return SQL_SUCCESS;
    default:
      if (out && size >= static_cast<SQLSMALLINT>(sizeof(SQLUINTEGER))) *static_cast<SQLUINTEGER*>(out) = 0;
      return SQL_SUCCESS;
  }
}

DRIVER_EXPORT SQLRETURN SQLEndTran(SQLSMALLINT, SQLHANDLE, SQLSMALLINT) { return SQL_SUCCESS; }
