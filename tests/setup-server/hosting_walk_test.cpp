// Server walked to Complete on a hosting server as `quorvale-machine create`
// makes it (the default machine), typing only what the README names: sa's
// password Sa2000 on the SQLServer page, the MariaDB login on the MySQL page,
// C:\iMail or C:\WinWebMail in the Mail page's folder dialog.
#include <gtest/gtest.h>

#include "install_expected.h"
#include "install_run.h"
#include "machine_reads.h"
#include "quorvale/hosting/hosting_server.h"
#include "quorvale/machine/testing/temp_folder.h"

namespace quorvale::server {
namespace {

using namespace testing;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\被控端";

struct Walk {
  const char* name;
  Choices choices;  // PHP, CGI, mail, SQL Server, MySQL
};

void WalkToComplete(const Walk& w) {
  SCOPED_TRACE(w.name);
  quorvale::testing::TempFolder folder("quorvale-hosting");
  hosting::CreateHostingServer(folder.Path() / "m");
  InstallRun run(folder.Path() / "m");
  run.Install(w.choices);
  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"}) << run.LastPrompt();
  const bool winwebmail = w.choices.mail == MailChoice::kWinWebMail;
  EXPECT_EQ(run.lines, ExpectedLines(winwebmail));  // no failure line
  // The paths the pages proposed (Serv-U, PHP, Perl) are in the file.
  PageValues values{kFolder,
                    "C:\\WINDOWS",
                    w.choices.mail == MailChoice::kIMail,
                    w.choices.sql_server,
                    w.choices.my_sql,
                    true,
                    w.choices.cgi,
                    w.choices.php,
                    true};
  EXPECT_EQ(setup::testing::ReadIni(TextOf(run.temp, std::string(kFolder) + "\\System.ini")),
            ExpectedSystemIni(values));
  EXPECT_EQ(run.temp.Exists("C:\\WinWebMail\\web\\MailCtrl.asp"), winwebmail);
}

TEST(ServerOnHostingServer, EveryDefaultToComplete) {
  REQUIRE_MARIADB();
  WalkToComplete({"the defaults", {}});
}

TEST(ServerOnHostingServer, EachMailSystemToComplete) {
  // MySQL cleared, so these run without MariaDB.
  WalkToComplete({"iMail", {true, true, MailChoice::kIMail, true, false}});
  WalkToComplete({"WinWebMail", {true, true, MailChoice::kWinWebMail, true, false}});
}

}  // namespace
}  // namespace quorvale::server
