// Client's whole install, headless on the test clock, judged by what the
// progress page showed and what the machine holds afterwards: the site, its
// account, the database, Conn.asp, the components with the programs that
// registered them, and the records.
#include <gtest/gtest.h>

#include <algorithm>

#include "install_run.h"
#include "metabase_reads.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/payload/payloads.h"

namespace quorvale::client::testing {
namespace {

using setup::testing::InGroup;
using setup::testing::MetabaseKeyAt;
using setup::testing::PropertyOf;

// The programs the install starts, in order, all hidden.
Lines StartedFor(const std::string& n) {
  return {
      "C:\\Program Files\\Quorvale\\主控端\\Rar.exe x -r -y -o+ C:\\PROGRA~1\\Quorvale\\主控端\\Quorvale.rar "
      "C:\\PROGRA~1\\Quorvale\\主控端",
      "Cacls C:\\PROGRA~1\\Quorvale\\主控端\\Web /t /e /c /g IUSR_" + n + ":F",
      "C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe C:\\WINDOWS\\system32\\DodIde.dll "
      "/CodeBase",
      "regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /s",
      "regsvr32 C:\\WINDOWS\\system32\\Jmail.dll /s",
      "Cacls C:\\WINDOWS\\system32\\DodIde.dll /e /c /g IUSR_" + n + ":R",
      "Cacls C:\\WINDOWS\\system32\\Quorvale.dll /e /c /g IUSR_" + n + ":R",
      "Cacls C:\\WINDOWS\\system32\\Jmail.dll /e /c /g Everyone:R",
  };
}

// What every install leaves, whichever database: the list, the captions
// and widths; the site, its account and its folder's access; the three
// components in the system folder with their programs; the deleted files;
// the registry entry.
void ExpectInstalled(InstallRun& run, const Lines& list, bool sql_server, const std::string& binding) {
  auto& page = run.Progress();
  EXPECT_EQ(page.SetupList.Items(), list);
  EXPECT_EQ(run.captions, Captions(list));
  EXPECT_EQ(run.widths, Widths(sql_server));
  EXPECT_EQ(page.Loading.Width(), 6765);
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_TRUE(run.driver.Messages().empty());

  const std::string n = run.SiteNumber();
  ASSERT_FALSE(n.empty());
  EXPECT_EQ(n.find_first_not_of("0123456789"), std::string::npos);
  const std::string user = "IUSR_" + n;

  // The site with its binding, root directory and application, started.
  auto site = MetabaseKeyAt(run.temp.machine(), "/LM/W3SVC/" + n);
  ASSERT_TRUE(site);
  EXPECT_EQ(PropertyOf(*site, "ServerBindings"), binding);
  EXPECT_EQ(PropertyOf(*site, "ServerComment"), "HostSystem");
  EXPECT_EQ(PropertyOf(*site, "AnonymousUserName"), user);
  EXPECT_EQ(PropertyOf(*site, "AuthFlags"), "5");
  EXPECT_EQ(PropertyOf(*site, "DefaultDoc"), "Index.asp");
  EXPECT_EQ(PropertyOf(*site, "EnableDefaultDoc"), "TRUE");
  EXPECT_EQ(PropertyOf(*site, "AspEnableParentPaths"), "TRUE");
  EXPECT_EQ(PropertyOf(*site, "ServerState"), "2");
  auto root = MetabaseKeyAt(run.temp.machine(), "/LM/W3SVC/" + n + "/ROOT");
  ASSERT_TRUE(root);
  EXPECT_EQ(PropertyOf(*root, "Path"), "C:\\Program Files\\Quorvale\\主控端\\Web");
  EXPECT_EQ(PropertyOf(*root, "AccessFlags"), "513");
  EXPECT_EQ(PropertyOf(*root, "AppFriendlyName"), "默认应用程序");
  EXPECT_EQ(PropertyOf(*root, "AppRoot"), "/LM/W3SVC/" + n + "/ROOT");

  // The account, in Guests, with the site's password.
  auto account = LocalAccounts(run.temp.machine()).FindUser(user);
  ASSERT_TRUE(account);
  EXPECT_EQ(account->full_name, "网站用户独立帐户");
  EXPECT_EQ(account->description, "匿名访问 Internet 信息服务的内置帐户");
  EXPECT_EQ(account->flags, 65600u);
  EXPECT_EQ(account->password.size(), 32u);
  EXPECT_EQ(PropertyOf(*site, "AnonymousUserPass"), account->password);
  EXPECT_TRUE(InGroup(run.temp.machine(), "Guests", user));

  // The programs in the order they were started, and the rights they gave.
  EXPECT_EQ(run.Started(), StartedFor(n));
  for (const auto& s : run.temp.machine().StartedPrograms()) EXPECT_EQ(s.show, 0) << s.command_line;
  const auto access = run.temp.machine().AccessList();
  const std::vector<AccessEntry> rights = {
      {"C:\\Program Files\\Quorvale\\主控端\\Web", user, "F"},
      {"C:\\Program Files\\Quorvale\\主控端\\Web\\Inc\\Conn.asp", user, "F"},
      {"C:\\WINDOWS\\system32\\DodIde.dll", user, "R"},
      {"C:\\WINDOWS\\system32\\Quorvale.dll", user, "R"},
      {"C:\\WINDOWS\\system32\\Jmail.dll", "Everyone", "R"},
  };
  for (const auto& r : rights)
    EXPECT_EQ(std::count(access.begin(), access.end(), r), 1) << r.path << " " << r.principal;
  const auto events = run.temp.machine().ProgramEvents();
  const std::vector<ProgramEvent> registered = {
      {"RegAsm.exe", "registered", "C:\\WINDOWS\\system32\\DodIde.dll", "/CodeBase"},
      {"regsvr32.exe", "registered", "C:\\WINDOWS\\system32\\Quorvale.dll", "DllRegisterServer 0x00000000"},
      {"regsvr32.exe", "registered", "C:\\WINDOWS\\system32\\Jmail.dll", "stand-in"},
  };
  for (const auto& e : registered)
    EXPECT_EQ(std::count(events.begin(), events.end(), e), 1) << e.program << " " << e.path;

  // The components moved into the system folder; the written files gone.
  const std::pair<const char*, std::size_t> components[] = {
      {"DodIde.dll", 98304}, {"Quorvale.dll", 397312}, {"Jmail.dll", 361984}};
  for (const auto& [file, size] : components) {
    EXPECT_EQ(run.temp.Read(std::string(kSystem) + "\\" + file).size(), size) << file;
    EXPECT_FALSE(run.temp.Exists(run.In(file))) << file;
  }
  for (const char* gone : {"Quorvale.rar", "Rar.exe"}) EXPECT_FALSE(run.temp.Exists(run.In(gone))) << gone;
  for (const char* kept : {"Uninstall.exe", "说明.txt", "Web\\Index.asp", "Uninstall.ini"})
    EXPECT_TRUE(run.temp.Exists(run.In(kept))) << kept;

  // The registry entry without DisplayIcon, its texts without the blanks
  // each was written with.
  const std::string key =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";
  auto& registry = run.temp.machine().Registry();
  Lines names = registry.ValueNames(key);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Lines{"DisplayName", "DisplayVersion", "ModifyPath", "Publisher", "URLInfoAbout",
                          "URLUpdateInfo", "UninstallString"}));
  const std::pair<const char*, const char*> values[] = {
      {"DisplayName", "Quorvale虚拟主机管理系统v3.0 主控端"},
      {"DisplayVersion", "3.0.0"},
      {"UninstallString", "C:\\Program Files\\Quorvale\\主控端\\Uninstall.exe -delete"},
      {"ModifyPath", "C:\\Program Files\\Quorvale\\主控端\\Uninstall.exe -modify"},
  };
  for (const auto& [name, text] : values) {
    auto value = registry.GetValue(key, name);
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(value->data, *win32::ToAnsi(text)) << name;
  }
}

