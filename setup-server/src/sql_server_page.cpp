#include "quorvale/server/sql_server_page.h"

#include "quorvale/setup/odbc_connection.h"

namespace quorvale::server {

namespace {

const DatabaseTexts kSQLServerTexts = {
    "SQLServer",
    "SQL Server服务配置",
    "配置SQL Server数据库服务的相关参数",
    "请输入SQL Server数据库连接的相关参数：",
    "(local)",
    "sa",
    {"MSSQL数据库服务器", "MSSQL数据库管理员帐号", "MSSQL数据库管理员密码"},
    "MSSQL数据库连接失败!",
    "MSSQL数据库连接成功!",
    "请输入SQL Server服务器地址!",
    "请输入SQL Server数据库管理员帐号!",
    "请输入SQL Server数据库管理密码!",
    "SQL Server数据库连接失败!",
    {&setup::kSQLServerServerRule, &setup::kSQLServerUserRule, &setup::kSQLServerPasswordRule},
    [](const std::string& server, const std::string& user, const std::string& password) {
      return setup::SqlServerConnection(server, user, password, "master");
    },
    {&setup::ServerChoices::mssql_server, &setup::ServerChoices::mssql_user_name,
     &setup::ServerChoices::mssql_password},
};

}  // namespace

SQLServerPage::SQLServerPage(setup::SetupProgram& program)
    : DatabaseServerPage(program, kSQLServerTexts, MSSQLServer, MSSQLUserName, MSSQLPassWord, MSSQLTest) {
  Build();
}

}  // namespace quorvale::server
