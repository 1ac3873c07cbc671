// The SQLServer page against the SQL Server stand-in and the MySQL page
// against the real MariaDB: the test button, Next's checks and its
// connection, and nothing left open afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include "quorvale/com/create_object.h"
#include "quorvale/setup/odbc_connection.h"
#include "quorvale/setup/sql_statements.h"
#include "quorvale/setup/test_connection.h"
#include "server_run.h"

namespace quorvale::server {
namespace {

using namespace testing;

struct Typed {
  const char* server;  // nullptr: left as it starts
  const char* user;
  const char* password;
};

using Expected = Outcome;

// Reaches the page alone (the other database page cleared on Service).
ChainRun& ToPage(ChainRun& run, bool sql_server) {
  run.ToService();
  run.Choose({false, false, MailChoice::kNone, sql_server, !sql_server});
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  return run;
}

void TypeInto(ChainRun& run, ui::TextBox& server, ui::TextBox& user, ui::TextBox& password, const Typed& t) {
  if (t.server) run.driver.Type(server, t.server);
  if (t.user) run.driver.Type(user, t.user);
  if (t.password) run.driver.Type(password, t.password);
}

constexpr auto kQuestion = ui::MsgIcon::Question;
constexpr auto kCritical = ui::MsgIcon::Critical;

// The stand-in's processes: a connection left open would show here.
std::size_t OpenConnections(ChainRun& run) {
  return Require(sqlserver::LoadCatalogue(run.temp.machine()), "SQL Server's catalogue").processes.size();
}

TEST(SQLServerPage, StartsWithItsDefaultsMaskedPasswordAndTooltips) {
  ChainRun run;
  auto& p = ToPage(run, true).SQLServer();
  EXPECT_EQ(run.Step(), "SQLServer/MSSQLServer");
  EXPECT_EQ(p.MSSQLServer.Text(), "(local)");
  EXPECT_EQ(p.MSSQLUserName.Text(), "sa");
  EXPECT_EQ(p.MSSQLPassWord.Text(), "");
  EXPECT_EQ(p.MSSQLPassWord.PasswordChar(), "*");
  EXPECT_EQ(p.MSSQLServer.ToolTipText(), "MSSQL数据库服务器");
  EXPECT_EQ(p.MSSQLUserName.ToolTipText(), "MSSQL数据库管理员帐号");
  EXPECT_EQ(p.MSSQLPassWord.ToolTipText(), "MSSQL数据库管理员密码");
  auto& m = run.MySQL();
  EXPECT_EQ(m.MySQLServer.Text(), "localhost");
  EXPECT_EQ(m.MySQLUserName.Text(), "root");
  EXPECT_EQ(m.MySQLPassWord.PasswordChar(), "*");
  EXPECT_EQ(m.MySQLServer.ToolTipText(), "");
}

TEST(SQLServerPage, TestButtonAgainstTheStandIn) {
  struct Case {
    const char* name;
    Typed typed;
    Expected expected;
  } cases[] = {
      {"right password",
       {nullptr, nullptr, "Sa2000"},
       {"MSSQL数据库连接成功!", "成功", kQuestion, "MSSQLServer"}},
      {"empty password still tried",
       {nullptr, nullptr, nullptr},
       {"MSSQL数据库连接失败!", "错误", kCritical, "MSSQLServer"}},
      {"wrong password",
       {nullptr, nullptr, "sa2000"},
       {"MSSQL数据库连接失败!", "错误", kCritical, "MSSQLServer"}},
      {"another server",
       {"db.example", nullptr, "Sa2000"},
       {"MSSQL数据库连接失败!", "错误", kCritical, "MSSQLServer"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run;
    auto& p = ToPage(run, true).SQLServer();
    TypeInto(run, p.MSSQLServer, p.MSSQLUserName, p.MSSQLPassWord, c.typed);
    const std::size_t before = run.driver.Messages().size();
    run.driver.Click(p.MSSQLTest);
    ExpectOutcome(run, "SQLServer", before, c.expected);
    EXPECT_EQ(p.MSSQLTest.Caption(), "测试连接");
    EXPECT_TRUE(p.MSSQLTest.Enabled());
    EXPECT_EQ(OpenConnections(run), 0u);
  }
}

TEST(SQLServerPage, NextChecksInOrderThenConnects) {
  struct Case {
    const char* name;
    Typed typed;
    bool my_sql;  // the Service box: MySQL follows
    Expected expected;
  } cases[] = {
      {"defaults, empty password",
       {},
       false,
       {"请输入SQL Server数据库管理密码!", "错误", kQuestion, "MSSQLPassWord"}},
      {"server cleared first",
       {"", "", ""},
       false,
       {"请输入SQL Server服务器地址!", "错误", kQuestion, "MSSQLServer"}},
      {"user cleared",
       {nullptr, "", "x"},
       false,
       {"请输入SQL Server数据库管理员帐号!", "错误", kQuestion, "MSSQLUserName"}},
      {"wrong password",
       {nullptr, nullptr, "Sa2001"},
       false,
       {"SQL Server数据库连接失败!", "错误", kQuestion, "NextButton"}},
      {"unknown login",
       {nullptr, "admin", "Sa2000"},
       false,
       {"SQL Server数据库连接失败!", "错误", kQuestion, "NextButton"}},
      {"right password, installation next", {"(LOCAL)", nullptr, "Sa2000"}, false, {}},
      {"right password, MySQL next", {nullptr, nullptr, "Sa2000"}, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run;
    run.ToService();
    run.Choose({false, false, MailChoice::kNone, true, c.my_sql});
    run.ToServU();
    run.driver.Click(run.ServU().NextButton);
    auto& p = run.SQLServer();
    TypeInto(run, p.MSSQLServer, p.MSSQLUserName, p.MSSQLPassWord, c.typed);
    const std::size_t before = run.driver.Messages().size();
    run.driver.Click(p.NextButton);
    if (c.my_sql) {
      EXPECT_EQ(run.Step(), "MySQL/MySQLServer");
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"MySQL"});
    } else {
      ExpectOutcome(run, "SQLServer", before, c.expected);
      if (!c.expected.prompt) {
        EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
      }
    }
    // Nothing changed in the boxes, nothing left open on the server.
    if (c.typed.password) {
      EXPECT_EQ(p.MSSQLPassWord.Text(), c.typed.password);
    }
    EXPECT_EQ(OpenConnections(run), 0u);
  }
}

// A password holding ";" and "}" reaches the stand-in whole.
TEST(SQLServerPage, APasswordWithASemicolonAndABrace) {
  ChainRun run({}, "Sa;20}00");
  auto& p = ToPage(run, true).SQLServer();
  run.driver.Type(p.MSSQLPassWord, "Sa;20}00");
  const std::size_t before = run.driver.Messages().size();
  run.driver.Click(p.MSSQLTest);
  EXPECT_EQ(run.LastPrompt(), "MSSQL数据库连接成功!");
  run.driver.Click(p.NextButton);
  ExpectOutcome(run, "SQLServer", before + 1, {});
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
}

// A login of the real MariaDB made for the test and dropped after it.
class MySQLPage : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_MARIADB(); }
  void TearDown() override {
    for (const char* host : made_) {
      Err err;
      err.Resume([&] { AsAdministrator("DROP USER " + Login(host)); });
    }
  }
  // A login with the password, for both ways the driver may arrive.
  void MakeLogin(const std::string& password) {
    for (const char* host : {"localhost", "127.0.0.1"}) {
      AsAdministrator("CREATE USER " + Login(host) + " IDENTIFIED BY " + setup::SqlText(password));
      made_.push_back(host);
      AsAdministrator("GRANT SELECT ON mysql.* TO " + Login(host));
    }
  }
  std::string Login(const char* host) const { return setup::SqlText(login_) + "@" + setup::SqlText(host); }
  void AsAdministrator(const std::string& sql) {
    ServerRun run;
    auto admin = CreateObject("ADODB.Connection");
    CallMethod(admin.get(), "Open",
               {Variant(setup::MySqlConnection("localhost", MariaDbUser(), MariaDbPassword()))});
    CallMethod(admin.get(), "Execute", {Variant(sql)});
  }
  std::string login_ = "qv_mysqlpage_" + std::to_string(::getpid());
  std::vector<const char*> made_;
};

TEST_F(MySQLPage, TestButtonAndNextAgainstMariaDb) {
  const std::string user = MariaDbUser(), password = MariaDbPassword();
  struct Case {
    const char* name;
    Typed typed;
    Expected test, next;
  } cases[] = {
      {"right password",
       {nullptr, user.c_str(), password.c_str()},
       {"MySQL数据库连接成功!", "成功", kQuestion, "MySQLServer"},
       {}},
      {"wrong password",
       {nullptr, user.c_str(), "not-the-password"},
       {"MySQL数据库连接失败!", "错误", kCritical, "MySQLServer"},
       {"MySQL数据库连接失败!", "错误", kQuestion, "NextButton"}},
      {"server cleared",
       {"", user.c_str(), password.c_str()},
       {nullptr, "错误", kCritical, "MySQLServer"},  // what the driver makes of no server is its own
       {"请输入MySQL服务器地址!", "错误", kQuestion, "MySQLServer"}},
      {"user cleared",
       {nullptr, "", password.c_str()},
       {"MySQL数据库连接失败!", "错误", kCritical, "MySQLServer"},
       {"请输入MySQL数据库管理员帐号!", "错误", kQuestion, "MySQLUserName"}},
      {"empty password",
       {"127.0.0.1", user.c_str(), nullptr},
       {"MySQL数据库连接失败!", "错误", kCritical, "MySQLServer"},
       {"请输入MySQL数据库管理密码!", "错误", kQuestion, "MySQLPassWord"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run;
    auto& p = ToPage(run, false).MySQL();
    TypeInto(run, p.MySQLServer, p.MySQLUserName, p.MySQLPassWord, c.typed);
    std::size_t before = run.driver.Messages().size();
    run.driver.Click(p.MySQLTest);
    if (c.test.prompt) {
      ExpectOutcome(run, "MySQL", before, c.test);
    } else {
      ASSERT_EQ(run.driver.Messages().size(), before + 1);
      EXPECT_EQ(run.Focus(), "MySQLServer");
    }
    EXPECT_EQ(p.MySQLTest.Caption(), "测试连接");
    EXPECT_TRUE(p.MySQLTest.Enabled());
    before = run.driver.Messages().size();
    run.driver.Click(p.NextButton);
    ExpectOutcome(run, "MySQL", before, c.next);
    if (!c.next.prompt) {
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
    }
  }
}

TEST_F(MySQLPage, APasswordWithASemicolonAndABrace) {
  const std::string pw = "a;b}c {d";
  MakeLogin(pw);
  ChainRun run;
  auto& p = ToPage(run, false).MySQL();
  run.driver.Type(p.MySQLUserName, login_);
  run.driver.Type(p.MySQLPassWord, "a;b}c");
  run.driver.Click(p.NextButton);
  EXPECT_EQ(run.LastPrompt(), "MySQL数据库连接失败!");
  run.driver.Type(p.MySQLPassWord, pw);
  run.driver.Click(p.MySQLTest);
  EXPECT_EQ(run.LastPrompt(), "MySQL数据库连接成功!");
  const std::size_t before = run.driver.Messages().size();
  run.driver.Click(p.NextButton);
  ExpectOutcome(run, "MySQL", before, {});
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
}

}  // namespace
}  // namespace quorvale::server
