#include "quorvale/server/my_sql_page.h"

#include "quorvale/setup/odbc_connection.h"

namespace quorvale::server {

namespace {

const DatabaseTexts kMySQLTexts = {
    "MySQL",
    "MySQL服务配置",
    "配置MySQL数据库服务的相关参数",
    "请输入MySQL数据库连接的相关参数：",
    "localhost",
    "root",
    {nullptr, nullptr, nullptr},
    "MySQL数据库连接失败!",
    "MySQL数据库连接成功!",
    "请输入MySQL服务器地址!",
    "请输入MySQL数据库管理员帐号!",
    "请输入MySQL数据库管理密码!",
    "MySQL数据库连接失败!",
    {&setup::kMySQLServerRule, &setup::kMySQLUserRule, &setup::kMySQLPasswordRule},
    &setup::MySqlConnection,
    {&setup::ServerChoices::mysql_server, &setup::ServerChoices::mysql_user_name,
     &setup::ServerChoices::mysql_password},
};

}  // namespace

MySQLPage::MySQLPage(setup::SetupProgram& program)
    : DatabaseServerPage(program, kMySQLTexts, MySQLServer, MySQLUserName, MySQLPassWord, MySQLTest) {
  Build();
}

}  // namespace quorvale::server
