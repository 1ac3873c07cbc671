// The DataBase page: its controls and their states, the two options, and
// Next's checks in order, the last ones against the SQL Server stand-in.
#include <gtest/gtest.h>

#include "client_run.h"

namespace quorvale::client::testing {
namespace {

TEST(DataBasePageTest, StartsWithAccessChosenAndTheServerBoxesPutAway) {
  struct Box {
    const char* name;
    const char* text;
    const char* frame;
    const char* tooltip;
    const char* password_char;
  };
  const Box boxes[] = {
      {"MSSQLServer", "(local)", "Frame2", "MSSQL数据库服务器", ""},
      {"MSSQLUserName", "sa", "Frame2", "MSSQL数据库管理员帐号", ""},
      {"MSSQLPassWord", "", "Frame2", "MSSQL数据库管理员密码", "*"},
      {"DataBase", "Quorvale", "Frame3", "", ""},
      {"UserName", "Quorvale", "Frame3", "", ""},
      {"PassWord", "", "Frame3", "", "*"},
  };
  ClientRun run;
  run.Start();
  auto& page = run.WalkToDataBase();
  EXPECT_TRUE(page.Access.Value());
  EXPECT_FALSE(page.SQLServer.Value());
  EXPECT_EQ(page.Access.Caption(), "Access 数据库");
  EXPECT_EQ(page.SQLServer.Caption(), "SQL Server 数据库");
  EXPECT_EQ(page.Frame2.Caption(), "数据库连接参数");
  EXPECT_EQ(page.Frame3.Caption(), "新建数据库参数");
  EXPECT_FALSE(page.Frame2.Visible());
  EXPECT_FALSE(page.Frame3.Visible());
  for (const auto& b : boxes) {
    SCOPED_TRACE(b.name);
    auto* box = dynamic_cast<ui::TextBox*>(page.FindControl(b.name));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Text(), b.text);
    EXPECT_FALSE(box->Enabled());
    ASSERT_NE(box->Container(), nullptr);
    EXPECT_EQ(box->Container()->Name(), b.frame);
    EXPECT_EQ(box->ToolTipText(), b.tooltip);
    EXPECT_EQ(box->PasswordChar(), b.password_char);
  }
}

TEST(DataBasePageTest, TheOptionsShowAndHideTheBoxesKeepingWhatWasTyped) {
  ClientRun run;
  run.Start();
  auto& page = run.WalkToDataBase();
  run.driver.Click(page.SQLServer);
  EXPECT_TRUE(page.Frame2.Visible());
  EXPECT_TRUE(page.Frame3.Visible());
  for (ui::TextBox* box : {&page.MSSQLServer, &page.MSSQLUserName, &page.MSSQLPassWord, &page.DataBase,
                           &page.UserName, &page.PassWord})
    EXPECT_TRUE(box->IsUsable()) << box->Name();
  run.driver.Type(page.MSSQLServer, "db1");
  run.driver.Type(page.PassWord, "secret");
  EXPECT_EQ(page.PassWord.DisplayText(), "******");

  run.driver.Click(page.Access);
  EXPECT_FALSE(page.Frame2.Visible());
  EXPECT_FALSE(page.MSSQLServer.Enabled());
  EXPECT_FALSE(page.PassWord.Enabled());
  run.driver.Click(page.SQLServer);
  EXPECT_EQ(page.MSSQLServer.Text(), "db1");
  EXPECT_EQ(page.PassWord.Text(), "secret");
}

TEST(DataBasePageTest, WithAccessNextGoesOnWhateverTheBoxesHold) {
  ClientRun run;
  run.Start();
  auto& page = run.WalkToDataBase();
  for (ui::TextBox* box : {&page.MSSQLServer, &page.MSSQLUserName, &page.DataBase, &page.UserName})
    box->SetText("");
  run.driver.Click(page.NextButton);
  EXPECT_TRUE(run.driver.Messages().empty());
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Directory"});
}

// The page with SQL Server chosen and every box filled for the stand-in's
// sa login.
struct OnSqlServer : ClientRun {
  explicit OnSqlServer(bool with_server = true) {
    if (with_server) sqlserver::InstallSqlServer(temp.machine());
    Start();
    WalkToDataBase();
    driver.Click(page().SQLServer);
    driver.Type(page().MSSQLPassWord, "Sa2000");
    driver.Type(page().PassWord, "panel-pw");
  }
  DataBasePage& page() { return Page<DataBasePage>(); }
  // Next pressed from the database password box.
  void Next() {
    driver.Click(page().PassWord);
    driver.PressEnter();
  }
  // A database and a login the server already has.
  void Existing(const std::string& db, const std::string& login) {
    sqlserver::UpdateCatalogue(temp.machine(), [&](sqlserver::Catalogue& c) {
      c.databases.push_back({c.next_dbid++, db, "D:\\Data\\" + db + ".mdf", "D:\\Data\\" + db + ".ldf", {}});
      c.logins.push_back({login, "pw", db, c.next_sid++, false});
      return true;
    });
  }
  sqlserver::Catalogue Catalogue() { return *sqlserver::LoadCatalogue(temp.machine()); }
};

TEST(DataBasePageTest, NextAsksForEveryBoxInOrder) {
  struct Case {
    std::vector<const char*> cleared;
    const char* message;
    const char* focus;
  };
  const Case cases[] = {
      {{"MSSQLServer", "MSSQLUserName", "MSSQLPassWord", "DataBase", "UserName", "PassWord"},
       "请输入SQL服务器地址!",
       "DataBase.MSSQLServer"},
      {{"MSSQLUserName", "MSSQLPassWord", "DataBase", "UserName", "PassWord"},
       "请输入SQL数据库管理远帐号!",
       "DataBase.MSSQLUserName"},
      {{"MSSQLPassWord", "DataBase", "UserName", "PassWord"},
       "请输入SQL数据库管理密码!",
       "DataBase.MSSQLPassWord"},
      {{"DataBase", "UserName", "PassWord"}, "请输入新建立数据库的数据库名!", "DataBase.DataBase"},
      {{"UserName", "PassWord"}, "请输入新建立数据库的数据库帐号!", "DataBase.UserName"},
      {{"PassWord"}, "请输入新建立数据库的数据库密码", "DataBase.PassWord"},
      {{"UserName"}, "请输入新建立数据库的数据库帐号!", "DataBase.UserName"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    OnSqlServer run;
    for (const char* name : c.cleared) {
      auto* box = dynamic_cast<ui::TextBox*>(run.page().FindControl(name));
      ASSERT_NE(box, nullptr) << name;
      box->SetText("");
    }
    run.driver.Click(run.page().NextButton);
    run.ExpectError(0, c.message);
    EXPECT_EQ(run.driver.FocusName(), c.focus);
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"DataBase"});
  }
}

