// The connection strings: plain values exactly as the programs always sent
// them, awkward ones in braces; and both drivers reading the braced form.
#include "quorvale/setup/odbc_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "mariadb_login.h"
#include "quorvale/setup/sql_statements.h"
#include "sql_server_machine.h"

namespace quorvale::setup {
namespace {

TEST(OdbcConnection, PlainValuesAsTypedAwkwardOnesInBraces) {
  struct Case {
    std::string made, expected;
  } cases[] = {
      {SqlServerConnection("(local)", "sa", "Sa2000", "master"),
       "driver={SQL server};server=(local);uid=sa;pwd=Sa2000;database=master"},
      {SqlServerConnection("db1,1433", "Quorvale", "x=y'z", "Quorvale"),
       "driver={SQL server};server=db1,1433;uid=Quorvale;pwd=x=y'z;database=Quorvale"},
      {MySqlConnection("localhost", "root", "pw 1"),
       "driver={MySQL ODBC 3.51 Driver};server=localhost;uid=root;pwd=pw 1;database=mysql"},
      {LocalSqlServerConnection(), "driver={SQL server};server=(local);uid=;pwd=;database=master"},
      {SqlServerConnection("(local)", "sa", "a;database=x", "master"),
       "driver={SQL server};server=(local);uid=sa;pwd={a;database=x};database=master"},
      {SqlServerConnection("(local)", "sa", "}{", "Pa}nel"),
       "driver={SQL server};server=(local);uid=sa;pwd={}}{};database={Pa}}nel}"},
      {SqlServerConnection(" db1", "sa ", "\tx", "中文 库"),
       "driver={SQL server};server={ db1};uid={sa };pwd={\tx};database=中文 库"},
      {MySqlConnection("127.0.0.1", "u", "{x}"),
       "driver={MySQL ODBC 3.51 Driver};server=127.0.0.1;uid=u;pwd={{x}}};database=mysql"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.made, c.expected);
}

class StandInReadsBraces : public testing::SqlServerMachine {
 protected:
  StandInReadsBraces() : SqlServerMachine(false) {}
};

TEST_F(StandInReadsBraces, PasswordsWithSemicolonsBracesAndBlanks) {
  const std::string sa = " Sa;20}00 ";
  sqlserver::InstallSqlServer(temp_.machine(), sa);
  EXPECT_TRUE(Opens(SqlServerConnection("(local)", "sa", sa, "master")));
  // Unbraced, the same password ends at its ";".
  EXPECT_FALSE(Opens("driver={SQL server};server=(local);uid=sa;pwd=" + sa + ";database=master"));

  auto admin = Open(SqlServerConnection("(local)", "sa", sa, "master"));
  for (const std::string pw : {"a;b", "}", "{x", "  ", "p'w;}}"}) {
    const std::string login = "L" + std::to_string(pw.size()) + pw.substr(0, 1);
    Execute(admin, CreateLoginStatement(login, pw, "master"));
    Execute(admin, GrantAccessStatement(login));  // a user of master, which it opens
    EXPECT_TRUE(Opens(SqlServerConnection("(local)", login, pw, "master"))) << pw;
    EXPECT_FALSE(Opens(SqlServerConnection("(local)", login, pw + "x", "master"))) << pw;
  }
}

// A login of the real MariaDB made for the test and dropped after it.
class MariaDbReadsBraces : public testing::SqlServerMachine {
 protected:
  MariaDbReadsBraces() : SqlServerMachine(false) {}
  void SetUp() override {
    Err err;
    if (err.Resume([&] { admin_ = Open(MySqlConnection("127.0.0.1", user_, password_)); })) return;
    const std::string reason = "no MariaDB answers on 127.0.0.1 for " + user_ +
                               " (start it with tools/start-mariadb): " + err.Description();
    SKIP_OR_FAIL_WITHOUT_MARIADB(reason);
  }
  void TearDown() override {
    for (const auto& host : made_) {
      Err err;
      err.Resume([&] { Execute(admin_, "DROP USER " + SqlText(login_) + "@" + SqlText(host)); });
    }
  }
  void MakeLogin(const std::string& pw) {
    for (const char* host : {"localhost", "127.0.0.1"}) {
      Execute(admin_,
              "CREATE USER " + SqlText(login_) + "@" + SqlText(host) + " IDENTIFIED BY " + SqlText(pw));
      made_.push_back(host);
      Execute(admin_, "GRANT SELECT ON mysql.* TO " + SqlText(login_) + "@" + SqlText(host));
    }
  }

  std::string user_ = testing::MariaDbUser();
  std::string password_ = testing::MariaDbPassword();
  std::string login_ = "qv_braces_" + std::to_string(::getpid());
  ComPtr<IDispatch> admin_;
  std::vector<std::string> made_;
};

TEST_F(MariaDbReadsBraces, APasswordWithASemicolonAndABrace) {
  const std::string pw = "a;b}c {d";
  MakeLogin(pw);
  EXPECT_TRUE(Opens(MySqlConnection("127.0.0.1", login_, pw)));
  EXPECT_FALSE(Opens(MySqlConnection("127.0.0.1", login_, "a;b}c")));
  EXPECT_FALSE(Opens("driver={MySQL ODBC 3.51 Driver};server=127.0.0.1;uid=" + login_ + ";pwd=" + pw +
                     ";database=mysql"));
}

}  // namespace
}  // namespace quorvale::setup
