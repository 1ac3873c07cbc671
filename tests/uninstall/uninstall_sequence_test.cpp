// The uninstall on an installed control end and on what is left of one:
// the list lines and bar widths of each case, and what the machine holds
// afterwards.
#include <gtest/gtest.h>

#include "panel_machine.h"
#include "quorvale/com/create_object.h"

namespace quorvale::uninstall {
namespace {

using testing::Join;
using testing::Lines;
using testing::Panel;
using testing::PanelMachine;

const Lines kComponentsAndEntry = {"正在卸载组件...", "正在更新注册表..."};
const std::vector<int> kComponentWidths = {3000, 3500, 4000, 4500, 5000, 5500, 6000, 6765};

void StopSqlServer(PanelMachine& m) { testing::StopSqlServer(m.temp); }

struct Case {
  const char* name;
  Panel panel;
  std::function<void(PanelMachine&)> arrange;
  Lines list;
  std::vector<int> widths;
  // What is left afterwards of what the install made.
  bool site_left, account_left, database_left;
};

const Case kCases[] = {
    {"SQL Server",
     {},
     nullptr,
     Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除主控端站点...", "正在删除网站独立帐户...",
                         "正在删除主控端站点...", "正在准备删除数据库...", "正在结束访问数据库的进程...",
                         "正在删除数据库...", "正在删除数据库帐号..."},
                        kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 500, 1000, 1200, 1500, 1800, 2000, 2500}, kComponentWidths}),
     false,
     false,
     false},
    {"without a record",
     {},
     [](PanelMachine& m) { std::filesystem::remove(m.temp.Host(m.In("Uninstall.ini"))); },
     Join<std::string>({{"正在准备卸载主控端程序..."}, kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 1000, 2500}, kComponentWidths}),
     true,
     true,
     true},
    {"a site already gone",
     {},
     [](PanelMachine& m) {
       Err err;
       setup::DeleteWebSite(err, m.site.number);
     },
     Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除主控端站点...", "正在准备删除数据库...",
                         "正在结束访问数据库的进程...", "正在删除数据库...", "正在删除数据库帐号..."},
                        kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 1200, 1500, 1800, 2000, 2500}, kComponentWidths}),
     false,
     true,
     false},
    {"an Access record",
     {.sql_server = false},
     nullptr,
     Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除主控端站点...", "正在删除网站独立帐户...",
                         "正在删除主控端站点..."},
                        kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 500, 1000, 2500}, kComponentWidths}),
     false,
     false,
     false},
    {"no server reachable",
     {},
     StopSqlServer,
     Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除主控端站点...", "正在删除网站独立帐户...",
                         "正在删除主控端站点...", "正在准备删除数据库..."},
                        kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 500, 1000, 1200, 1500, 1800, 2500}, kComponentWidths}),
     false,
     false,
     true},
    {"a login already gone",
     {},
     [](PanelMachine& m) {
       sqlserver::UpdateCatalogue(m.temp.machine(), [](sqlserver::Catalogue& c) {
         std::erase_if(c.logins, [](const sqlserver::Login& l) { return l.name == "PanelUser"; });
         return true;
       });
     },
     Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除主控端站点...", "正在删除网站独立帐户...",
                         "正在删除主控端站点...", "正在准备删除数据库...", "正在结束访问数据库的进程...",
                         "正在删除数据库...", "正在删除数据库帐号...", "数据库帐号删除失败..."},
                        kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 500, 1000, 1200, 1500, 1800, 2000, 2500}, kComponentWidths}),
     false,
     false,
     false},
    {"a record without a site number",
     {},
     [](PanelMachine& m) {
       setup::ControlEndHelpers ini;
       ini.INIFileName = m.In("Uninstall.ini");
       ini.DelIniKey("Uninstall", "SiteNum");
     },
     Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除数据库...", "正在结束访问数据库的进程...",
                         "正在删除数据库...", "正在删除数据库帐号..."},
                        kComponentsAndEntry}),
     Join<int>({{15, 100, 200, 300, 1000, 1200, 1500, 1800, 2000, 2500}, kComponentWidths}),
     true,
     true,
     false},
};

