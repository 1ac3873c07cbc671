#include <gtest/gtest.h>

#include "server_run.h"

namespace quorvale::server {
namespace {

using setup::testing::ShapeOf;
using testing::ServerRun;

TEST(ServerStart, RefusesWhatItCannotRunOn) {
  constexpr const char* kUnsupported = "Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!";
  struct Case {
    const char* name;
    MachineShape shape;
    const char* message;  // nothing: Welcome is shown
  } cases[] = {
      {"2003", ShapeOf(WindowsEdition::kWindowsServer2003), nullptr},
      {"2000", ShapeOf(WindowsEdition::kWindows2000), nullptr},
      {"XP", ShapeOf(WindowsEdition::kWindowsXP), kUnsupported},
      {"98", ShapeOf(WindowsEdition::kWindows98), kUnsupported},
      {"2003 without IIS", ShapeOf(WindowsEdition::kWindowsServer2003, false),
       "您的操作系统中未安装IIS，请您先安装IIS!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ServerRun run(c.shape);
    run.Start();
    if (!c.message) {
      EXPECT_FALSE(run.driver.Ended());
      EXPECT_TRUE(run.driver.Messages().empty());
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Welcome"});
      continue;
    }
    EXPECT_TRUE(run.driver.Ended());
    ASSERT_EQ(run.driver.Messages().size(), 1u);
    EXPECT_EQ(run.driver.Messages()[0].request.prompt, c.message);
    EXPECT_EQ(run.driver.Messages()[0].request.title, "安装");
    EXPECT_EQ(run.driver.Messages()[0].request.icon, ui::MsgIcon::Question);
    EXPECT_EQ(run.program.EndedWith().outcome, setup::Outcome::kRefused);
    EXPECT_EQ(run.program.EndedWith().detail, c.message);
  }
}

TEST(ServerStart, HandsAnEarlierInstallationToItsUninstaller) {
  for (bool present : {true, false}) {
    SCOPED_TRACE(present ? "uninstaller present" : "uninstaller missing");
    ServerRun run;
    run.temp.machine().Registry().CreateKey(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales");
    run.temp.machine().Registry().SetValue(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales",
        "UninstallString", RegValue::Text("C:\\WINDOWS\\Uninstall.exe -delete"));
    if (present) run.temp.Write("C:\\WINDOWS\\Uninstall.exe", "stand-in");
    run.Start();
    EXPECT_EQ(run.driver.Ended(), present);
    auto started = run.temp.machine().StartedPrograms();
    if (present) {
      ASSERT_EQ(started.size(), 1u);
      EXPECT_EQ(started[0].command_line, "C:\\WINDOWS\\Uninstall.exe");
      EXPECT_EQ(started[0].show, 1);
      EXPECT_EQ(run.program.EndedWith().outcome, setup::Outcome::kHandedOver);
      EXPECT_EQ(run.program.EndedWith().detail, "C:\\WINDOWS\\Uninstall.exe");
    } else {
      EXPECT_TRUE(started.empty());
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Welcome"});
    }
  }
}

// Welcome -> Agreement -> Service -> Directory on the machine: the default folder and
// the free space come from the machine.
TEST(ServerWalk, ReachesDirectoryWithTheMachinesFolderAndSpace) {
  struct Case {
    bool program_files;
    std::uint64_t free_bytes;
    const char* folder;
    const char* space;
  } cases[] = {
      {true, 40ull << 30, "C:\\Program Files\\Quorvale\\被控端", "40.GB"},
      {false, 12ull * (1 << 30) + (1u << 29), "C:\\Quorvale\\被控端", "12.5GB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    MachineShape shape;
    shape.program_files = c.program_files;
    shape.drives = {{'C', c.free_bytes}};
    ServerRun run(shape);
    run.Start();
    run.driver.Click(run.program.Page<setup::WelcomePage>().NextButton);
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Agreement"});
    run.driver.Click(run.program.Page<setup::AgreementPage>().AgreeButton);
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Service"});
    EXPECT_EQ(run.Step(), "Service/NET");
    run.driver.Click(run.Service().NextButton);
    auto& directory = run.program.Page<setup::DirectoryPage>();
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Directory"});
    EXPECT_EQ(directory.Directory.Text(), c.folder);
    EXPECT_EQ(directory.ZSpace.Caption(), c.space);
    EXPECT_EQ(run.driver.Focus(), &directory.Directory);
    run.driver.Click(directory.StepButton);
    EXPECT_EQ(run.Step(), "Service/NET");
    run.driver.Click(run.Service().StepButton);
    EXPECT_EQ(run.Step(), "Agreement/Agree");
  }
}

// The pages hand the install what they hold, each value from its own box:
// every text box holds its own name, and each of Service's boxes is the
// only one checked in turn.
TEST(ServerChoices, EachValueComesFromItsOwnBox) {
  ServerRun run;
  auto& service = run.Service();
  using C = setup::ServerChoices;
  const std::pair<ui::TextBox*, std::string C::*> texts[] = {
      {&run.program.Page<setup::DirectoryPage>().Directory, &C::folder},
      {&run.ServU().File, &C::serv_u_file},
      {&run.Script().PHPFile, &C::php_file},
      {&run.Script().CGIFile, &C::cgi_file},
      {&run.Mail().iMailPath, &C::imail_path},
      {&run.Mail().WinWebMailPath, &C::winwebmail_path},
      {&run.SQLServer().MSSQLServer, &C::mssql_server},
      {&run.SQLServer().MSSQLUserName, &C::mssql_user_name},
      {&run.SQLServer().MSSQLPassWord, &C::mssql_password},
      {&run.MySQL().MySQLServer, &C::mysql_server},
      {&run.MySQL().MySQLUserName, &C::mysql_user_name},
      {&run.MySQL().MySQLPassWord, &C::mysql_password},
  };
  for (const auto& [box, field] : texts) box->SetText(box->Name());
  const C read = ServerEnd::Choices(run.program);
  for (const auto& [box, field] : texts) EXPECT_EQ(read.*field, box->Name());

  const std::pair<ui::CheckBox*, int C::*> boxes[] = {
      {&service.NET, &C::net},
      {&service.PHP, &C::php},
      {&service.CGI, &C::cgi},
      {&service.WAP, &C::wap},
      {&service.SQLServer, &C::sql_server},
      {&service.MySQL, &C::my_sql},
  };
  for (const auto& [checked, field] : boxes) {
    SCOPED_TRACE(checked->Name());
    for (const auto& b : boxes) b.first->SetValue(b.first == checked ? 1 : 0);
    const C c = ServerEnd::Choices(run.program);
    for (const auto& [box, other] : boxes) EXPECT_EQ(c.*other, other == field ? 1 : 0) << box->Name();
  }

  const struct {
    ui::OptionButton& option;
    bool imail, winwebmail;
  } mail[] = {
      {service.iMail, true, false}, {service.WinWebMail, false, true}, {service.NoMail, false, false}};
  for (const auto& m : mail) {
    SCOPED_TRACE(m.option.Name());
    m.option.SetValue(true);
    const C c = ServerEnd::Choices(run.program);
    EXPECT_EQ(c.imail, m.imail);
    EXPECT_EQ(c.winwebmail, m.winwebmail);
  }
}

}  // namespace
}  // namespace quorvale::server
