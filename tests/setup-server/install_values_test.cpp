// A whole install whose pages were given values that a profile file, a
// script map or a connection string could lose: a line break pasted into a
// box is refused on its page and mended; the awkward values the pages take
// land in System.ini and Uninstall.ini byte for byte.
#include <gtest/gtest.h>

#include "install_expected.h"
#include "install_run.h"
#include "machine_reads.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::server {
namespace {

using namespace testing;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\被控端";

void Replace(setup::testing::Entries& entries, const std::string& section, const std::string& key,
             const std::string& value) {
  for (auto& e : entries)
    if (e.section == section && e.key == key) e.value = value;
}

TEST(ServerInstallValues, ARefusedValueIsMendedAndTheTakenOnesLandByteForByte) {
  const std::string servu = "C:\\Program Files\\Serv-U {1};'x'\\ServUDaemon.ini";
  const std::string php = "C:\\PHP 5 {a};b'c\\php.exe";
  const std::string perl = "C:\\Perl's;{x}\\bin\\perl.exe";
  const std::string imail = "C:\\邮件 I'Mail;{1}";
  const std::string sa = "S\"a'2;0}0 =x";
  InstallRun run;
  sqlserver::UpdateCatalogue(run.temp.machine(), [&](sqlserver::Catalogue& c) {
    c.FindLogin("sa")->password = sa;
    return true;
  });
  run.temp.Write(imail + "\\IMail.exe", "MZ");
  run.temp.Write(imail + "\\IAdmin.exe", "MZ");
  run.ToService();
  run.Choose({true, true, MailChoice::kIMail, true, false});
  run.SetBox(run.Service().NET, true);
  run.SetBox(run.Service().WAP, true);
  run.ToServU();

  run.ServU().File.SetText("C:\\Serv-U\r\n\\ServUDaemon.ini");
  run.driver.Click(run.ServU().NextButton);
  EXPECT_EQ(run.LastPrompt(), "Serv-U帐户配置文件路径中不能包含换行、制表符等控制字符!");
  ASSERT_EQ(run.Step(), "ServU/File");
  run.driver.AnswerFile(servu);
  run.driver.Click(run.ServU().View);
  run.driver.Click(run.ServU().NextButton);
  run.driver.AnswerFile(php);
  run.driver.Click(run.Script().PHPView);
  run.driver.AnswerFile(perl);
  run.driver.Click(run.Script().CGIView);
  run.driver.Click(run.Script().NextButton);
  run.driver.AnswerFolder(imail);
  run.driver.Click(run.Mail().iMailView);
  run.driver.Click(run.Mail().NextButton);
  run.driver.Type(run.SQLServer().MSSQLPassWord, sa);
  run.driver.Click(run.SQLServer().NextButton);
  ASSERT_EQ(run.Active(), "Install") << run.LastPrompt();
  EXPECT_EQ(run.driver.Messages().size(), 1u);
  run.RunSequence();
  EXPECT_EQ(run.lines, ExpectedLines(false));

  PageValues values;
  values.folder = kFolder;
  values.windows = "C:\\WINDOWS";
  values.imail = values.sql_server = values.net = values.cgi = values.php = values.wap = true;
  auto expected = ExpectedSystemIni(values);
  Replace(expected, "ServU", "ServUPath", servu);
  Replace(expected, "Mail", "MailPath", imail);
  Replace(expected, "MSSQL", "PassWord", sa);
  Replace(expected, "SCRIPT", "PL", ".pl," + perl + " \"%s\" %s,4,GET,HEAD,POST");
  Replace(expected, "SCRIPT", "CGI", ".cgi," + perl + " \"%s\" %s,4,GET,HEAD,POST");
  Replace(expected, "SCRIPT", "PHP", ".php," + php + ",1,GET,HEAD,POST");
  const std::string ini = std::string(kFolder) + "\\System.ini";
  EXPECT_EQ(setup::testing::ReadIni(TextOf(run.temp, ini)), expected);
  // The bytes themselves, in code page 936.
  EXPECT_NE(run.temp.Read(ini).find("\r\nMailPath=" + *win32::ToAnsi(imail) + "\r\n"), std::string::npos);
  EXPECT_EQ(run.temp.Read(std::string(kFolder) + "\\Uninstall.ini"),
            *win32::ToAnsi(std::string("[Uninstall]\r\nSetupDir=") + kFolder + "\r\nMail=iMail\r\n"));
}

}  // namespace
}  // namespace quorvale::server