// Uninstall.ini as the install leaves it, one key a line.
std::string Record(const Lines& keys) {
  std::string out = "[Uninstall]\r\n";
  for (const auto& k : keys) out += k + "\r\n";
  return out;
}

TEST(ClientInstall, WithAccessTheDatabaseAndConnAspStayAsShipped) {
  InstallRun run;
  run.InstallWith({});
  ExpectInstalled(run, kAccessList, false, ":80:panel.quorvale.cn");
  const std::string n = run.SiteNumber();
  EXPECT_EQ(run.Text(run.In("Uninstall.ini")),
            Record({"DataType=Access", "SetupDir=C:\\Program Files\\Quorvale\\主控端",
                    "DomainName=panel.quorvale.cn", "SiteNum=" + n, "User=IUSR_" + n}));
  EXPECT_TRUE(run.temp.Read(run.In("Web\\Inc\\Conn.asp")) == payload::ShippedConnAsp());
  EXPECT_TRUE(run.temp.Exists(run.In("Data\\Quorvale.mdf")));
  EXPECT_TRUE(run.temp.Exists(run.In("Data\\Quorvale.ldf")));
  EXPECT_EQ(run.Started().size(), 8u);
}

// Conn.asp as the shipped page with the five settings lines replaced, and
// one more line end.
std::string EditedConnAsp(const Lines& settings) {
  std::string text = win32::FromAnsi(payload::ShippedConnAsp());
  const char* shipped[] = {"DBType = \"Access\"", "ServerName = \"(local)\"", "UserName = \"\"",
                           "PassWord = \"\"", "DataBase = \"\""};
  for (std::size_t i = 0; i < settings.size(); ++i) {
    const auto at = text.find(shipped[i]);
    if (at == std::string::npos) return "<shipped page without " + std::string(shipped[i]) + ">";
    text.replace(at, std::string(shipped[i]).size(), settings[i]);
  }
  return text + "\r\n";
}