TEST(DataBasePageTest, NextAsksTheServersCatalogue) {
  struct Case {
    const char* name;
    bool with_server;
    const char* server;
    const char* admin_password;
    const char* database;
    const char* login;
    const char* message;  // nullptr: Directory is shown
  };
  const Case cases[] = {
      {"new names", true, "(local)", "Sa2000", "Quorvale", "Quorvale", nullptr},
      {"names with blanks and signs inside", true, "(local)", "Sa2000", "面板 Data-1", "O&Brien=1", nullptr},
      {"database name taken", true, "(local)", "Sa2000", "Panel", "Quorvale",
       "您输入新建立的数据库名已经存在!"},
      {"database name taken in other letters", true, "(local)", "Sa2000", "PANEL", "Quorvale",
       "您输入新建立的数据库名已经存在!"},
      {"login taken", true, "(local)", "Sa2000", "Quorvale", "PanelUser",
       "您输入新建立的数据库帐号已经存在!"},
      {"both taken: the name first", true, "(local)", "Sa2000", "Panel", "PanelUser",
       "您输入新建立的数据库名已经存在!"},
      {"wrong administrator password", true, "(local)", "wrong", "Quorvale", "Quorvale",
       "SQL Server数据库连接失败!"},
      {"server unreachable", true, "db.far.test", "Sa2000", "Quorvale", "Quorvale",
       "SQL Server数据库连接失败!"},
      {"no SQL Server on the machine", false, "(local)", "Sa2000", "Quorvale", "Quorvale",
       "SQL Server数据库连接失败!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OnSqlServer run(c.with_server);
    if (c.with_server) run.Existing("Panel", "PanelUser");
    run.page().MSSQLServer.SetText(c.server);
    run.page().MSSQLPassWord.SetText(c.admin_password);
    run.page().DataBase.SetText(c.database);
    run.page().UserName.SetText(c.login);
    run.Next();
    if (c.message) {
      run.ExpectError(0, c.message);
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"DataBase"});
      EXPECT_EQ(run.driver.FocusName(), "DataBase.PassWord");  // not moved
    } else {
      EXPECT_TRUE(run.driver.Messages().empty());
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Directory"});
    }
    if (!c.with_server) continue;
    // Nothing is created, and the connection is gone either way.
    const auto catalogue = run.Catalogue();
    EXPECT_EQ(catalogue.databases.size(), 5u);
    EXPECT_EQ(catalogue.logins.size(), 2u);
    EXPECT_TRUE(catalogue.processes.empty());
  }
}

TEST(DataBasePageTest, BackFromDirectoryFocusesTheChosenOption) {
  OnSqlServer run;
  run.Next();
  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Directory"});
  run.driver.Click(run.Page<DirectoryPage>().StepButton);
  EXPECT_EQ(run.driver.FocusName(), "DataBase.SQLServer");
  // Forwards from Agreement the focus is on Access whichever option is chosen.
  run.driver.Click(run.page().StepButton);
  run.driver.Click(run.Page<AgreementPage>().AgreeButton);
  EXPECT_EQ(run.driver.FocusName(), "DataBase.Access");
  EXPECT_TRUE(run.page().SQLServer.Value());
}

}  // namespace
}  // namespace quorvale::client::testing
