// What each server page refuses, in order (the first failing check wins),
// with its message, title, icon and the focus it leaves; and the mail
// folder checks by listings of exactly the joined path.
#include <gtest/gtest.h>

#include "server_run.h"

namespace quorvale::server {
namespace {

using namespace testing;

using Refusal = Outcome;

// Clicks Next on the active page and checks what follows.
void ExpectNext(ServerRun& run, ui::CommandButton& next, const Refusal& r) {
  const std::string page = run.Active();
  const std::size_t before = run.driver.Messages().size();
  run.driver.Click(next);
  ExpectOutcome(run, page, before, r);
}

constexpr auto kQuestion = ui::MsgIcon::Question;

TEST(ServUChecks, AnEmptyPathIsRefusedAMissingFileAccepted) {
  ServerRun run;  // no account file anywhere: nothing proposed
  run.ToService();
  run.ToServU();
  EXPECT_EQ(run.ServU().File.Text(), "");
  ExpectNext(run, run.ServU().NextButton, {"请选择Serv-U帐户配置文件路径!", "安装", kQuestion, "File"});
  run.driver.AnswerFile("D:\\Missing\\ServUDaemon.ini");
  run.driver.Click(run.ServU().View);
  EXPECT_EQ(run.ServU().File.Text(), "D:\\Missing\\ServUDaemon.ini");
  ExpectNext(run, run.ServU().NextButton, {});
  EXPECT_EQ(run.Step(), "Script/PHPFile");
}

TEST(ScriptChecks, TheChosenLanguagesPathsInOrder) {
  struct Case {
    const char* name;
    Choices choices;
    bool php_file, cgi_file;      // the interpreters on the machine
    std::vector<Refusal> clicks;  // Next after Next, each given a path after a refusal
  } cases[] = {
      {"both chosen, both empty",
       {},
       false,
       false,
       {{"请选择PHP脚本执行程序路径", "安装", kQuestion, "PHPFile"},
        {"请选择CGI脚本执行程序路径", "安装", kQuestion, "CGIFile"},
        {}}},
      {"both chosen, only CGI empty",
       {},
       true,
       false,
       {{"请选择CGI脚本执行程序路径", "安装", kQuestion, "CGIFile"}, {}}},
      {"only CGI chosen, PHP empty", {false, true}, false, true, {{}}},
      {"only PHP chosen, CGI empty", {true, false}, true, false, {{}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run;
    run.temp.Write("C:\\Program Files\\Serv-U\\ServUDaemon.ini", "x");
    if (!c.php_file) std::filesystem::remove(run.temp.Host("C:\\php\\php.exe"));
    if (!c.cgi_file) std::filesystem::remove(run.temp.Host("C:\\Perl\\bin\\perl.exe"));
    run.ToService();
    run.Choose(c.choices);
    run.ToServU();
    run.driver.Click(run.ServU().NextButton);
    ASSERT_EQ(run.Active(), "Script");
    for (const Refusal& r : c.clicks) {
      ExpectNext(run, run.Script().NextButton, r);
      if (!r.prompt) break;
      // The user browses for the path the message asked for.
      run.driver.AnswerFile(std::string("C:\\Tools\\") + r.focus + ".exe");
      run.driver.Click(std::string(r.focus) == "PHPFile" ? run.Script().PHPView : run.Script().CGIView);
    }
  }
}

// A mail folder as the listing finds it: the files and folders in it.
struct MailCase {
  const char* name;
  MailChoice mail;
  const char* folder;  // browsed to; nullptr: left empty
  std::vector<const char*> files;
  std::vector<const char*> folders;
  Refusal refusal;
};

TEST(MailChecks, TheMailServersOwnFilesInTheBrowsedFolder) {
  constexpr const char* kIMailWrong = "您选择的iMail程序安装路径不正确,请重新选择!";
  constexpr const char* kWebMailWrong = "您选择的WinWebMail程序安装路径不正确,请重新选择!";
  const MailCase cases[] = {
      {"iMail, no folder",
       MailChoice::kIMail,
       nullptr,
       {},
       {},
       {"请选择iMail程序的安装路径!", "安装", kQuestion, "iMailPath"}},
      {"IMail.exe without IAdmin.exe",
       MailChoice::kIMail,
       "C:\\IMail",
       {"C:\\IMail\\IMail.exe"},
       {},
       {kIMailWrong, "安装", kQuestion, "iMailPath"}},
      {"IAdmin.exe without IMail.exe",
       MailChoice::kIMail,
       "C:\\IMail",
       {"C:\\IMail\\IAdmin.exe"},
       {},
       {kIMailWrong, "安装", kQuestion, "iMailPath"}},
      {"IMail.exe a folder",
       MailChoice::kIMail,
       "C:\\IMail",
       {"C:\\IMail\\IAdmin.exe"},
       {"C:\\IMail\\IMail.exe"},
       {kIMailWrong, "安装", kQuestion, "iMailPath"}},
      {"iMail complete",
       MailChoice::kIMail,
       "C:\\IMail",
       {"C:\\IMail\\IMail.exe", "C:\\IMail\\IAdmin.exe"},
       {},
       {}},
      {"iMail in a drive root", MailChoice::kIMail, "D:\\", {"D:\\IMail.exe", "D:\\IAdmin.exe"}, {}, {}},
      {"WinWebMail, no folder",
       MailChoice::kWinWebMail,
       nullptr,
       {},
       {},
       {"请选择WinWebMail程序的安装路径!", "安装", kQuestion, "WinWebMailPath"}},
      {"easymail.exe and emsvr.exe without web",
       MailChoice::kWinWebMail,
       "D:\\WebMail",
       {"D:\\WebMail\\easymail.exe", "D:\\WebMail\\emsvr.exe"},
       {},
       {kWebMailWrong, "安装", kQuestion, "WinWebMailPath"}},
      {"without emsvr.exe",
       MailChoice::kWinWebMail,
       "D:\\WebMail",
       {"D:\\WebMail\\easymail.exe"},
       {"D:\\WebMail\\web"},
       {kWebMailWrong, "安装", kQuestion, "WinWebMailPath"}},
      {"WinWebMail complete",
       MailChoice::kWinWebMail,
       "D:\\WebMail",
       {"D:\\WebMail\\easymail.exe", "D:\\WebMail\\emsvr.exe"},
       {"D:\\WebMail\\web"},
       {}},
      {"web a file",
       MailChoice::kWinWebMail,
       "D:\\WebMail",
       {"D:\\WebMail\\easymail.exe", "D:\\WebMail\\emsvr.exe", "D:\\WebMail\\web"},
       {},
       {}},
      {"WinWebMail in a drive root",
       MailChoice::kWinWebMail,
       "D:\\",
       {"D:\\EasyMail.EXE", "D:\\emsvr.exe"},
       {"D:\\Web"},
       {}},
  };
  MachineShape shape;
  shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChainRun run(shape);
    std::filesystem::remove_all(run.temp.Host("C:\\IMail"));
    std::filesystem::remove_all(run.temp.Host("C:\\WinWebMail"));
    for (const char* f : c.files) run.temp.Write(f, "MZ");
    for (const char* f : c.folders) std::filesystem::create_directories(run.temp.Host(f));
    run.ToService();
    run.Choose({false, false, c.mail, false, false});
    run.ToServU();
    run.driver.Click(run.ServU().NextButton);
    ASSERT_EQ(run.Active(), "Mail");
    auto& mail = run.Mail();
    ui::TextBox& box = c.mail == MailChoice::kIMail ? mail.iMailPath : mail.WinWebMailPath;
    if (c.folder) {
      run.driver.AnswerFolder(c.folder);
      run.driver.Click(c.mail == MailChoice::kIMail ? mail.iMailView : mail.WinWebMailView);
      EXPECT_EQ(box.Text(), c.folder);
    }
    ExpectNext(run, mail.NextButton, c.refusal);
    if (!c.refusal.prompt) {
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
    }
  }
}

// Switching the mail system keeps both boxes; only the chosen one counts.
TEST(MailChecks, OnlyTheChosenSystemsBoxIsChecked) {
  ChainRun run;
  run.ToService();
  run.Choose({false, false, MailChoice::kIMail, false, false});
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  run.FillIn("Mail");
  run.driver.Click(run.Mail().StepButton);
  run.driver.Click(run.ServU().StepButton);
  run.driver.Click(run.program.Page<setup::DirectoryPage>().StepButton);
  run.driver.Click(run.Service().WinWebMail);
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  EXPECT_EQ(run.Mail().iMailPath.Text(), "C:\\IMail");
  ExpectNext(run, run.Mail().NextButton,
             {"请选择WinWebMail程序的安装路径!", "安装", kQuestion, "WinWebMailPath"});
}

}  // namespace
}  // namespace quorvale::server
