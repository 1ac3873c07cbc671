// Whole WinWebMail runs on machines that hold something already or answer
// oddly: what is there stays, a failure shows as one list line at its check
// point, and the installation goes on to Complete.
#include <gtest/gtest.h>

#include <cmath>

#include "install_expected.h"
#include "install_run.h"
#include "machine_reads.h"
#include "quorvale/com/class_registration.h"
#include "quorvale/win32/vb_random.h"

namespace quorvale::server {
namespace {

using namespace testing;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\被控端";
const Choices kWinWebMail{false, false, MailChoice::kWinWebMail, false, false};

// The expected list with a failure line after the step line it follows.
std::vector<std::string> LinesWith(const std::vector<std::pair<const char*, const char*>>& failures) {
  std::vector<std::string> out;
  for (const auto& line : ExpectedLines(true)) {
    out.push_back(line);
    for (const auto& [after, failure] : failures)
      if (line == after) out.push_back(failure);
  }
  return out;
}

std::string Record(const std::string& number) {
  return std::string("[Uninstall]\r\nSetupDir=") + kFolder + "\r\nMail=WinWebMail\r\nSiteNum=" + number +
         "\r\nUser=" + (number.empty() ? "" : "IUSR_" + number) + "\r\nWinWebMailPath=C:\\WinWebMail\r\n";
}

// The mail site's own MailCtrl.asp and the machine's own control stay; the
// unpacked copies go; the machine's control is registered all the same.
TEST(ServerInstallCases, WhatIsThereAlreadyStays) {
  InstallRun run;
  run.temp.Write("C:\\WinWebMail\\web\\MailCtrl.asp", "the site's own page");
  run.temp.Write("C:\\WINDOWS\\system32\\MSCOMCTL.OCX", "the machine's own control");
  run.Install(kWinWebMail, false, false);

  EXPECT_EQ(run.lines, ExpectedLines(true));
  EXPECT_EQ(run.temp.Read("C:\\WinWebMail\\web\\MailCtrl.asp"), "the site's own page");
  EXPECT_EQ(run.temp.Read("C:\\WINDOWS\\system32\\MSCOMCTL.OCX"), "the machine's own control");
  EXPECT_EQ(FilesUnder(run.temp, kFolder), ExpectedInstallFiles(true));
  bool registered = false;
  for (const auto& e : run.temp.machine().ProgramEvents())
    registered |= e.program == "regsvr32.exe" && e.what == "registered" &&
                  e.path == "C:\\WINDOWS\\system32\\MSCOMCTL.OCX";
  EXPECT_TRUE(registered);
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
}

// An account of the drawn number's name exists: the account step fails,
// the group step's check lists it once, and the site is made all the same.
TEST(ServerInstallCases, AnExistingSiteAccountIsReportedOnceAndTheRunGoesOn) {
  InstallRun run;
  std::string number;
  run.at_caption = [&](const std::string& caption) {
    if (caption != "正在建立网站独立帐户...") return;
    // The number just drawn: the generator's last fraction, Int(Rnd * 999999999 + 1).
    number = std::to_string(static_cast<long long>(std::floor(win32::Rnd(0) * 999999999.0 + 1.0)));
    LocalAccounts(run.temp.machine()).CreateUser({"IUSR_" + number, "an older account", "", 0x201, "old"});
  };
  run.Install(kWinWebMail, false, false);

  ASSERT_FALSE(number.empty());
  EXPECT_EQ(run.lines, LinesWith({{"正在设置网站独立帐户所属组...", "网站独立访问帐户添加失败..."}}));
  EXPECT_EQ(run.Widths(), ExpectedWidths(true));
  auto user = LocalAccounts(run.temp.machine()).FindUser("IUSR_" + number);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->full_name, "an older account");
  EXPECT_EQ(user->password, "old");
  EXPECT_TRUE(MetabaseKeyAt(run.temp.machine(), "/LM/W3SVC/" + number + "/ROOT"));
  EXPECT_EQ(TextOf(run.temp, std::string(kFolder) + "\\Uninstall.ini"), Record(number));
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
}

// An IIS that answers every number: the draws stop at their bound instead
// of going on for ever; no account, no site; the site and start steps list
// their failures; the record names no site.
TEST(ServerInstallCases, AnIisThatAnswersEveryNumberEndsTheDrawsNotTheRun) {
  InstallRun run;
  RegisterInprocClass(run.temp.machine().Registry(),
                      {"IIS", "{5EE0A11D-1115-4E55-8A5E-000000000001}", EVERY_NUMBER_IIS, "", ""});
  const auto accounts = LocalAccounts(run.temp.machine()).Users().size();
  run.Install(kWinWebMail, false, false);

  EXPECT_EQ(run.lines, LinesWith({{"正在建立企业邮局站点虚拟目录...", "企业邮局网站建立失败..."},
                                  {"正在启动企业邮局站点...", "企业邮局网站启动失败..."}}));
  EXPECT_EQ(run.Widths(), ExpectedWidths(true));
  EXPECT_EQ(LocalAccounts(run.temp.machine()).Users().size(), accounts);
  for (const auto& s : run.temp.machine().StartedPrograms()) EXPECT_NE(s.command_line.rfind("Cacls", 0), 0u);
  EXPECT_EQ(TextOf(run.temp, std::string(kFolder) + "\\Uninstall.ini"), Record(""));
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
}

}  // namespace
}  // namespace quorvale::server
