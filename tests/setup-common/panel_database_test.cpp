// The database recipe of the setup, the repair and the uninstall against
// the SQL Server stand-in: the exact steps, failure lines and bar widths.
#include "quorvale/setup/panel_database.h"

#include <gtest/gtest.h>

#include "quorvale/setup/helper_module.h"
#include "quorvale/setup/odbc_connection.h"
#include "quorvale/setup/sql_statements.h"
#include "quorvale/win32/kernel.h"
#include "sql_server_machine.h"
#include "test_program.h"

namespace quorvale::setup {
namespace {

using Events = std::vector<std::string>;

const ServerLogin kSa{"(local)", "sa", "Sa2000"};

// The setup's run when every statement succeeds.
const Events kSetupRun = {"step: 正在设置站点数据库文件...",
                          "width: 3800",
                          "step: 正在建立站点数据库...",
                          "width: 3900",
                          "width: 4000",
                          "width: 4100",
                          "width: 4200",
                          "width: 4300",
                          "width: 4400",
                          "width: 4500"};

class PanelDatabaseTest : public testing::SqlServerMachine {
 protected:
  Events Setup(const PanelDatabase& db, const ServerLogin& admin = kSa) {
    testing::RecordedSteps page;
    AttachDatabase(page, helpers_, admin, db, kFolder);
    return page.events;
  }
  bool OwnedBy(const std::string& db, const std::string& login) {
    auto c = Catalogue();
    auto* d = c.FindDatabase(db);
    auto* l = c.FindLogin(login);
    if (!d || !l) return false;
    for (const auto& u : d->users)
      if (u.login_sid == l->sid && u.roles.count("db_owner")) return true;
    return false;
  }
  // Windows set up again: a new SQL Server that knows nothing of the panel,
  // while the install folder keeps its data files.
  void NewSqlServer() {
    std::filesystem::remove(sqlserver::CatalogueFile(temp_.machine()));
    sqlserver::InstallSqlServer(temp_.machine());
  }

