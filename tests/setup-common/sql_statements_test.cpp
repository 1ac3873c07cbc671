// The statements as the server receives them, and names, logins and
// passwords with quotes and brackets going through the SQL Server stand-in.
#include "quorvale/setup/sql_statements.h"

#include <gtest/gtest.h>

#include "quorvale/setup/odbc_connection.h"
#include "sql_server_machine.h"

namespace quorvale::setup {
namespace {

TEST(SqlStatements, PlainValuesGiveTheKnownTexts) {
  struct Case {
    std::string made, expected;
  } cases[] = {
      {AttachStatement("Panel", "C:\\Program Files\\Quorvale"),
       "USE master EXEC sp_attach_db @dbname = N'Panel', @filename1= N'C:\\Program "
       "Files\\Quorvale\\Data\\Panel.mdf', @filename2= N'C:\\Program Files\\Quorvale\\Data\\Panel.ldf'"},
      {CreateLoginStatement("Quorvale", "pw1", "Panel"), "sp_addlogin 'Quorvale','pw1','Panel'"},
      {GrantAccessStatement("Quorvale"), "sp_grantdbaccess 'Quorvale'"},
      {FixOrphanedUserStatement("Quorvale"), "sp_change_users_login 'AUTO_FIX','Quorvale'"},
      {MakeOwnerStatement("Quorvale"), "sp_addrolemember 'db_owner','Quorvale'"},
      {DatabasePresentQuery("Panel"), "select * from sysdatabases Where name = 'Panel'"},
      {LoginPresentQuery("Quorvale"), "Select * From sysxlogins Where name = 'Quorvale'"},
      {DatabaseProcessesQuery("Panel"), "select * from sysprocesses where dbid=db_id('Panel')"},
      {KillStatement(53), "kill 53"},
      {DropDatabaseStatement("Panel"), "Drop Database [Panel]"},
      {DropLoginStatement("Quorvale"), "sp_droplogin 'Quorvale'"},
      // Quotes doubled in values, brackets doubled in the dropped name.
      {AttachStatement("O'Neil", "C:\\it's"),
       "USE master EXEC sp_attach_db @dbname = N'O''Neil', @filename1= N'C:\\it''s\\Data\\O''Neil.mdf', "
       "@filename2= N'C:\\it''s\\Data\\O''Neil.ldf'"},
      {CreateLoginStatement("a'b", "'", "c''d"), "sp_addlogin 'a''b','''','c''''d'"},
      {DropDatabaseStatement("a]b[c'"), "Drop Database [a]]b[c']"},
      {DatabaseProcessesQuery("x')--"), "select * from sysprocesses where dbid=db_id('x'')--')"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.made, c.expected);
}

class SqlStatementsOnTheServer : public testing::SqlServerMachine {
 protected:
  ComPtr<IDispatch> Admin() { return Open(SqlServerConnection("(local)", "sa", "Sa2000", "master")); }
};

TEST_F(SqlStatementsOnTheServer, AwkwardNamesLoginsAndPasswordsWork) {
  struct Case {
    std::string db, login, pw;
  } cases[] = {
      {"Panel", "PanelUser", "pw1"},
      {"Pa'nel", "O'Brien", "it's"},
      {"a]b", "x'; drop database master --", "'';"},
      {"面板 1", "用户", "密码'}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.db);
    ShipDataFiles(c.db);
    auto admin = Admin();
    EXPECT_FALSE(HasRow(admin, DatabasePresentQuery(c.db)));
    Execute(admin, AttachStatement(c.db, kFolder));
    EXPECT_TRUE(HasRow(admin, DatabasePresentQuery(c.db)));
    Execute(admin, CreateLoginStatement(c.login, c.pw, c.db));
    EXPECT_TRUE(HasRow(admin, LoginPresentQuery(c.login)));
    auto on_db = Open(SqlServerConnection("(local)", "sa", "Sa2000", c.db));
    Execute(on_db, GrantAccessStatement(c.login));
    Execute(on_db, MakeOwnerStatement(c.login));
    Execute(on_db, FixOrphanedUserStatement(c.login));  // not orphaned: nothing to do
    auto panel = Open(SqlServerConnection("(local)", c.login, c.pw, c.db));
    EXPECT_TRUE(HasRow(admin, DatabaseProcessesQuery(c.db)));

    auto catalogue = Catalogue();
    const auto* found = catalogue.FindDatabase(c.db);
    ASSERT_TRUE(found);
    const auto& db = *found;
    EXPECT_EQ(db.name, c.db);
    EXPECT_EQ(db.mdf, DataFile(c.db + ".mdf"));
    ASSERT_EQ(db.users.size(), 2u);
    EXPECT_EQ(db.users[1].name, c.login);
    EXPECT_EQ(db.users[1].roles, std::set<std::string>{"db_owner"});

    on_db = ComPtr<IDispatch>();
    panel = ComPtr<IDispatch>();
    Execute(admin, DropDatabaseStatement(c.db));
    Execute(admin, DropLoginStatement(c.login));
    EXPECT_FALSE(HasRow(admin, DatabasePresentQuery(c.db)));
    EXPECT_FALSE(HasRow(admin, LoginPresentQuery(c.login)));
    EXPECT_FALSE(temp_.Exists(DataFile(c.db + ".mdf")));
  }
  EXPECT_TRUE(HasRow(Admin(), DatabasePresentQuery("master")));
}

}  // namespace
}  // namespace quorvale::setup