TEST(ClientInstall, WithSqlServerTheDatabaseIsAttachedAndOwnedByTheNewLogin) {
  InstallRun run(true);
  run.InstallWith({.sql_server = true, .database = "Panel", .login = "PanelUser", .password = "pw1"});
  ExpectInstalled(run, SqlList(), true, ":80:panel.quorvale.cn");

  // Attached under its name from the renamed files, owned by the new login.
  auto catalogue = sqlserver::LoadCatalogue(run.temp.machine());
  ASSERT_TRUE(catalogue);
  auto* db = catalogue->FindDatabase("Panel");
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->name, "Panel");
  EXPECT_EQ(db->mdf, "C:\\Program Files\\Quorvale\\主控端\\Data\\Panel.mdf");
  EXPECT_EQ(db->ldf, "C:\\Program Files\\Quorvale\\主控端\\Data\\Panel.ldf");
  auto* login = catalogue->FindLogin("PanelUser");
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->password, "pw1");
  EXPECT_EQ(login->default_database, "Panel");
  auto user = std::find_if(db->users.begin(), db->users.end(),
                           [&](const sqlserver::DatabaseUser& u) { return u.login_sid == login->sid; });
  ASSERT_NE(user, db->users.end());
  EXPECT_EQ(user->name, "PanelUser");
  EXPECT_TRUE(user->roles.count("db_owner"));
  EXPECT_TRUE(run.temp.Exists(run.In("Data\\Panel.mdf")));
  EXPECT_FALSE(run.temp.Exists(run.In("Data\\Quorvale.mdf")));
  EXPECT_FALSE(run.temp.Exists(run.In("Data\\Quorvale.ldf")));

  // Conn.asp line by line: the five settings, the rest as shipped.
  EXPECT_EQ(run.Text(run.In("Web\\Inc\\Conn.asp")),
            EditedConnAsp({"DBType = \"SQL\"", "ServerName = \"(local)\"", "UserName = \"PanelUser\"",
                           "PassWord = \"pw1\"", "DataBase = \"Panel\""}));

  const std::string n = run.SiteNumber();
  EXPECT_EQ(run.Text(run.In("Uninstall.ini")),
            Record({"DataType=SQL", "MSSQLServer=(local)", "MSSQLUserName=sa", "MSSQLPassWord=Sa2000",
                    "SQLDataBase=Panel", "SQLUserName=PanelUser", "SQLPassWord=pw1",
                    "MDF=C:\\Program Files\\Quorvale\\主控端\\Data\\Panel.mdf",
                    "LDF=C:\\Program Files\\Quorvale\\主控端\\Data\\Panel.ldf",
                    "SetupDir=C:\\Program Files\\Quorvale\\主控端", "DomainName=panel.quorvale.cn",
                    "SiteNum=" + n, "User=IUSR_" + n}));
}