  ControlEndHelpers helpers_;
};

TEST_F(PanelDatabaseTest, SetupAttachesUnderTheNameAndMakesTheLoginOwner) {
  struct Case {
    PanelDatabase db;
    std::string files;  // the names the data files have afterwards
  } cases[] = {
      {{"Panel", "PanelUser", "pw1"}, "Panel"},
      {{"QUORVALE", "Quorvale", "pw2"}, "Quorvale"},
      {{"Pa'nel]", "O'Brien", "a'b;c}"}, "Pa'nel]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.db.name);
    ShipDataFiles();
    EXPECT_EQ(Setup(c.db), kSetupRun);
    EXPECT_TRUE(temp_.Exists(DataFile(c.files + ".mdf")));
    EXPECT_TRUE(temp_.Exists(DataFile(c.files + ".ldf")));
    auto catalogue = Catalogue();
    const auto* db = catalogue.FindDatabase(c.db.name);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->mdf, DataFile(c.files + ".mdf"));
    EXPECT_EQ(db->name, c.db.name);
    EXPECT_TRUE(OwnedBy(c.db.name, c.db.login));
    EXPECT_TRUE(Opens(SqlServerConnection("(local)", c.db.login, c.db.password, c.db.name)));
    // The recipe's connections are all closed.
    EXPECT_TRUE(Catalogue().processes.empty());
  }
}

TEST_F(PanelDatabaseTest, SetupWaitsForTheUnpackerToWriteTheFiles) {
  AtMoment(3000, [this] { ShipDataFiles(); });
  EXPECT_EQ(Setup({"Panel", "PanelUser", "pw1"}), kSetupRun);
  EXPECT_EQ(win32::GetTickCount(), 3000u);
  EXPECT_TRUE(OwnedBy("Panel", "PanelUser"));
}

TEST_F(PanelDatabaseTest, SetupWithoutAServerGivesItsSixLinesAndGoesOn) {
  ShipDataFiles();
  const Events expected = {"step: 正在设置站点数据库文件...",
                           "width: 3800",
                           "step: 正在建立站点数据库...",
                           "width: 3900",
                           "width: 4000",
                           "width: 4100",
                           "line: 网站数据库建立失败...",
                           "width: 4200",
                           "line: 网站数据库帐号建立失败...",
                           "line: 网站数据库帐号访问权限设置失败...",
                           "width: 4300",
                           "line: 网站数据库帐号访问权限设置失败...",
                           "width: 4400",
                           "line: 网站数据库帐号访问权限设置失败...",
                           "line: 网站数据库建立失败...",
                           "width: 4500"};
  EXPECT_EQ(Setup({"Panel", "PanelUser", "pw1"}, {"elsewhere", "sa", "Sa2000"}), expected);
  // The files were named after the database all the same.
  EXPECT_TRUE(temp_.Exists(DataFile("Panel.mdf")));
  EXPECT_FALSE(temp_.Exists(DataFile("Quorvale.mdf")));
}

TEST_F(PanelDatabaseTest, SetupFailuresEachOnlyTheirStep) {
  struct Case {
    const char* what;
    std::function<void(SqlServerMachine&)> arrange;
    std::vector<std::string> lines;
  } cases[] = {
      {"a login that exists",
       [](SqlServerMachine& m) {
         auto admin = m.Open(SqlServerConnection("(local)", "sa", "Sa2000", "master"));
         m.Execute(admin, CreateLoginStatement("PanelUser", "old", "master"));
       },
       {"网站数据库帐号建立失败...", "网站数据库建立失败..."}},  // it keeps its old password
      {"a data file of that name already there",
       [](SqlServerMachine& m) { m.temp_.Write(m.DataFile("Panel.mdf"), "not a database"); },
       {"网站数据库建立失败...", "网站数据库帐号建立失败...", "网站数据库帐号访问权限设置失败...",
        "网站数据库帐号访问权限设置失败...", "网站数据库帐号访问权限设置失败...", "网站数据库建立失败..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ShipDataFiles();
    c.arrange(*this);
    testing::RecordedSteps page;
    AttachDatabase(page, helpers_, kSa, {"Panel", "PanelUser", "pw1"}, kFolder);
    EXPECT_EQ(page.FailureLines(), c.lines);
    ASSERT_FALSE(page.events.empty());
    EXPECT_EQ(page.events.back(), "width: 4500");
    EXPECT_FALSE(page.err);
    NewSqlServer();
    for (const char* f : {"Panel.mdf", "Panel.ldf", "Quorvale.mdf", "Quorvale.ldf"})
      std::filesystem::remove(temp_.Host(DataFile(f)));
  }
}

TEST_F(PanelDatabaseTest, RepairLeavesADatabaseTheServerStillLists) {
  ShipDataFiles();
  Setup({"Panel", "PanelUser", "pw1"});
  testing::RecordedSteps page;
  ServerLogin admin = kSa;
  auto c = OpenAdministrator(page, admin, 0);
  ASSERT_TRUE(c);
  const std::string before = CatalogueText();
  RepairDatabase(page, c.get(), admin, {"Panel", "PanelUser", "pw1"}, kFolder,
                 DataFilesNamed(kFolder, "Panel"));
  EXPECT_EQ(page.events, (Events{"line: 网站数据库正常...", "width: 3800"}));
  EXPECT_EQ(CatalogueText(), before);
}

TEST_F(PanelDatabaseTest, RepairOnANewServerBindsTheOrphanedUserToTheNewLogin) {
  ShipDataFiles();
  const PanelDatabase db{"Panel", "PanelUser", "pw1"};
  Setup(db);
  NewSqlServer();
  testing::RecordedSteps page;
  ServerLogin admin = kSa;
  auto c = OpenAdministrator(page, admin, 0);
  RepairDatabase(page, c.get(), admin, db, kFolder, DataFilesNamed(kFolder, "Panel"));
  const Events expected = {"step: 正在设置站点数据库文件...",
                           "width: 2300",
                           "step: 正在建立站点数据库...",
                           "width: 2500",
                           "width: 2600",
                           "width: 2800",
                           "width: 3000",
                           "width: 3200",
                           "width: 3400",
                           "width: 3600",
                           "width: 3800"};
  EXPECT_EQ(page.events, expected);
  EXPECT_TRUE(OwnedBy("Panel", "PanelUser"));
  EXPECT_TRUE(Opens(SqlServerConnection("(local)", "PanelUser", "pw1", "Panel")));
  auto catalogue = Catalogue();
  const auto* panel = catalogue.FindDatabase("Panel");
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->users.size(), 2u);

  // The setup's variant on the same files has no such fallback: the user
  // stays orphaned and the login cannot open the database.
  c = ComPtr<IDispatch>();
  NewSqlServer();
  EXPECT_EQ(Setup(db), (Events{"step: 正在设置站点数据库文件...", "width: 3800",
                               "step: 正在建立站点数据库...", "width: 3900", "width: 4000", "width: 4100",
                               "width: 4200", "width: 4300", "line: 网站数据库帐号访问权限设置失败...",
                               "width: 4400", "line: 网站数据库建立失败...", "width: 4500"}));
}

TEST_F(PanelDatabaseTest, RepairRenamesTheShippedFilesAndReportsItsOwnLines) {
  ShipDataFiles();
  testing::RecordedSteps page;
  ServerLogin admin = kSa;
  auto c = OpenAdministrator(page, admin, 0);
  RepairDatabase(page, c.get(), admin, {"Panel", "PanelUser", "pw1"}, kFolder,
                 DataFilesNamed(kFolder, "Quorvale"));
  EXPECT_TRUE(OwnedBy("Panel", "PanelUser"));
  auto catalogue = Catalogue();
  const auto* panel = catalogue.FindDatabase("Panel");
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->ldf, DataFile("Panel.ldf"));

  // Without the files, and with the login there: the repair's own lines.
  testing::RecordedSteps again;
  RepairDatabase(again, c.get(), admin, {"Other", "PanelUser", "x"}, kFolder,
                 DataFilesNamed(kFolder, "Other"));
  EXPECT_EQ(
      again.ListLines(),
      (std::vector<std::string>{"正在设置站点数据库文件...", "正在建立站点数据库...", "网站数据库附加失败...",
                                "网站数据库帐号修复失败...", "网站数据库孤立帐号修复失败...",
                                "网站数据库帐号访问权限修复失败...", "网站数据库修复失败,无法正常连接..."}));
  ASSERT_FALSE(again.events.empty());
  EXPECT_EQ(again.events.back(), "width: 3800");
}

TEST_F(PanelDatabaseTest, AdministratorConnectionFallsBackToTheLocalServer) {
  struct Case {
    ServerLogin given, after;
    bool opens;
  } cases[] = {
      {kSa, kSa, true},
      {{"(local)", "sa", "wrong"}, {"(local)", "", ""}, true},
      {{"elsewhere", "x", "y"}, {"(local)", "", ""}, true},
  };
  for (const auto& c : cases) {
    testing::RecordedSteps page;
    ServerLogin admin = c.given;
    auto conn = OpenAdministrator(page, admin, 1500);
    EXPECT_EQ(static_cast<bool>(conn), c.opens);
    EXPECT_EQ(admin.server + "|" + admin.uid + "|" + admin.pwd,
              c.after.server + "|" + c.after.uid + "|" + c.after.pwd);
    EXPECT_EQ(page.events, Events{"width: 1500"});
    EXPECT_FALSE(page.err);
  }
  // With the service stopped neither opens.
  auto service = temp_.machine().FindService("MSSQLSERVER");
  ASSERT_TRUE(service);
  service->state = "stopped";
  temp_.machine().SetService(*service);
  testing::RecordedSteps page;
  ServerLogin admin = kSa;
  EXPECT_FALSE(OpenAdministrator(page, admin, 0));
  EXPECT_TRUE(page.events.empty());
  EXPECT_FALSE(page.err);
}

TEST_F(PanelDatabaseTest, UninstallEndsTheProcessesThenDropsDatabaseAndLogin) {
  ShipDataFiles();
  const PanelDatabase db{"Pa'nel", "PanelUser", "pw1"};
  Setup(db);
  auto first = Open(SqlServerConnection("(local)", "PanelUser", "pw1", db.name));
  auto second = Open(SqlServerConnection("(local)", "PanelUser", "pw1", db.name));
  testing::RecordedSteps page;
  ServerLogin admin = kSa;
  auto c = OpenAdministrator(page, admin, 0);
  RemoveDatabase(page, c.get(), db);
  EXPECT_EQ(page.events,
            (Events{"step: 正在结束访问数据库的进程...", "width: 2000", "step: 正在删除数据库...",
                    "width: 2000", "step: 正在删除数据库帐号...", "width: 2500"}));
  EXPECT_FALSE(Catalogue().FindDatabase(db.name));
  EXPECT_FALSE(Catalogue().FindLogin(db.login));
  EXPECT_FALSE(temp_.Exists(DataFile("Pa'nel.mdf")));
  EXPECT_EQ(Catalogue().processes.size(), 1u);  // the administrator's own
  Err err;
  EXPECT_FALSE(err.Resume([&] { Execute(first, "select * from master..sysdatabases"); }));
}

TEST_F(PanelDatabaseTest, UninstallOfWhatIsAlreadyGone) {
  ShipDataFiles();
  Setup({"Panel", "PanelUser", "pw1"});
  struct Case {
    PanelDatabase db;
    std::vector<std::string> failures;
  } cases[] = {
      {{"Panel", "Nobody", ""}, {"数据库帐号删除失败..."}},
      {{"Panel", "PanelUser", ""}, {"数据库删除失败..."}},
  };
  for (const auto& c : cases) {
    testing::RecordedSteps page;
    ServerLogin admin = kSa;
    auto conn = OpenAdministrator(page, admin, 0);
    RemoveDatabase(page, conn.get(), c.db);
    EXPECT_EQ(page.FailureLines(), c.failures);
    EXPECT_NE(std::find(page.events.begin(), page.events.end(), "width: 2500"), page.events.end());
  }
  EXPECT_FALSE(Catalogue().FindLogin("PanelUser"));
}

TEST(PanelDatabaseOnThePage, StepsLinesAndBarReachTheProgressPage) {
  // A machine without SQL Server or its providers: every statement fails.
  int bar = 0;
  bool error_left = true;
  ProgramProfile profile = testing::TestProfile();
  profile.sequence = [&](SetupProgram&, ProgressPage& p) {
    AttachDatabase(p, ControlEndHelpers(), kSa, {"Panel", "PanelUser", "pw1"}, "C:\\Q");
    bar = p.Loading.Width();
    error_left = static_cast<bool>(p.SequenceErr());
  };
  testing::Wizard w(std::move(profile));
  w.Start();
  w.driver.Click(w.WalkToDirectory().NextButton);
  w.driver.Advance(100);
  EXPECT_EQ(
      w.Page<InstallPage>().SetupList.Items(),
      (std::vector<std::string>{"正在设置站点数据库文件...", "正在建立站点数据库...", "网站数据库建立失败...",
                                "网站数据库帐号建立失败...", "网站数据库帐号访问权限设置失败...",
                                "网站数据库帐号访问权限设置失败...", "网站数据库帐号访问权限设置失败...",
                                "网站数据库建立失败..."}));
  EXPECT_EQ(bar, 4500);
  EXPECT_FALSE(error_left);
}

}  // namespace
}  // namespace quorvale::setup
