// A fresh machine with SQL Server 2000 and the database providers, for the
// recipes that talk to the server; and a progress page that only records.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quorvale/com/create_object.h"
#include "quorvale/machine/state_file.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/sqlserver/catalogue.h"
#include "recorded_steps.h"
#include "require.h"

namespace quorvale::setup::testing {

class SqlServerMachine : public ::testing::Test {
 public:
  static constexpr const char* kFolder = "C:\\Program Files\\Quorvale虚拟主机管理系统v3.0 主控端";

  explicit SqlServerMachine(bool with_sql_server = true) {
    if (with_sql_server) sqlserver::InstallSqlServer(temp_.machine());
    RegisterDatabaseProviders(temp_.machine().Registry(), "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
    SetDefaultComHost({&temp_.machine().Registry(),
                       [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }});
  }
  ~SqlServerMachine() override { SetDefaultComHost({}); }

  // The data files as the payload ships them, under the given name.
  void ShipDataFiles(const std::string& name = "Quorvale") {
    const std::string data = std::string(kFolder) + "\\Data\\" + name;
    temp_.Write(data + ".mdf", std::string("SQL Server 2000 data file\n") + std::string(4096, '\0'));
    temp_.Write(data + ".ldf", std::string("SQL Server 2000 log file\n") + std::string(1024, '\0'));
  }
  std::string DataFile(const std::string& name) const { return std::string(kFolder) + "\\Data\\" + name; }

  ComPtr<IDispatch> Open(const std::string& connection) {
    auto c = CreateObject("ADODB.Connection");
    CallMethod(c.get(), "Open", {Variant(connection)});
    return c;
  }
  bool Opens(const std::string& connection) {
    Err err;
    return err.Resume([&] { Open(connection); });
  }
  static Variant Execute(const ComPtr<IDispatch>& c, const std::string& sql) {
    return CallMethod(c.get(), "Execute", {Variant(sql)});
  }
  static bool HasRow(const ComPtr<IDispatch>& c, const std::string& sql) {
    return GetProperty(DispatchOf(Execute(c, sql)), "EOF") == Variant(false);
  }
  sqlserver::Catalogue Catalogue() {
    return quorvale::testing::Require(sqlserver::LoadCatalogue(temp_.machine()), "SQL Server's catalogue");
  }
  std::string CatalogueText() {
    return quorvale::testing::Require(ReadStateFile(sqlserver::CatalogueFile(temp_.machine())),
                                      "catalogue.txt");
  }

  quorvale::testing::TempMachine temp_;
};

}  // namespace quorvale::setup::testing
