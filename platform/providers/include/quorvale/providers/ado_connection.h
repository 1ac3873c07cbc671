// ADODB.Connection over unixODBC: connection strings go to the driver
// manager as they stand (SQLDriverConnect), so "{SQL server}" and "{MySQL
// ODBC 3.51 Driver}" reach whatever driver the ODBC registration names.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/com/unknown.h"
#include "quorvale/core/variant.h"
#include "quorvale/machine/registry_store.h"

namespace quorvale {

inline constexpr const char* kAdoConnectionClsid = "{00000514-0000-0010-8000-00AA006D2EA4}";

// Rows a statement returned, read whole.
struct RowSet {
  std::vector<std::string> names;
  std::vector<std::vector<Variant>> rows;
};

// One ODBC connection. Failures raise Error::kAdoProvider's number with the
// driver's message as the description.
class OdbcConnection {
 public:
  OdbcConnection() = default;
  ~OdbcConnection();
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  void Open(const std::string& connection_string);
  bool IsOpen() const { return dbc_ != nullptr; }
  // The first result set of the statement, nothing for one without rows.
  std::optional<RowSet> Execute(const std::string& sql);
  void Close();

 private:
  void* dbc_ = nullptr;
};

// Points the process's ODBC driver manager at the project's driver
// registration (odbcinst.ini), unless ODBCSYSINI already names one.
void UseProjectOdbcRegistration();

// The class factory of ADODB.Connection, for the library's DllGetClassObject.
HRESULT AdoConnectionClassObject(const Guid& iid, void** out);

// Registers ADODB.Connection under the given Windows path of the providers library.
void RegisterDatabaseProviders(RegistryStore& registry, const std::string& library);

}  // namespace quorvale
