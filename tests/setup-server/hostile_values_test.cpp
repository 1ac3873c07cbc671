// What each box of the server's pages refuses before its value is used,
// value by value: control characters, characters code page 936 lacks, the
// box's own characters and its length, each with a message naming the box
// and the focus on it; a value it takes goes on to the page's own checks.
// And the install folder's length, at its boundary.
#include "hostile_values.h"

#include <gtest/gtest.h>

#include <functional>

#include "server_run.h"

namespace quorvale::server {
namespace {

using namespace testing;
using namespace setup::testing;

constexpr auto kQuestion = ui::MsgIcon::Question;

struct BoxCase {
  const char* box;
  std::function<void(ChainRun&)> reach;  // the box's page active, the other boxes filled
  const char* title;
  BoxRefusals refusals;
  Outcome taken;  // what a value it takes meets: the page's own check, or (no prompt) the next page
};

void ToServUPage(ChainRun& run, const Choices& choices) {
  run.ToService();
  run.Choose(choices);
  run.ToServU();
}

void ToPageAfterServU(ChainRun& run, const Choices& choices) {
  ToServUPage(run, choices);
  run.driver.Click(run.ServU().NextButton);
}

BoxRefusals Path(const std::string& name, const std::string& own = "") {
  return {name, TooLong(name, 259), own, own.empty() ? "" : name + "中不能包含以下字符：" + own};
}

BoxRefusals Login(const std::string& name) { return {name, TooLong(name, 1023), "", ""}; }

TEST(HostileValues, EachServerBoxRefusesWhatWouldCorruptWhereItsValueGoes) {
  const Choices scripts{true, true, MailChoice::kNone, true, false};
  const Choices imail{false, false, MailChoice::kIMail, true, false};
  const Choices winwebmail{false, false, MailChoice::kWinWebMail, true, false};
  const Choices sql_server{false, false, MailChoice::kNone, true, false};
  const Choices my_sql{false, false, MailChoice::kNone, false, true};
  const Outcome sql_failed{"SQL Server数据库连接失败!", "错误", kQuestion, "NextButton"};
  const Outcome mysql_failed{"MySQL数据库连接失败!", "错误", kQuestion, "NextButton"};
  auto on_sql_server = [&](ChainRun& run) {
    ToPageAfterServU(run, sql_server);
    run.FillIn("SQLServer");
  };
  // A login no MariaDB has, so that no value connects.
  auto on_mysql = [&](ChainRun& run) {
    ToPageAfterServU(run, my_sql);
    run.driver.Type(run.MySQL().MySQLUserName, "quorvale-nobody");
    run.driver.Type(run.MySQL().MySQLPassWord, "x");
  };
  const BoxCase cases[] = {
      {"Directory",
       [](ChainRun& run) {
         run.ToService();
         run.driver.Click(run.Service().NextButton);
       },
       "错误",
       {"安装目标文件夹路径", FolderTooLong("安装目标文件夹路径", 232), "&%",
        "安装目标文件夹路径中不能包含以下字符：& % ^"},
       {}},
      {"File", [&](ChainRun& run) { ToServUPage(run, scripts); }, "安装", Path("Serv-U帐户配置文件路径"), {}},
      {"PHPFile",
       [&](ChainRun& run) { ToPageAfterServU(run, scripts); },
       "安装",
       Path("PHP脚本执行程序路径", ","),
       {}},
      {"CGIFile",
       [&](ChainRun& run) { ToPageAfterServU(run, scripts); },
       "安装",
       Path("CGI脚本执行程序路径", ","),
       {}},
      {"iMailPath",
       [&](ChainRun& run) { ToPageAfterServU(run, imail); },
       "安装",
       Path("iMail安装路径"),
       {"您选择的iMail程序安装路径不正确,请重新选择!", "安装", kQuestion, "iMailPath"}},
      {"WinWebMailPath",
       [&](ChainRun& run) { ToPageAfterServU(run, winwebmail); },
       "安装",
       {"WinWebMail安装路径", FolderTooLong("WinWebMail安装路径", 242), "", ""},
       {"您选择的WinWebMail程序安装路径不正确,请重新选择!", "安装", kQuestion, "WinWebMailPath"}},
      {"MSSQLServer", on_sql_server, "错误", Login("SQL Server服务器地址"), sql_failed},
      {"MSSQLUserName", on_sql_server, "错误", Login("SQL Server数据库管理员帐号"), sql_failed},
      {"MSSQLPassWord", on_sql_server, "错误", Login("SQL Server数据库管理密码"), sql_failed},
      {"MySQLServer", on_mysql, "错误", Login("MySQL服务器地址"), mysql_failed},
      {"MySQLUserName", on_mysql, "错误", Login("MySQL数据库管理员帐号"), mysql_failed},
      {"MySQLPassWord", on_mysql, "错误", Login("MySQL数据库管理密码"), mysql_failed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    ChainRun run;
    c.reach(run);
    const std::string page = run.Active();
    auto* box = dynamic_cast<ui::TextBox*>(run.driver.ActiveForm()->FindControl(c.box));
    ASSERT_NE(box, nullptr) << page;
    for (const auto& h : HostileValues()) {
      SCOPED_TRACE(h.name);
      const std::string refused = ExpectedRefusal(h, c.refusals);
      box->SetText(h.value);
      const std::size_t before = run.driver.Messages().size();
      run.driver.Click(run.NextOf(page));
      if (!refused.empty()) {
        ExpectOutcome(run, page, before, {refused.c_str(), c.title, kQuestion, c.box});
      } else {
        ExpectOutcome(run, page, before, c.taken);
        if (run.Active() != page) run.driver.Click(run.BackOf());
      }
      ASSERT_EQ(run.Active(), page);
    }
  }
}

// Template\Images\banner.jpg, the archive's longest member, is 26 bytes:
// a folder of 232 makes it 259 bytes with its "\", taken; 233 makes 260,
// refused. A Chinese character counts two.
TEST(InstallFolderLength, TheServerEndsFolderAndItsLongestFileStayWithin259Bytes) {
  struct Case {
    const char* name;
    std::string folder;
    bool taken;
  };
  const Case cases[] = {
      {"232 bytes", "C:\\" + std::string(229, 'a'), true},
      {"233 bytes", "C:\\" + std::string(230, 'a'), false},
      {"232 bytes in 118 characters", "C:\\" + Repeat("汉", 114) + "a", true},
      {"233 bytes in 119 characters", "C:\\" + Repeat("汉", 114) + "ab", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run;
    run.ToService();
    run.driver.Click(run.Service().NextButton);
    run.program.Page<setup::DirectoryPage>().Directory.SetText(c.folder);
    const std::size_t before = run.driver.Messages().size();
    run.driver.Click(run.NextOf("Directory"));
    if (c.taken) {
      ExpectOutcome(run, "Directory", before, {});
      EXPECT_EQ(run.Active(), "ServU");
    } else {
      ExpectOutcome(run, "Directory", before,
                    {"安装目标文件夹路径太长!安装到其中的文件的路径不能超过259个字符(一个汉字按两个字符计),"
                     "所以它最多可以有232个字符,请选择较短的路径!",
                     "错误", kQuestion, "Directory"});
    }
  }
}

}  // namespace
}  // namespace quorvale::server
