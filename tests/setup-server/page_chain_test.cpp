// The chain of Server's pages over every combination of the Service
// page's choices: forwards to the progress page, backwards to Service,
// with the page and the focus at each step.
#include <gtest/gtest.h>

#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/progress_page.h"
#include "server_run.h"

namespace quorvale::server {
namespace {

using namespace testing;

// The chain the Service page's choices call for, written out from the page
// flow's rules: the page and its entry field after ServU.
std::vector<std::string> ExpectedAfterServU(const Choices& c) {
  std::vector<std::string> steps;
  if (c.php || c.cgi) steps.push_back(c.php ? "Script/PHPFile" : "Script/CGIFile");
  if (c.mail == MailChoice::kIMail) steps.push_back("Mail/iMailPath");
  if (c.mail == MailChoice::kWinWebMail) steps.push_back("Mail/WinWebMailPath");
  if (c.sql_server) steps.push_back("SQLServer/MSSQLServer");
  if (c.my_sql) steps.push_back("MySQL/MySQLServer");
  return steps;
}

TEST(PageChain, EveryCombinationForwardsToInstallAndBackToService) {
  REQUIRE_MARIADB();
  std::vector<Choices> all;
  for (bool php : {true, false})
    for (bool cgi : {true, false})
      for (MailChoice mail : {MailChoice::kNone, MailChoice::kIMail, MailChoice::kWinWebMail})
        for (bool sql : {true, false})
          for (bool my : {true, false}) all.push_back({php, cgi, mail, sql, my});
  ASSERT_EQ(all.size(), 48u);
  for (const Choices& c : all) {
    SCOPED_TRACE(Describe(c));
    ChainRun run;
    run.ToService();
    ASSERT_EQ(run.Step(), "Service/NET");
    run.Choose(c);
    std::vector<std::string> expected = {"Directory/Directory", "ServU/File"};
    for (const auto& s : ExpectedAfterServU(c)) expected.push_back(s);

    // Forwards to the last page before the installation.
    std::vector<std::string> seen;
    run.driver.Click(run.Service().NextButton);
    seen.push_back(run.Step());
    while (seen.size() < expected.size()) {
      run.FillIn(run.Active());
      run.driver.Click(run.NextOf(run.Active()));
      seen.push_back(run.Step());
      if (run.driver.Messages().size()) break;
    }
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(run.driver.Messages().empty()) << run.LastPrompt();

    // Backwards to Service, the same pages and fields in reverse.
    std::vector<std::string> back;
    for (std::size_t i = expected.size(); i-- > 0;) {
      run.driver.Click(run.BackOf());
      back.push_back(run.Step());
    }
    std::vector<std::string> expected_back(expected.rbegin() + 1, expected.rend());
    expected_back.push_back("Service/NET");
    EXPECT_EQ(back, expected_back);

    // Forwards again, past the last page: the progress page, no focus set,
    // and only it shown.
    run.driver.Click(run.Service().NextButton);
    for (std::size_t i = 1; i < expected.size(); ++i) {
      run.FillIn(run.Active());
      run.driver.Click(run.NextOf(run.Active()));
    }
    run.FillIn(run.Active());
    run.driver.Click(run.NextOf(run.Active()));
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
    EXPECT_TRUE(run.driver.Messages().empty()) << run.LastPrompt();
  }
}

// A choice changed on Service after going back changes the chain from the
// next click on, in both directions.
TEST(PageChain, AChoiceChangedOnServiceChangesTheChainFromThenOn) {
  ChainRun run;
  run.ToService();
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  EXPECT_EQ(run.Step(), "Script/PHPFile");
  run.driver.Click(run.Script().StepButton);
  run.driver.Click(run.ServU().StepButton);
  run.driver.Click(run.program.Page<setup::DirectoryPage>().StepButton);
  ASSERT_EQ(run.Step(), "Service/NET");
  run.Choose({false, false, MailChoice::kWinWebMail, false, true});
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  EXPECT_EQ(run.Step(), "Mail/WinWebMailPath");
  run.FillIn("Mail");
  run.driver.Click(run.Mail().NextButton);
  EXPECT_EQ(run.Step(), "MySQL/MySQLServer");
  run.driver.Click(run.MySQL().StepButton);
  EXPECT_EQ(run.Step(), "Mail/WinWebMailPath");
  run.driver.Click(run.Mail().StepButton);
  EXPECT_EQ(run.Step(), "ServU/File");
}

// The rules as the flow's own cases give them, one literal row each.
TEST(PageChain, TheFlowsOwnCases) {
  struct Case {
    const char* name;
    Choices choices;
    std::vector<std::string> after_servu;
  } cases[] = {
      {"defaults", {}, {"Script/PHPFile", "SQLServer/MSSQLServer", "MySQL/MySQLServer"}},
      {"only CGI", {false, true, MailChoice::kNone, false, false}, {"Script/CGIFile"}},
      {"iMail and no database", {false, false, MailChoice::kIMail, false, false}, {"Mail/iMailPath"}},
      {"nothing", {false, false, MailChoice::kNone, false, false}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run;
    run.ToService();
    run.Choose(c.choices);
    run.ToServU();
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < c.after_servu.size(); ++i) {
      run.FillIn(run.Active());
      run.driver.Click(run.NextOf(run.Active()));
      seen.push_back(run.Step());
      if (run.Active() == "SQLServer") break;  // the rest needs its connection
    }
    std::vector<std::string> expected(c.after_servu.begin(),
                                      c.after_servu.begin() + static_cast<long>(seen.size()));
    EXPECT_EQ(seen, expected);
    if (c.after_servu.empty()) {
      run.driver.Click(run.ServU().NextButton);
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
    }
  }
  // Back from MySQL with SQLServer cleared, NoMail and PHP checked: Script.
  ChainRun run;
  run.ToService();
  run.Choose({true, false, MailChoice::kNone, false, true});
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  run.driver.Click(run.Script().NextButton);
  ASSERT_EQ(run.Step(), "MySQL/MySQLServer");
  run.driver.Click(run.MySQL().StepButton);
  EXPECT_EQ(run.Step(), "Script/PHPFile");
}

}  // namespace
}  // namespace quorvale::server