TEST(Uninstall, RemovesWhatTheRecordNamesThenTheComponentsAndTheEntry) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install(c.panel);
    if (c.arrange) c.arrange(m);
    m.Run("-delete");

    EXPECT_EQ(m.List(), c.list);
    EXPECT_EQ(m.widths, c.widths);
    EXPECT_EQ(m.driver.ShownForms(), Lines{"Complete"});
    EXPECT_EQ(m.running().StateCaption.Caption(), "正在更新注册表...");
    EXPECT_EQ(m.complete().Label1.Caption(), "恭喜，软件卸载成功！");
    EXPECT_EQ(m.SiteThere(m.site.number), c.site_left);
    EXPECT_EQ(m.Account(m.site.account).has_value(), c.account_left);
    auto catalogue = m.Catalogue();
    EXPECT_EQ(catalogue.FindDatabase("Panel") != nullptr, c.database_left);
    EXPECT_EQ(catalogue.FindLogin("PanelUser") != nullptr, c.database_left);
    // Always: the components and the entry go, the web service runs, the
    // install folder waits for Delete.bat.
    EXPECT_EQ(
        m.StartedSinceInstall(),
        (Lines{
            "C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe C:\\WINDOWS\\system32\\DodIde.dll /u",
            "regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /u /s",
            "regsvr32 C:\\WINDOWS\\system32\\jmail.dll /u /s"}));
    for (const char* f : {"DodIde.dll", "Quorvale.dll", "Jmail.dll"})
      EXPECT_FALSE(m.temp.Exists(m.Sys(f))) << f;
    EXPECT_FALSE(m.EntryThere());
    const auto w3svc = m.temp.machine().FindService("W3SVC");
    ASSERT_TRUE(w3svc);
    EXPECT_EQ(w3svc->state, "running");
    EXPECT_TRUE(m.temp.Exists(m.In("Web\\Inc\\Conn.asp")));
  }
}

// Connections of other programs to the panel database are ended before
// the drop, which then succeeds; the login goes after it.
TEST(Uninstall, EndsTheProcessesOfTheDatabaseBeforeTheDrop) {
  PanelMachine m;
  m.Install();
  std::vector<ComPtr<IDispatch>> panel_pages;
  for (int i = 0; i < 2; ++i) {
    panel_pages.push_back(CreateObject("ADODB.Connection"));
    CallMethod(panel_pages.back().get(), "Open",
               {Variant("driver={SQL server};server=(local);uid=PanelUser;pwd=panel-pw;database=Panel")});
  }
  ASSERT_EQ(m.Catalogue().processes.size(), 2u);
  m.Run("-delete");

  EXPECT_EQ(m.List(),
            Join<std::string>({{"正在准备卸载主控端程序...", "正在准备删除主控端站点...",
                                "正在删除网站独立帐户...", "正在删除主控端站点...", "正在准备删除数据库...",
                                "正在结束访问数据库的进程...", "正在删除数据库...", "正在删除数据库帐号..."},
                               kComponentsAndEntry}));
  auto catalogue = m.Catalogue();
  EXPECT_FALSE(catalogue.FindDatabase("Panel"));
  EXPECT_FALSE(catalogue.FindLogin("PanelUser"));
  for (auto& page : panel_pages) {
    Err err;
    EXPECT_FALSE(
        err.Resume([&] { CallMethod(page.get(), "Execute", {Variant("select * from sysdatabases")}); }));
  }
}

// What stops the uninstall before anything changes: a record that is there
// but cannot be read, and a damaged state file of the machine.
TEST(Uninstall, StopsOnlyForWhatCannotBeRead) {
  struct StopCase {
    const char* name;
    std::function<std::string(PanelMachine&)> arrange;  // the message expected
    ui::MsgIcon icon;
  } cases[] = {
      {"a record that cannot be read",
       [](PanelMachine& m) {
         m.temp.Write(m.In("Uninstall.ini"), "[Uninstall]\r\nSiteNum=\xFF\r\n");
         return std::string("主控端配置文件参数调用失败，无法进行卸载操作！");
       },
       ui::MsgIcon::Question},
      {"a damaged services file",
       [](PanelMachine& m) {
         const auto services = m.temp.Folder() / "services.txt";
         std::filesystem::resize_file(services, 5);
         return "machine file " + services.string() + ": ";
       },
       ui::MsgIcon::Critical},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PanelMachine m;
    m.Install();
    const std::string message = c.arrange(m);
    m.Run("-delete");

    ASSERT_EQ(m.driver.Messages().size(), 2u);
    const auto& box = m.driver.Messages()[1].request;
    EXPECT_EQ(box.prompt.substr(0, message.size()), message);
    EXPECT_EQ(box.icon, c.icon);
    EXPECT_EQ(box.title, "卸载");
    EXPECT_TRUE(m.driver.Ended());
    EXPECT_EQ(m.StartedSinceInstall(), Lines{});
    EXPECT_TRUE(m.SiteThere(m.site.number));
    EXPECT_TRUE(m.EntryThere());
    EXPECT_TRUE(m.temp.Exists(m.Sys("Quorvale.dll")));
  }
}

}  // namespace
}  // namespace quorvale::uninstall
