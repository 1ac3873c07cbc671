// Client's install in the cases that set one run apart from another: the
// installed component answering, the host name of the binding, database
// names (Panel in the whole run with SQL Server), a server that went away,
// a login that came in between, a Conn.asp edited before, components
// already in the system folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "install_run.h"
#include "loopback_agent.h"
#include "quorvale/com/create_object.h"
#include "quorvale/machine/metabase.h"

namespace quorvale::client::testing {
namespace {

std::optional<std::string> RegText(InstallRun& run, const std::string& key, const std::string& name = "") {
  auto v = run.temp.machine().Registry().GetValue(key, name);
  return v ? std::optional(v->AsText()) : std::nullopt;
}

TEST(ClientInstalled, TheComponentAnswersThroughTheMachinesRegistry) {
  InstallRun run;
  run.InstallWith({});
  const auto clsid = RegText(run, "HKEY_CLASSES_ROOT\\Quorvale.Host\\CLSID");
  ASSERT_TRUE(clsid);
  EXPECT_EQ(RegText(run, "HKEY_CLASSES_ROOT\\CLSID\\" + *clsid + "\\InprocServer32"),
            "C:\\WINDOWS\\system32\\Quorvale.dll");
  LoopbackAgent agent;
  agent.body_ = "\xB3\xC9\xB9\xA6";  // 成功 in code page 936
  auto host = CreateObject("Quorvale.Host");
  ASSERT_TRUE(host);
  const Variant answer = CallMethod(
      host.get(), "GetState",
      {Variant("127.0.0.1"), Variant(std::int32_t{agent.port_}), Variant("pw"), Variant(std::int32_t{12})});
  EXPECT_EQ(answer.TextForm(), "成功");
  EXPECT_EQ(agent.target_, "/GetState?ServerPassWord=pw&SiteNum=12");
}

std::string SiteBinding(InstallRun& run) {
  const auto keys = Metabase(run.temp.machine()).Load();
  if (!keys) return "<no IIS>";
  for (const auto& k : *keys)
    if (k.location == "/LM/W3SVC/" + run.SiteNumber())
      return k.Find("ServerBindings") ? *k.Find("ServerBindings") : "";
  return "<no site>";
}

std::string RecordKey(InstallRun& run, const std::string& key) {
  const std::string text = run.Text(run.In("Uninstall.ini"));
  const auto at = text.find("\r\n" + key + "=");
  if (at == std::string::npos) return "<missing>";
  const auto from = at + key.size() + 3;
  return text.substr(from, text.find("\r\n", from) - from);
}

TEST(ClientInstalled, TheSiteIsBoundToTheHostNameAsTyped) {
  struct Case {
    const char* typed;
    const char* binding;
  } cases[] = {
      {"", ":80:"},  // every host name on port 80
      {"Panel.Quorvale.CN", ":80:Panel.Quorvale.CN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    InstallRun run;
    run.BindSite("1", ":80:www.default.test");  // the default site leaves ":80:" free
    run.InstallWith({.domain = c.typed});
    EXPECT_EQ(SiteBinding(run), c.binding);
    EXPECT_EQ(RecordKey(run, "DomainName"), c.typed);
    EXPECT_EQ(run.Progress().SetupList.ListCount(), 16);
  }
}

// Conn.asp's five settings lines, in order, as the file holds them.
Lines SettingsLines(InstallRun& run) {
  const std::string text = run.Text(run.In("Web\\Inc\\Conn.asp"));
  Lines out;
  for (const char* name : {"DBType = ", "ServerName = ", "UserName = ", "PassWord = ", "DataBase = "}) {
    const auto at = text.find("\r\n" + std::string(name));
    out.push_back(at == std::string::npos ? "<missing>" : text.substr(at + 2, text.find("  ", at) - at - 2));
  }
  return out;
}

TEST(ClientInstalled, DatabaseNamesAreTakenAsTyped) {
  struct Case {
    const char* name;
    Choices choices;
    const char* mdf;         // the attached data file, as the server names it
    const char* record_mdf;  // the record's MDF
    const char* shipped_mdf_left;
    Lines settings;
  } cases[] = {
      {"the shipped name in other letters",
       {.sql_server = true, .database = "quorvale", .login = "Quorvale", .password = "pw2"},
       "C:\\Program Files\\Quorvale\\主控端\\Data\\Quorvale.mdf",
       "C:\\Program Files\\Quorvale\\主控端\\Data\\quorvale.mdf",
       "yes",
       {"DBType = \"SQL\"", "ServerName = \"(local)\"", "UserName = \"Quorvale\"", "PassWord = \"pw2\"",
        "DataBase = \"quorvale\""}},
      {"blanks, signs and Chinese inside",
       {.sql_server = true, .database = "面板 Data-1", .login = "O&Brien=1", .password = "p=w&%<>!中 文"},
       "C:\\Program Files\\Quorvale\\主控端\\Data\\面板 Data-1.mdf",
       "C:\\Program Files\\Quorvale\\主控端\\Data\\面板 Data-1.mdf",
       "no",
       {"DBType = \"SQL\"", "ServerName = \"(local)\"", "UserName = \"O&Brien=1\"",
        "PassWord = \"p=w&%<>!中 文\"", "DataBase = \"面板 Data-1\""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(true);
    run.InstallWith(c.choices);
    // No failure line: every statement went through.
    EXPECT_EQ(run.Progress().SetupList.ListCount(), 17);
    auto catalogue = *sqlserver::LoadCatalogue(run.temp.machine());
    auto* db = catalogue.FindDatabase(c.choices.database);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->name, c.choices.database);
    EXPECT_EQ(db->mdf, c.mdf);
    auto* login = catalogue.FindLogin(c.choices.login);
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->password, c.choices.password);
    EXPECT_TRUE(std::any_of(db->users.begin(), db->users.end(), [&](const sqlserver::DatabaseUser& u) {
      return u.login_sid == login->sid && u.roles.count("db_owner");
    }));
    EXPECT_EQ(run.temp.Exists(run.In("Data\\Quorvale.mdf")) ? "yes" : "no", std::string(c.shipped_mdf_left));
    EXPECT_EQ(SettingsLines(run), c.settings);
    EXPECT_EQ(RecordKey(run, "SQLDataBase"), c.choices.database);
    EXPECT_EQ(RecordKey(run, "SQLUserName"), c.choices.login);
    EXPECT_EQ(RecordKey(run, "SQLPassWord"), c.choices.password);
    EXPECT_EQ(RecordKey(run, "MDF"), c.record_mdf);
  }
}

// What changed on the machine between the install button and the timer's
// first tick, and the lines the database steps then list.
TEST(ClientInstalled, DatabaseFailuresListTheirLinesAndTheInstallGoesOn) {
  struct Case {
    const char* name;
    std::function<void(InstallRun&)> meanwhile;
    Lines failures;
  } cases[] = {
      {"the server stopped",
       [](InstallRun& run) {
         auto service = run.temp.machine().FindService("MSSQLSERVER");
         ASSERT_TRUE(service);
         service->state = "stopped";
         run.temp.machine().SetService(*service);
       },
       {"网站数据库建立失败...", "网站数据库帐号建立失败...", "网站数据库帐号访问权限设置失败...",
        "网站数据库帐号访问权限设置失败...", "网站数据库帐号访问权限设置失败...", "网站数据库建立失败..."}},
      {"the login made by someone else, with the same password",
       [](InstallRun& run) {
         sqlserver::UpdateCatalogue(run.temp.machine(), [](sqlserver::Catalogue& c) {
           c.logins.push_back({"Quorvale", "panel-pw", "master", c.next_sid++, false});
           return true;
         });
       },
       {"网站数据库帐号建立失败..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(true);
    run.WalkToInstall({.sql_server = true});
    c.meanwhile(run);
    run.RunInstall();
    EXPECT_EQ(run.Progress().SetupList.Items(), SqlList(c.failures));
    EXPECT_EQ(run.captions, Captions(SqlList()));
    EXPECT_EQ(run.widths, Widths(true));
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
    // The rest of the install went on.
    EXPECT_EQ(run.Started().size(), 8u);
    EXPECT_EQ(SettingsLines(run)[0], "DBType = \"SQL\"");
    EXPECT_EQ(RecordKey(run, "SQLDataBase"), "Quorvale");
  }
}

TEST(ClientInstalled, AConnAspEditedBeforeOnlyGainsALineEnd) {
  // An earlier panel's Conn.asp, open while the unpacker runs, so that it
  // is not replaced; let go once the unpacker is done.
  InstallRun run(true);
  const std::string earlier =
      "<%\r\nDBType = \"SQL\"\r\nServerName = \"db1\"\r\nUserName = \"old\"\r\nPassWord = \"x\"\r\n"
      "DataBase = \"Old\"\r\n%>\r\n";
  run.temp.Write(run.In("Web\\Inc\\Conn.asp"), earlier);
  FileHold hold = run.temp.machine().Hold(run.In("Web\\Inc\\Conn.asp"), "w3wp.exe");
  run.WalkToInstall({.sql_server = true});
  run.RunInstall([&] { hold.Release(); });
  EXPECT_EQ(run.temp.Read(run.In("Web\\Inc\\Conn.asp")), earlier + "\r\n");
  EXPECT_EQ(run.Progress().SetupList.ListCount(), 17);
}

TEST(ClientInstalled, ComponentsAlreadyInTheSystemFolderAreKeptAndRegistered) {
  InstallRun run;
  const std::string older = "an older Jmail.dll";
  run.temp.Write("C:\\WINDOWS\\system32\\Jmail.dll", older);
  run.InstallWith({});
  EXPECT_EQ(run.temp.Read("C:\\WINDOWS\\system32\\Jmail.dll"), older);
  EXPECT_FALSE(run.temp.Exists(run.In("Jmail.dll")));
  const auto started = run.Started();
  EXPECT_EQ(std::count(started.begin(), started.end(), "regsvr32 C:\\WINDOWS\\system32\\Jmail.dll /s"), 1);
  EXPECT_EQ(run.temp.Read("C:\\WINDOWS\\system32\\Quorvale.dll").size(), 397312u);
}

}  // namespace
}  // namespace quorvale::client::testing
