// The repair on a control end that Windows set up again left damaged, and
// on what a repair finds still in place: the list lines and bar widths,
// and what the machine holds afterwards.
#include <gtest/gtest.h>

#include "machine_state.h"
#include "metabase_reads.h"
#include "panel_machine.h"
#include "quorvale/setup/text_file.h"
#include "quorvale/win32/vb_random.h"
#include "recipe_fixture.h"

namespace quorvale::uninstall {
namespace {

using setup::testing::PropertyOf;
using testing::Join;
using testing::kSystem;
using testing::Lines;
using testing::Panel;
using testing::PanelMachine;

const Lines kSiteRebuilt = {"正在准备建立主控端站点...",     "正在建立网站独立帐户...",
                            "正在设置网站独立帐户所属组...", "正在设置网站文件夹权限...",
                            "正在建立主控端站点...",         "正在建立主控端站点虚拟目录...",
                            "正在启动主控端站点..."};
const Lines kDatabaseAttached = {"正在设置站点数据库文件...", "正在建立站点数据库..."};
const Lines kEnd = {"正在注册组件...", "正在修改网站配置文件...", "正在配置反安装系统...",
                    "主控端修复完毕..."};

const std::vector<int> kStart = {15, 50, 100, 150, 200, 300, 400, 600, 700};
const std::vector<int> kSqlChecks = {800, 900};
const std::vector<int> kSiteWidths = {1000, 1200, 1400, 1600, 1800, 2000, 2200};
const std::vector<int> kDatabaseWidths = {2300, 2500, 2600, 2800, 3000, 3200, 3400, 3600, 3800};
const std::vector<int> kComponentWidths = {4000, 4200, 4400, 4600, 4800, 5000, 5200, 5400, 5600, 5800};
const std::vector<int> kSqlEnd = {6000, 6200, 6300, 6400, 6600, 6765};
const std::vector<int> kAccessEnd = {6000, 6300, 6400, 6600, 6765};

// Conn.asp as the repair writes it for SQL Server: the five lines anew and,
// after the one line end the setup's edit added, one more.
std::string RewrittenSettings(const std::string& server, const std::string& login, const std::string& pw,
                              const std::string& db) {
  return "<%\r\n"
         "Server.ScriptTimeout = 90\r\n"
         "DBType = \"SQL\"               '数据库类型,如果数据库为SQL数据库,则此值为SQL\r\n"
         "ServerName = \"" +
         server + "\"              'SQLServer数据库服务器\r\n" + "UserName = \"" + login +
         "\"                   '用户名\r\n" + "PassWord = \"" + pw + "\"                       '密码\r\n" +
         "DataBase = \"" + db + "\"                       '数据库名\r\n" + "%>\r\n\r\n\r\n";
}

// The commands the components step starts for the site account.
Lines ComponentCommands(const std::string& account) {
  return {
      "C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe C:\\WINDOWS\\system32\\DodIde.dll "
      "/CodeBase",
      "regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /s",
      "regsvr32 C:\\WINDOWS\\system32\\jmail.dll /s",
      "Cacls C:\\WINDOWS\\system32\\DodIde.dll /e /c /g " + account + ":F",
      "Cacls C:\\WINDOWS\\system32\\Quorvale.dll /e /c /g " + account + ":F",
      "Cacls C:\\WINDOWS\\system32\\jmail.dll /e /c /g " + account + ":F"};
}

std::string Resource(const char* path) { return setup::testing::HostFile(path); }

struct WholeCase {
  const char* name;
  Panel panel;
  Lines list;
  std::vector<int> widths;
  const char* binding;
};

const WholeCase kWholeCases[] = {
    {"SQL Server, a host name",
     {},
     Join<std::string>({{"正在准备修复主控端程序..."}, kSiteRebuilt, kDatabaseAttached, kEnd}),
     Join<int>({kStart, kSqlChecks, kSiteWidths, kDatabaseWidths, kComponentWidths, kSqlEnd}),
     ":80:panel.quorvale.cn"},
    {"Access, no host name",
     {.sql_server = false, .domain = ""},
     Join<std::string>({{"正在准备修复主控端程序..."}, kSiteRebuilt, kEnd}),
     Join<int>({kStart, kSiteWidths, kComponentWidths, kAccessEnd}),
     ":80:"},
};

TEST(Repair, RebuildsWhatAWindowsSetUpAgainLost) {
  for (const auto& c : kWholeCases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install(c.panel);
    const std::string number = m.site.number, account = "IUSR_" + number;
    const auto record_before = m.Record();
    m.Damage();
    m.Run("-modify");

    EXPECT_EQ(m.List(), c.list);
    EXPECT_EQ(m.widths, c.widths);
    EXPECT_EQ(m.Prompts(), Lines{"您确定要修复 Quorvale虚拟主机管理系统v3.0 主控端 程序吗？"});
    EXPECT_EQ(m.driver.ShownForms(), Lines{"Complete"});
    EXPECT_EQ(m.running().StateCaption.Caption(), "主控端修复完毕...");

    // The site under the recorded number, run by its account.
    const auto site = m.Key("/LM/W3SVC/" + number);
    ASSERT_TRUE(site);
    EXPECT_EQ(PropertyOf(*site, "ServerBindings"), c.binding);
    EXPECT_EQ(PropertyOf(*site, "ServerComment"), "HostSystem");
    EXPECT_EQ(PropertyOf(*site, "DefaultDoc"), "Index.asp");
    EXPECT_EQ(PropertyOf(*site, "AnonymousUserName"), account);
    EXPECT_EQ(PropertyOf(*site, "ServerState"), "2");  // started
    const auto root = m.Key("/LM/W3SVC/" + number + "/ROOT");
    ASSERT_TRUE(root);
    EXPECT_EQ(PropertyOf(*root, "Path"), m.In("Web"));
    const auto user = m.Account(account);
    ASSERT_TRUE(user);
    EXPECT_EQ(user->password, PropertyOf(*site, "AnonymousUserPass"));
    EXPECT_EQ(user->full_name, "网站用户独立帐户");
    EXPECT_EQ(user->flags, 65600u);
    // The components from the program's own resources, registered and
    // opened to the account.
    EXPECT_TRUE(m.temp.Read(m.Sys("DodIde.dll")) == Resource(DODIDE));
    EXPECT_TRUE(m.temp.Read(m.Sys("Quorvale.dll")) == Resource(COMPONENT));
    EXPECT_TRUE(m.temp.Read(m.Sys("jmail.dll")) == Resource(JMAIL));
    EXPECT_EQ(m.StartedSinceInstall(),
              Join<std::string>({{"Cacls C:\\PROGRA~1\\Quorvale\\主控端\\Web /t /e /c /g " + account + ":F"},
                                 ComponentCommands(account)}));
    // The records as the install wrote them.
    EXPECT_TRUE(m.EntryThere());
    EXPECT_EQ(m.Record(), record_before);
    if (c.panel.sql_server) {
      auto catalogue = m.Catalogue();
      ASSERT_TRUE(catalogue.FindDatabase("Panel"));
      EXPECT_EQ(catalogue.FindDatabase("Panel")->mdf, m.In("Data\\Panel.mdf"));
      EXPECT_TRUE(catalogue.FindLogin("PanelUser"));
      EXPECT_EQ(setup::ReadTextFile(m.In("Web\\Inc\\Conn.asp")),
                RewrittenSettings("(local)", "PanelUser", "panel-pw", "Panel"));
    } else {
      EXPECT_EQ(m.temp.Read(m.In("Web\\Inc\\Conn.asp")), testing::kShippedSettings);
    }
  }
}

// The order of the six checks: each case breaks its own check and every
// later one; the first check stops the repair before anything changes.
struct StopCase {
  const char* name;
  std::function<void(PanelMachine&)> arrange;
  const char* message;
  ui::MsgIcon icon;
  const char* title;
};

void StopSqlServer(PanelMachine& m) { testing::StopSqlServer(m.temp); }
void RemoveDataFiles(PanelMachine& m) {
  for (const char* f : {"Panel.mdf", "Panel.ldf"}) std::filesystem::remove(m.temp.Host(m.In("Data\\") + f));
}

const StopCase kStopCases[] = {
    {"no Web",
     [](PanelMachine& m) {
       std::filesystem::remove_all(m.temp.Host(m.In("Web")));
       std::filesystem::remove_all(m.temp.Host(m.In("Data")));
       std::filesystem::remove(m.temp.Host(m.In("Uninstall.ini")));
     },
     "主控端网站文件被移动或删除，无法进行修复操作！", ui::MsgIcon::Critical, "修复"},
    {"no Data",
     [](PanelMachine& m) {
       std::filesystem::remove_all(m.temp.Host(m.In("Data")));
       std::filesystem::remove(m.temp.Host(m.In("Web\\Inc\\Conn.asp")));
     },
     "主控端数据库文件被移动或删除，无法进行修复操作！", ui::MsgIcon::Critical, "修复"},
    {"no Conn.asp",
     [](PanelMachine& m) {
       std::filesystem::remove(m.temp.Host(m.In("Web\\Inc\\Conn.asp")));
       std::filesystem::remove(m.temp.Host(m.In("Uninstall.ini")));
     },
     "主控端网站文件被移动或删除，无法进行修复操作！", ui::MsgIcon::Critical, "修复"},
    {"no database type and no record",
     [](PanelMachine& m) {
       m.temp.Write(m.In("Web\\Inc\\Conn.asp"), "<%\r\nDBType = \"\"\r\n%>\r\n");
       std::filesystem::remove(m.temp.Host(m.In("Uninstall.ini")));
       StopSqlServer(m);
     },
     "主控端配置文件参数调用失败，无法进行修复操作！", ui::MsgIcon::Question, "修复"},
    {"no SQL Server, not even (local)",
     [](PanelMachine& m) {
       StopSqlServer(m);
       RemoveDataFiles(m);
     },
     "您本机未安装SQL Server或不允许访问，无法进行修复操作！", ui::MsgIcon::None, ""},
    {"none of the three data-file pairs",
     [](PanelMachine& m) {
       RemoveDataFiles(m);
       std::filesystem::remove(m.temp.Host(m.In("Data\\Quorvale.ldf")));
     },
     "主控端数据库文件被移动或删除，无法进行修复操作！", ui::MsgIcon::None, ""},
    // What cannot be read stops the repair too.
    {"a record that cannot be read",
     [](PanelMachine& m) { m.temp.Write(m.In("Uninstall.ini"), "[Uninstall]\r\nDataType=\xFF\r\n"); },
     "主控端配置文件参数调用失败，无法进行修复操作！", ui::MsgIcon::Question, "修复"},
    {"a Conn.asp that cannot be read",
     [](PanelMachine& m) { m.temp.Write(m.In("Web\\Inc\\Conn.asp"), "DBType = \"\x81\""); },
     "主控端配置文件参数调用失败，无法进行修复操作！", ui::MsgIcon::Question, "修复"},
};

// What the machine holds, the install folder's and the system folder's
// files included.
testing::MachineState StateOf(PanelMachine& m) { return testing::TakeState(m.temp, {m.folder, kSystem}); }

// The repair showed its box after the confirmation and ended, the machine
// as it was before.
void ExpectStopped(PanelMachine& m, const testing::MachineState& before, const char* message,
                   ui::MsgIcon icon = ui::MsgIcon::Question, const char* title = "修复") {
  ASSERT_EQ(m.driver.Messages().size(), 2u);
  const auto& box = m.driver.Messages()[1].request;
  EXPECT_EQ(box.prompt, message);
  EXPECT_EQ(box.icon, icon);
  EXPECT_EQ(box.title, title);
  EXPECT_EQ(box.buttons, ui::MsgButtons::OK);
  EXPECT_TRUE(m.driver.Ended());
  EXPECT_FALSE(m.complete().Loaded());
  EXPECT_EQ(m.List(), Lines{"正在准备修复主控端程序..."});
  EXPECT_EQ(m.StartedSinceInstall(), Lines{});
  const auto after = StateOf(m);
  testing::ExpectSameSystem(after, before);
  EXPECT_EQ(after.access, before.access);
  EXPECT_TRUE(after.files == before.files);
}

TEST(Repair, EachCheckStopsItBeforeAnythingChanges) {
  for (const auto& c : kStopCases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install();
    m.Damage();
    c.arrange(m);
    const auto before = StateOf(m);
    m.Run("-modify");

    ExpectStopped(m, before, c.message, c.icon, c.title);
    EXPECT_FALSE(m.SiteThere(m.site.number));
    EXPECT_FALSE(m.Account(m.site.account));
    EXPECT_FALSE(m.temp.Exists(m.Sys("Quorvale.dll")));
  }
}

constexpr const char* kRecordFailed = "主控端配置文件参数调用失败，无法进行修复操作！";

// A Client killed after its site steps leaves no record: the repair cannot
// know the number of the site it made, nor the host name bound to it, and
// stops rather than build a second panel site bound to every host name.
TEST(Repair, StopsOnAnInstallKilledBeforeItsRecord) {
  PanelMachine m;
  m.InstallKilledAfterSite();
  const auto before = StateOf(m);
  ASSERT_TRUE(m.SiteThere(m.site.number));
  m.Run("-modify");

  ExpectStopped(m, before, kRecordFailed);
  EXPECT_FALSE(m.temp.Exists(m.In("Uninstall.ini")));
  EXPECT_FALSE(m.EntryThere());
}

// The record must hold what the site and Conn.asp are rebuilt with, where
// the settings do not: the kind of database; with SQL Server the database,
// its login and password; the site number. What a repair after a fallback
// on "(local)" records, and an empty host name, are accepted.
struct RecordCase {
  const char* name;
  Panel panel;
  bool shipped_settings;                       // Conn.asp as shipped: the values come from the record
  std::map<std::string, std::string> written;  // over the install's record
  bool no_record;
  bool stops;
};

const RecordCase kRecordCases[] = {
    {"no record, Access", {.sql_server = false}, false, {}, true, true},
    {"no record, SQL Server in the settings", {}, false, {}, true, true},
    {"no DataType, Access", {.sql_server = false}, false, {{"DataType", ""}}, false, true},
    {"no SiteNum", {}, false, {{"SiteNum", ""}}, false, true},
    {"no SQLDataBase", {}, true, {{"SQLDataBase", ""}}, false, true},
    {"no SQLUserName", {}, true, {{"SQLUserName", ""}}, false, true},
    {"no SQLPassWord", {}, true, {{"SQLPassWord", ""}}, false, true},
    {"after a fallback on (local), no host name",
     {},
     true,
     {{"MSSQLServer", "(local)"}, {"MSSQLUserName", ""}, {"MSSQLPassWord", ""}, {"DomainName", ""}},
     false,
     false},
    {"no database values, the settings whole",
     {},
     false,
     {{"SQLDataBase", ""}, {"SQLUserName", ""}, {"SQLPassWord", ""}},
     false,
     false},
};

TEST(Repair, StopsOnARecordLackingWhatItRebuildsFrom) {
  for (const auto& c : kRecordCases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install(c.panel);
    m.Damage();
    if (c.shipped_settings) m.temp.Write(m.In("Web\\Inc\\Conn.asp"), testing::kShippedSettings);
    setup::ControlEndHelpers ini;
    ini.INIFileName = m.In("Uninstall.ini");
    for (const auto& [key, value] : c.written) ini.WriteIniKey("Uninstall", key, value);
    if (c.no_record) std::filesystem::remove(m.temp.Host(m.In("Uninstall.ini")));
    const auto before = StateOf(m);
    m.Run("-modify");

    if (c.stops) {
      ExpectStopped(m, before, kRecordFailed);
      continue;
    }
    EXPECT_EQ(m.driver.ShownForms(), Lines{"Complete"});
    EXPECT_EQ(m.List(),
              Join<std::string>({{"正在准备修复主控端程序..."}, kSiteRebuilt, kDatabaseAttached, kEnd}));
    EXPECT_TRUE(m.SiteThere(m.site.number));
    EXPECT_TRUE(m.Catalogue().FindDatabase("Panel"));
  }
}

// What a repair finds still in place it leaves alone: a site IIS still has,
// a database SQL Server still lists, an account that only gets a new
// password, a component file that is only registered again. A site whose
// account is gone gets it back, with its new password.
struct InPlaceCase {
  const char* name;
  bool keep_site, keep_account, keep_sql_server, keep_quorvale_dll;
  Lines list;
  std::vector<int> widths;
};

const InPlaceCase kInPlaceCases[] = {
    {"nothing lost", true, true, true, true,
     Join<std::string>({{"正在准备修复主控端程序...", "主控端站点正常...", "网站数据库正常..."}, kEnd}),
     Join<int>({kStart, kSqlChecks, {2200, 3800}, kComponentWidths, kSqlEnd})},
    {"the site, not the database", true, true, false, false,
     Join<std::string>({{"正在准备修复主控端程序...", "主控端站点正常..."}, kDatabaseAttached, kEnd}),
     Join<int>({kStart, kSqlChecks, {2200}, kDatabaseWidths, kComponentWidths, kSqlEnd})},
    // Already in Guests, the account gets the group step's failure line.
    {"the account, not its site", false, true, true, false,
     Join<std::string>({{"正在准备修复主控端程序..."},
                        Lines(kSiteRebuilt.begin(), kSiteRebuilt.begin() + 3),
                        {"网站独立访问帐户添加失败..."},
                        Lines(kSiteRebuilt.begin() + 3, kSiteRebuilt.end()),
                        {"网站数据库正常..."},
                        kEnd}),
     Join<int>({kStart, kSqlChecks, kSiteWidths, {3800}, kComponentWidths, kSqlEnd})},
    {"the site, not its account", true, false, true, true,
     Join<std::string>({{"正在准备修复主控端程序..."},
                        Lines(kSiteRebuilt.begin() + 1, kSiteRebuilt.begin() + 4),
                        {"网站数据库正常..."},
                        kEnd}),
     Join<int>({kStart, kSqlChecks, {1200, 1400, 1600, 2200, 3800}, kComponentWidths, kSqlEnd})},
};

TEST(Repair, LeavesWhatIsStillInPlace) {
  for (const auto& c : kInPlaceCases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install();
    const std::string number = m.site.number, account = m.site.account;
    // Marks that a rebuild would lose.
    LocalAccounts(m.temp.machine()).UpdateUser({account, "kept", "an account of the panel", 65600, "old-pw"});
    auto installed = m.Catalogue();
    ASSERT_TRUE(installed.FindLogin("PanelUser"));
    const auto login = installed.FindLogin("PanelUser")->sid;
    Err err;
    if (!c.keep_site) setup::DeleteWebSite(err, number);
    if (!c.keep_account) setup::DeleteSiteAccount(err, account);
    if (!c.keep_sql_server) m.NewSqlServer();
    for (const char* f : {"DodIde.dll", "Jmail.dll"}) std::filesystem::remove(m.temp.Host(m.Sys(f)));
    if (!c.keep_quorvale_dll) std::filesystem::remove(m.temp.Host(m.Sys("Quorvale.dll")));
    m.Run("-modify");

    EXPECT_EQ(m.List(), c.list);
    EXPECT_EQ(m.widths, c.widths);
    const auto user = m.Account(account);
    ASSERT_TRUE(user);
    EXPECT_EQ(user->full_name, c.keep_account ? "kept" : "网站用户独立帐户");
    EXPECT_EQ(user->flags, 65600u);
    const auto guests = LocalAccounts(m.temp.machine()).FindGroup("Guests");
    ASSERT_TRUE(guests);
    EXPECT_EQ(std::count(guests->members.begin(), guests->members.end(), account), 1);
    const auto site = m.Key("/LM/W3SVC/" + number);
    ASSERT_TRUE(site);
    EXPECT_EQ(PropertyOf(*site, "AnonymousUserName"), account);
    if (c.keep_site && c.keep_account) {
      EXPECT_EQ(user->password, "old-pw");
    } else {
      EXPECT_EQ(user->password.size(), 32u);
      EXPECT_EQ(PropertyOf(*site, "AnonymousUserPass"), user->password);
    }
    // The account may use the panel's folder and the three components.
    const auto access = m.temp.machine().AccessList();
    for (const std::string& path :
         {m.In("Web"), m.Sys("DodIde.dll"), m.Sys("Quorvale.dll"), m.Sys("jmail.dll")})
      EXPECT_EQ(std::count(access.begin(), access.end(), AccessEntry{path, account, "F"}), 1) << path;
    auto catalogue = m.Catalogue();
    ASSERT_TRUE(catalogue.FindLogin("PanelUser"));
    EXPECT_EQ(catalogue.FindLogin("PanelUser")->sid == login, c.keep_sql_server);
    EXPECT_EQ(m.temp.Read(m.Sys("Quorvale.dll")) == "Quorvale.dll", c.keep_quorvale_dll);
    EXPECT_TRUE(m.temp.Read(m.Sys("jmail.dll")) == Resource(JMAIL));
    // Registered and opened to the account again, written or not.
    const Lines started = m.StartedSinceInstall();
    const Lines commands = ComponentCommands(account);
    ASSERT_GE(started.size(), commands.size());
    EXPECT_EQ(Lines(started.end() - static_cast<long>(commands.size()), started.end()), commands);
  }
}

// The administrator of the record cannot connect, the machine's own server
// with the Windows login can: the repair goes on with it and records it.
TEST(Repair, FallsBackToTheLocalServer) {
  PanelMachine m;
  m.Install();
  m.Damage();
  setup::ControlEndHelpers ini;
  ini.INIFileName = m.In("Uninstall.ini");
  ini.WriteIniKey("Uninstall", "MSSQLServer", "sqlbox.quorvale.cn");
  setup::RewriteConnectionSettings(m.folder, "sqlbox.quorvale.cn", "PanelUser", "panel-pw", "Panel");
  m.Run("-modify");

  EXPECT_EQ(m.List(),
            Join<std::string>({{"正在准备修复主控端程序..."}, kSiteRebuilt, kDatabaseAttached, kEnd}));
  auto record = m.Record();
  EXPECT_EQ(record["MSSQLServer"], "(local)");
  EXPECT_EQ(record["MSSQLUserName"], "");
  EXPECT_EQ(record["MSSQLPassWord"], "");
  EXPECT_EQ(record["SQLUserName"], "PanelUser");
  EXPECT_NE(setup::ReadTextFile(m.In("Web\\Inc\\Conn.asp")).find("ServerName = \"(local)\" "),
            std::string::npos);
  EXPECT_TRUE(m.Catalogue().FindDatabase("Panel"));
}

// Which data files the repair attaches: named after the record's database,
// else after the settings' one, else the shipped pair, renamed to the
// database's name unless it has it in any letter case.
struct PairCase {
  const char* name;
  const char* database;                                      // the install's
  const char* record_database;                               // written over the record's after the install
  std::vector<std::pair<const char*, const char*>> renames;  // in Data, after the damage
  const char* attached;                                      // the data file the database is attached from
  std::vector<const char*> left;                             // files in Data afterwards
};

const PairCase kPairCases[] = {
    {"the record's pair", "Panel", nullptr, {}, "Panel.mdf", {"Panel.ldf", "Panel.mdf"}},
    {"the settings' pair", "Panel", "Old", {}, "Panel.mdf", {"Panel.ldf", "Panel.mdf"}},
    {"the shipped pair",
     "Panel",
     nullptr,
     {{"Panel.mdf", "Quorvale.mdf"}, {"Panel.ldf", "Quorvale.ldf"}},
     "Panel.mdf",
     {"Panel.ldf", "Panel.mdf"}},
    {"the shipped pair under its own name",
     "QUORVALE",
     "Old",
     {},
     "Quorvale.mdf",
     {"Quorvale.ldf", "Quorvale.mdf"}},
};

TEST(Repair, FindsTheDataFiles) {
  for (const auto& c : kPairCases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install({.database = c.database});
    m.Damage();
    if (c.record_database) {
      setup::ControlEndHelpers ini;
      ini.INIFileName = m.In("Uninstall.ini");
      ini.WriteIniKey("Uninstall", "SQLDataBase", c.record_database);
    }
    for (const auto& [from, to] : c.renames)
      std::filesystem::rename(m.temp.Host(m.In("Data\\") + from), m.temp.Host(m.In("Data")) / to);
    m.Run("-modify");

    EXPECT_EQ(m.List(),
              Join<std::string>({{"正在准备修复主控端程序..."}, kSiteRebuilt, kDatabaseAttached, kEnd}));
    auto catalogue = m.Catalogue();
    ASSERT_TRUE(catalogue.FindDatabase(c.database));
    EXPECT_EQ(catalogue.FindDatabase(c.database)->mdf, m.In("Data\\") + c.attached);
    std::vector<std::string> left;
    for (const auto& f : std::filesystem::directory_iterator(m.temp.Host(m.In("Data"))))
      left.push_back(f.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, std::vector<std::string>(c.left.begin(), c.left.end()));
    EXPECT_EQ(m.Record()["SQLDataBase"], c.database);
  }
}

// A number is drawn in every run, also when the record has one, and the
// first without reseeding the generator: the next number of the generator
// as it stands.
TEST(Repair, DrawsANumberInEveryRun) {
  PanelMachine m;
  m.Install({.sql_server = false});
  const auto state = static_cast<std::uint32_t>(win32::Rnd(0) * 16777216.0f);
  const std::uint32_t next = (state * 1140671485u + 12820163u) & 0xFFFFFFu;
  m.Run("-modify");
  EXPECT_EQ(win32::Rnd(0), static_cast<float>(next) / 16777216.0f);
  EXPECT_EQ(m.Record()["SiteNum"], m.site.number);
}

// From a drive root the folder is the two characters "C:"; a folder of
// three characters that is no drive root stays as it is.
struct FolderCase {
  const char* app_path;
  const char* folder;
  const char* cacls;
};

const FolderCase kFolderCases[] = {
    {"C:\\", "C:", "Cacls C:\\Web /t /e /c /g "},
    {"C:\\Q", "C:\\Q", "Cacls C:\\Q\\Web /t /e /c /g "},
};

TEST(Repair, FromADriveRootWorksInTheTwoCharacters) {
  for (const auto& c : kFolderCases) {
    SCOPED_TRACE(c.app_path);
    PanelMachine m;
    m.folder = c.folder;
    m.program->SetAppPath(c.app_path);
    m.Install();
    m.Damage();
    m.Run("-modify");

    EXPECT_EQ(m.List(),
              Join<std::string>({{"正在准备修复主控端程序..."}, kSiteRebuilt, kDatabaseAttached, kEnd}));
    const auto record = m.Record();
    EXPECT_EQ(record.at("SetupDir"), c.folder);
    EXPECT_EQ(record.at("MDF"), std::string(c.folder) + "\\Data\\Panel.mdf");
    const auto root = m.Key("/LM/W3SVC/" + m.site.number + "/ROOT");
    const auto uninstall = m.temp.machine().Registry().GetValue(testing::kEntry, "UninstallString");
    ASSERT_TRUE(root);
    ASSERT_TRUE(uninstall);
    EXPECT_EQ(PropertyOf(*root, "Path"), std::string(c.folder) + "\\Web");
    EXPECT_EQ(m.StartedSinceInstall().at(0), c.cacls + m.site.account + ":F");
    EXPECT_EQ(uninstall->data, std::string(c.folder) + "\\Uninstall.exe -delete");
  }
}

// A state file of the machine found damaged stops the repair with the
// file's own message, before anything changes.
TEST(Repair, ADamagedMachineFileIsNamed) {
  PanelMachine m;
  m.Install();
  m.Damage();
  const auto accounts = m.temp.Folder() / "accounts.txt";
  std::filesystem::resize_file(accounts, 10);
  m.Run("-modify");

  ASSERT_EQ(m.driver.Messages().size(), 2u);
  const auto& box = m.driver.Messages()[1].request;
  EXPECT_EQ(box.prompt.find("machine file " + accounts.string() + ": "), 0u) << box.prompt;
  EXPECT_EQ(box.icon, ui::MsgIcon::Critical);
  EXPECT_EQ(box.title, "修复");
  EXPECT_TRUE(m.driver.Ended());
  EXPECT_EQ(m.List(), Lines{"正在准备修复主控端程序..."});
  EXPECT_FALSE(m.SiteThere(m.site.number));
}

}  // namespace
}  // namespace quorvale::uninstall