// A line break pasted into the panel's password is refused on its page and
// mended; the awkward values the page takes (quotes, ";" and "}" in the
// administrator's password, which its connection checks; blanks, signs and
// Chinese in the panel's own) land in Conn.asp and Uninstall.ini byte
// for byte, and the login is made with its password as typed.
TEST(ClientInstall, ARefusedValueIsMendedAndTheTakenOnesLandByteForByte) {
  const std::string sa = "S\"a'2;0}0 =x";
  const std::string database = "面板[1]", login = "用户 #1", password = "a=b&c%d<e>!@$^()";
  InstallRun run(true);
  sqlserver::UpdateCatalogue(run.temp.machine(), [&](sqlserver::Catalogue& c) {
    c.FindLogin("sa")->password = sa;
    return true;
  });
  run.Start();
  auto& page = run.WalkToDataBase();
  run.driver.Click(page.SQLServer);
  run.driver.Type(page.MSSQLPassWord, sa);
  run.driver.Type(page.PassWord, "p=w\r\n");
  run.driver.Click(page.NextButton);
  run.ExpectError(0, "新建立数据库的数据库密码中不能包含换行、制表符等控制字符!");
  EXPECT_EQ(run.driver.FocusName(), "DataBase.PassWord");
  run.driver.Type(page.DataBase, database);
  run.driver.Type(page.UserName, login);
  run.driver.Type(page.PassWord, password);
  run.driver.Click(page.NextButton);
  run.driver.Click(run.Page<DirectoryPage>().NextButton);
  run.driver.Type(run.Page<DomainPage>().Domain, "panel.quorvale.cn");
  run.driver.Click(run.Page<DomainPage>().NextButton);
  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
  run.RunInstall();
  EXPECT_EQ(run.Progress().SetupList.Items(), SqlList());

  auto catalogue = *sqlserver::LoadCatalogue(run.temp.machine());
  ASSERT_NE(catalogue.FindDatabase(database), nullptr);
  ASSERT_NE(catalogue.FindLogin(login), nullptr);
  EXPECT_EQ(catalogue.FindLogin(login)->password, password);
  EXPECT_EQ(
      run.temp.Read(run.In("Web\\Inc\\Conn.asp")),
      *win32::ToAnsi(EditedConnAsp({"DBType = \"SQL\"", "ServerName = \"(local)\"", "UserName = \"用户 #1\"",
                                    "PassWord = \"a=b&c%d<e>!@$^()\"", "DataBase = \"面板[1]\""})));
  const std::string n = run.SiteNumber();
  EXPECT_EQ(run.temp.Read(run.In("Uninstall.ini")),
            *win32::ToAnsi(Record({"DataType=SQL", "MSSQLServer=(local)", "MSSQLUserName=sa",
                                   "MSSQLPassWord=S\"a'2;0}0 =x", "SQLDataBase=面板[1]",
                                   "SQLUserName=用户 #1", "SQLPassWord=a=b&c%d<e>!@$^()",
                                   "MDF=C:\\Program Files\\Quorvale\\主控端\\Data\\面板[1].mdf",
                                   "LDF=C:\\Program Files\\Quorvale\\主控端\\Data\\面板[1].ldf",
                                   "SetupDir=C:\\Program Files\\Quorvale\\主控端",
                                   "DomainName=panel.quorvale.cn", "SiteNum=" + n, "User=IUSR_" + n})));
}

}  // namespace
}  // namespace quorvale::client::testing
