// Whole runs of Server from Welcome to Complete on fresh Windows Server
// 2003 and Windows 2000 machines, for each mail choice: what the progress
// page showed, and what the machine holds afterwards.
#include <gtest/gtest.h>

#include "install_expected.h"
#include "install_run.h"
#include "machine_reads.h"
#include "quorvale/providers/shell_link.h"
#include "recipe_fixture.h"

namespace quorvale::server {
namespace {

using namespace testing;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\被控端";
constexpr const char* kShortFolder = "C:\\PROGRA~1\\Quorvale\\被控端";
constexpr const char* kUninstallKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";

struct RunCase {
  const char* name;
  WindowsEdition edition;
  Choices choices;  // PHP, CGI, mail, SQL Server, MySQL
  bool net, wap;
};

constexpr auto k2003 = WindowsEdition::kWindowsServer2003;
constexpr auto k2000 = WindowsEdition::kWindows2000;

const RunCase kRuns[] = {
    {"2003, no mail, .NET cleared", k2003, {true, false, MailChoice::kNone, true, false}, false, true},
    {"2003, iMail, no database", k2003, {false, true, MailChoice::kIMail, false, false}, true, false},
    {"2003, WinWebMail", k2003, {true, true, MailChoice::kWinWebMail, true, false}, true, true},
    {"2000, no mail, only the fixed groups",
     k2000,
     {false, false, MailChoice::kNone, false, false},
     false,
     false},
    {"2000, iMail", k2000, {true, true, MailChoice::kIMail, true, false}, true, true},
    {"2000, WinWebMail", k2000, {false, true, MailChoice::kWinWebMail, false, false}, false, true},
};

// The number of the site the install made, beside the default site 1.
std::string MailSiteNumber(const Machine& machine) {
  for (const auto& n : SiteNumbers(machine))
    if (n != "1") return n;
  return "";
}

// The mail site, its account and the folder opened to it.
void ExpectMailSite(InstallRun& run, const std::string& number) {
  const Machine& machine = run.temp.machine();
  const std::string account = "IUSR_" + number;
  auto site = MetabaseKeyAt(machine, "/LM/W3SVC/" + number);
  ASSERT_TRUE(site) << number;
  EXPECT_EQ(site->key_type, "IIsWebServer");
  EXPECT_EQ(PropertyOf(*site, "ServerBindings"), ":80:");
  EXPECT_EQ(PropertyOf(*site, "ServerComment"), "MailSystem");
  EXPECT_EQ(PropertyOf(*site, "AnonymousUserName"), account);
  EXPECT_EQ(PropertyOf(*site, "AuthFlags"), "5");
  EXPECT_EQ(PropertyOf(*site, "DefaultDoc"), "Default.asp");
  EXPECT_EQ(PropertyOf(*site, "AspEnableParentPaths"), "TRUE");
  EXPECT_EQ(PropertyOf(*site, "ServerState"), "2");  // started
  auto root = MetabaseKeyAt(machine, "/LM/W3SVC/" + number + "/ROOT");
  ASSERT_TRUE(root);
  EXPECT_EQ(PropertyOf(*root, "Path"), "C:\\WinWebMail\\Web");
  EXPECT_EQ(PropertyOf(*root, "AccessFlags"), "513");  // scripts and reading only
  EXPECT_EQ(PropertyOf(*root, "AppFriendlyName"), "默认应用程序");
  EXPECT_EQ(PropertyOf(*root, "AppIsolated"), "0");  // in process

  auto user = LocalAccounts(machine).FindUser(account);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->full_name, "企业邮局网站独立帐户");
  EXPECT_EQ(user->description, "匿名访问 Internet 信息服务的内置帐户");
  EXPECT_EQ(user->flags, 65600u);
  EXPECT_EQ(user->password.size(), 32u);
  EXPECT_EQ(PropertyOf(*site, "AnonymousUserPass"), user->password);
  EXPECT_TRUE(InGroup(machine, "Administrators", account));
  const auto access = machine.AccessList();
  for (const char* path : {"C:\\WinWebMail\\web", "C:\\WinWebMail\\web\\default.asp"})
    EXPECT_EQ(std::count(access.begin(), access.end(), AccessEntry{path, account, "F"}), 1) << path;
}

void ExpectWholeRun(InstallRun& run, const RunCase& c, const std::string& archive_written,
                    const std::string& unpacker_written) {
  const bool winwebmail = c.choices.mail == MailChoice::kWinWebMail;
  Machine& machine = run.temp.machine();
  const std::string system = run.folders.system;

  // The page: its list, its captions, its bar; then Complete alone.
  EXPECT_EQ(run.lines, ExpectedLines(winwebmail));
  EXPECT_EQ(run.captions, ExpectedCaptions(winwebmail));
  EXPECT_EQ(run.Widths(), ExpectedWidths(winwebmail));
  for (const auto& [width, turns] : ExpectedProgressPoints())
    EXPECT_EQ(run.TurnsBetween(150, width), turns) << width;
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_TRUE(run.driver.Messages().empty()) << run.LastPrompt();

  // The two written files were the resources, byte for byte; now only the
  // archive's own unpacker is left.
  EXPECT_TRUE(archive_written == setup::testing::HostFile(SERVER_PAYLOAD)) << archive_written.size();
  EXPECT_TRUE(unpacker_written == setup::testing::HostFile(UNPACKER)) << unpacker_written.size();
  EXPECT_EQ(FilesUnder(run.temp, kFolder), ExpectedInstallFiles(winwebmail));
  EXPECT_EQ(run.temp.Read(std::string(kFolder) + "\\Bin\\Rar.exe"), setup::testing::HostFile(UNPACKER));

  // System.ini, section by section.
  PageValues values;
  values.folder = kFolder;
  values.windows = c.edition == k2000 ? "C:\\winnt" : "C:\\WINDOWS";
  values.imail = c.choices.mail == MailChoice::kIMail;
  values.sql_server = c.choices.sql_server;
  values.my_sql = c.choices.my_sql;
  values.net = c.net;
  values.cgi = c.choices.cgi;
  values.php = c.choices.php;
  values.wap = c.wap;
  EXPECT_EQ(setup::testing::ReadIni(TextOf(run.temp, std::string(kFolder) + "\\System.ini")),
            ExpectedSystemIni(values));

  // The four controls moved into the system folder and registered there,
  // in order, after the mail site's programs; then the service.
  for (const char* control : {"mswinsck.ocx", "ntsvc.ocx", "TABCTL32.OCX", "MSCOMCTL.OCX"}) {
    EXPECT_TRUE(run.temp.Exists(system + "\\" + control)) << control;
    EXPECT_FALSE(run.temp.Exists(std::string(kFolder) + "\\" + control)) << control;
  }
  std::vector<std::string> started = {std::string(kFolder) + "\\Rar.exe x -r -y -o+ " + kShortFolder +
                                      "\\Quorvale.rar " + kShortFolder};
  const std::string number = MailSiteNumber(machine);
  if (winwebmail) {
    started.push_back("Cacls C:\\WINWEB~1\\Web /t /e /c /g IUSR_" + number + ":F");
    started.push_back(std::string("regsvr32 ") + kShortFolder + "\\WINWEB~1.DLL /s");
  }
  for (const char* control : {"mswinsck.ocx", "ntsvc.ocx", "TABCTL32.OCX", "MSCOMCTL.OCX"})
    started.push_back("regsvr32 " + system + "\\" + control + " /s");
  started.push_back(std::string(kShortFolder) + "\\Service.exe -install");
  std::vector<std::string> seen;
  for (const auto& s : machine.StartedPrograms()) {
    EXPECT_EQ(s.show, 0) << s.command_line;
    seen.push_back(s.command_line);
  }
  EXPECT_EQ(seen, started);
  std::vector<std::string> registered;
  for (const auto& e : machine.ProgramEvents())
    if (e.program == "regsvr32.exe") registered.push_back(e.what + " " + e.path);
  std::sort(registered.begin(), registered.end());
  std::vector<std::string> expected_registered;
  for (const char* control : {"mswinsck.ocx", "ntsvc.ocx", "TABCTL32.OCX", "MSCOMCTL.OCX"})
    expected_registered.push_back("registered " + system + "\\" + control);
  if (winwebmail) expected_registered.push_back(std::string("registered ") + kFolder + "\\WinWebMail.dll");
  std::sort(expected_registered.begin(), expected_registered.end());
  EXPECT_EQ(registered, expected_registered);

  auto service = machine.FindService("Quorvale");
  ASSERT_TRUE(service);
  EXPECT_EQ(service->binary_path, std::string(kFolder) + "\\Service.exe");
  EXPECT_EQ(service->start_type, "auto");
  EXPECT_EQ(service->state, "stopped");  // registered, never started

  // The shortcut on the desktop, read back.
  auto link = ReadShellLink(run.temp.Read("C:\\Documents and Settings\\Administrator\\桌面\\Quorvale.lnk"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->description, "Quorvale虚拟主机管理系统 v3.0 被控端");
  EXPECT_EQ(link->target_path, std::string(kFolder) + "\\Quorvale.exe");
  EXPECT_EQ(link->show_command, 4u);

  // The mail site, or none.
  if (winwebmail) {
    ExpectMailSite(run, number);
    EXPECT_EQ(SiteNumbers(machine), (std::vector<std::string>{"1", number}));
    EXPECT_TRUE(run.temp.Exists("C:\\WinWebMail\\Web\\MailCtrl.asp"));
  } else {
    EXPECT_EQ(SiteNumbers(machine), std::vector<std::string>{"1"});
    EXPECT_FALSE(run.temp.Exists("C:\\WinWebMail\\Web\\MailCtrl.asp"));
  }

  // The uninstall registry entry, then the record.
  auto value = [&](const char* name) {
    auto v = machine.Registry().GetValue(kUninstallKey, name);
    return v ? Cp936ToUtf8(v->AsText()) : "<none>";
  };
  EXPECT_EQ(value("DisplayIcon"), std::string(kFolder) + "\\Quorvale.exe");
  EXPECT_EQ(value("DisplayName"), "Quorvale虚拟主机管理系统v3.0 被控端");
  EXPECT_EQ(value("DisplayVersion"), "3.0.0");
  EXPECT_EQ(value("UninstallString"), std::string(kFolder) + "\\Uninstall.exe -delete");
  EXPECT_EQ(value("ModifyPath"), std::string(kFolder) + "\\Uninstall.exe -modify");
  const std::string record = TextOf(run.temp, std::string(kFolder) + "\\Uninstall.ini");
  if (winwebmail) {
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_FALSE(number.empty() || number[0] == '0') << number;
    EXPECT_EQ(record, std::string("[Uninstall]\r\nSetupDir=") + kFolder + "\r\nMail=WinWebMail\r\nSiteNum=" +
                          number + "\r\nUser=IUSR_" + number + "\r\nWinWebMailPath=C:\\WinWebMail\r\n");
  } else {
    EXPECT_EQ(record, std::string("[Uninstall]\r\nSetupDir=") + kFolder +
                          "\r\nMail=" + (c.choices.mail == MailChoice::kIMail ? "iMail" : "NoMail") + "\r\n");
  }
}

void RunAndCheck(const RunCase& c) {
  SCOPED_TRACE(c.name);
  InstallRun run(c.edition);
  std::string archive, unpacker;
  run.at_caption = [&](const std::string& caption) {
    if (caption != "正在解压缩安装文件...") return;
    archive = run.temp.Read(std::string(kFolder) + "\\Quorvale.rar");
    unpacker = run.temp.Read(std::string(kFolder) + "\\Rar.exe");
  };
  run.Install(c.choices, c.net, c.wap);
  ExpectWholeRun(run, c, archive, unpacker);
}

TEST(ServerInstall, WholeRunsOnFreshMachines) {
  for (const auto& c : kRuns) RunAndCheck(c);
}

TEST(ServerInstall, WholeRunWithMySql) {
  REQUIRE_MARIADB();
  RunAndCheck(
      {"2003, iMail, both databases", k2003, {true, true, MailChoice::kIMail, true, true}, true, true});
}

}  // namespace
}  // namespace quorvale::server
