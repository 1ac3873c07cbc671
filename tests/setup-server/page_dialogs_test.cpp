// What the server pages propose from the machine on load, their browse
// dialogs (the open-file record as GetOpenFileNameA receives it, cancel,
// typed names), and the layout of Script and Mail on every arrival.
#include <gtest/gtest.h>

#include <cstring>

#include "quorvale/win32/win32.h"
#include "server_run.h"

namespace quorvale::server {
namespace {

using namespace testing;

MachineShape WithDriveD() {
  MachineShape shape;
  shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
  return shape;
}

TEST(Proposals, TheAccountFileFromTheFirstPlaceThatHasIt) {
  struct Case {
    const char* name;
    bool drive_d;
    std::vector<const char*> files;
    std::vector<const char*> folders;
    const char* proposed;
  } cases[] = {
      {"both on C:",
       true,
       {"C:\\Program Files\\Serv-U\\ServUDaemon.ini", "C:\\Serv-U\\ServUDaemon.ini"},
       {},
       "C:\\Program Files\\Serv-U\\ServUDaemon.ini"},
      {"C:\\Serv-U before D:",
       true,
       {"C:\\Serv-U\\ServUDaemon.ini", "D:\\Program Files\\Serv-U\\ServUDaemon.ini"},
       {},
       "C:\\Serv-U\\ServUDaemon.ini"},
      {"D:\\Program Files before D:\\Serv-U",
       true,
       {"D:\\Serv-U\\ServUDaemon.ini", "D:\\Program Files\\Serv-U\\ServUDaemon.ini"},
       {},
       "D:\\Program Files\\Serv-U\\ServUDaemon.ini"},
      {"only D:\\Serv-U", true, {"D:\\Serv-U\\ServUDaemon.ini"}, {}, "D:\\Serv-U\\ServUDaemon.ini"},
      {"a folder of that name is no file",
       true,
       {"D:\\Serv-U\\ServUDaemon.ini"},
       {"C:\\Program Files\\Serv-U\\ServUDaemon.ini"},
       "D:\\Serv-U\\ServUDaemon.ini"},
      {"none", true, {}, {}, ""},
      {"no drive D:", false, {}, {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ServerRun run(c.drive_d ? WithDriveD() : MachineShape{});
    for (const char* f : c.files) run.temp.Write(f, "[GLOBAL]");
    for (const char* f : c.folders) std::filesystem::create_directories(run.temp.Host(f));
    run.ToService();
    run.ToServU();
    EXPECT_EQ(run.ServU().File.Text(), c.proposed);
    EXPECT_TRUE(run.driver.Messages().empty());
  }
}

TEST(Proposals, TheInterpretersFromTheirUsualPlaces) {
  struct Case {
    std::vector<const char*> files;
    const char* php;
    const char* cgi;
  } cases[] = {
      {{"C:\\php\\php.exe", "C:\\php\\sapi\\php4isapi.dll", "C:\\Perl\\bin\\perl.exe"},
       "C:\\php\\php.exe",
       "C:\\Perl\\bin\\perl.exe"},
      {{"C:\\php\\sapi\\php4isapi.dll"}, "C:\\php\\sapi\\php4isapi.dll", ""},
      {{"C:\\Perl\\bin\\perl.exe"}, "", "C:\\Perl\\bin\\perl.exe"},
      {{"D:\\php\\php.exe", "C:\\Perl\\perl.exe"}, "", ""},
      {{}, "", ""},
  };
  for (const auto& c : cases) {
    ServerRun run(WithDriveD());
    for (const char* f : c.files) run.temp.Write(f, "MZ");
    run.temp.Write("C:\\Serv-U\\ServUDaemon.ini", "x");
    run.ToService();
    run.ToServU();
    run.driver.Click(run.ServU().NextButton);
    ASSERT_EQ(run.Active(), "Script");
    EXPECT_EQ(run.Script().PHPFile.Text(), c.php);
    EXPECT_EQ(run.Script().CGIFile.Text(), c.cgi);
  }
}

// The open-file record as GetOpenFileNameA receives it: its fields, and its
// texts up to their ends (the filter up to and with its empty last text).
struct SeenRecord {
  win32::OPENFILENAMEA fields;
  std::string filter, initial_folder, title;
};

// Wraps the program's dialog to read the record first.
struct RecordWatch {
  RecordWatch() {
    program_dialog = win32::SetFileDialog([this](const win32::FileDialogRequest& r) {
      const win32::OPENFILENAMEA& o = *r.record;
      const char* end = o.lpstrFilter;
      while (*end || *(end + 1)) ++end;
      EXPECT_TRUE(o.lpstrFile && std::string(o.lpstrFile, o.nMaxFile) == std::string(o.nMaxFile, '\0'));
      seen.push_back({o, std::string(o.lpstrFilter, end + 2), win32::FromAnsi(o.lpstrInitialDir),
                      win32::FromAnsi(o.lpstrTitle)});
      return program_dialog(r);
    });
  }
  ~RecordWatch() { win32::SetFileDialog(program_dialog); }
  win32::FileDialog program_dialog;
  std::vector<SeenRecord> seen;
};

std::string Ansi(const std::string& utf8) { return *win32::ToAnsi(utf8); }

TEST(FileDialogs, ServUsRecordAnswersAndCancel) {
  ServerRun run(WithDriveD());
  run.temp.Write("C:\\Serv-U\\ServUDaemon.ini", "[GLOBAL]");
  run.ToService();
  run.ToServU();
  auto& servu = run.ServU();
  ASSERT_EQ(servu.File.Text(), "C:\\Serv-U\\ServUDaemon.ini");
  RecordWatch watch;
  struct Step {
    std::optional<std::string> answer;
    const char* file_after;
    const char* initial_folder;
  } steps[] = {
      {"D:\\FTP\\ServUDaemon.ini", "D:\\FTP\\ServUDaemon.ini", "C:\\"},
      {std::nullopt, "D:\\FTP\\ServUDaemon.ini", "C:\\"},  // cancel: the box keeps its path
      {"C:\\Serv-U\\ServUDaemon.ini", "C:\\Serv-U\\ServUDaemon.ini", "C:\\"},
      // A typed name of a file that is not there, with blanks around it.
      {"  C:\\Serv-U\\新建.ini ", "C:\\Serv-U\\新建.ini", "C:\\Serv-U"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.file_after);
    run.driver.AnswerFile(s.answer);
    run.driver.Click(servu.View);
    EXPECT_EQ(servu.File.Text(), s.file_after);
    EXPECT_EQ(run.Focus(), "File");
    ASSERT_FALSE(watch.seen.empty());
    const SeenRecord& r = watch.seen.back();
    const win32::OPENFILENAMEA& o = r.fields;
    EXPECT_EQ(o.lStructSize, 76u);
    EXPECT_EQ(o.hwndOwner, setup::WindowHandle(servu));
    EXPECT_EQ(o.hInstance, reinterpret_cast<win32::HINSTANCE>(std::uintptr_t{0x00400000}));
    EXPECT_EQ(r.filter, Ansi("Serv-U 配置文件 (ServUDaemon.ini)") + '\0' + "ServUDaemon.ini" + '\0' + '\0');
    EXPECT_EQ(o.nMaxFile, 255u);
    EXPECT_NE(o.lpstrFileTitle, nullptr);
    EXPECT_EQ(o.nMaxFileTitle, 255u);
    EXPECT_EQ(r.initial_folder, s.initial_folder);
    EXPECT_EQ(r.title, "请选择Serv-U帐户配置文件路径...");
    // Flags 0 and every other field zero.
    EXPECT_EQ(o.Flags, 0u);
    EXPECT_EQ(o.nFilterIndex + o.nMaxCustFilter + o.nFileOffset + o.nFileExtension + o.lCustData, 0);
    EXPECT_TRUE(!o.lpstrCustomFilter && !o.lpstrDefExt && !o.lpfnHook && !o.lpTemplateName);
    // The dialog as the window system is asked for it.
    ASSERT_FALSE(run.driver.Backend().FileRequests().empty());
    const auto& request = run.driver.Backend().FileRequests().back();
    EXPECT_EQ(request.owner, "ServU");
    EXPECT_EQ(request.title, "请选择Serv-U帐户配置文件路径...");
    EXPECT_EQ(request.filter, (std::vector<std::pair<std::string, std::string>>{
                                  {"Serv-U 配置文件 (ServUDaemon.ini)", "ServUDaemon.ini"}}));
    EXPECT_EQ(request.initial_folder, s.initial_folder);
    EXPECT_EQ(request.flags, 0u);
  }
}

TEST(FileDialogs, ScriptBrowsesThroughServUsDialog) {
  ChainRun run;
  run.ToService();
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  auto& script = run.Script();
  RecordWatch watch;
  struct Step {
    ui::CommandButton& view;
    ui::TextBox& box;
    std::optional<std::string> answer;
    const char* title;
    const char* after;
  } steps[] = {
      {script.PHPView, script.PHPFile, "C:\\PHP5\\php-cgi.exe", "请选择PHP执行程序路径...",
       "C:\\PHP5\\php-cgi.exe"},
      {script.CGIView, script.CGIFile, std::nullopt, "请选择CGI执行程序路径...", "C:\\Perl\\bin\\perl.exe"},
      {script.CGIView, script.CGIFile, "D:\\Perl\\perl.exe", "请选择CGI执行程序路径...",
       "D:\\Perl\\perl.exe"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.title);
    run.driver.AnswerFile(s.answer);
    run.driver.Click(s.view);
    EXPECT_EQ(s.box.Text(), s.after);
    EXPECT_EQ(run.driver.Focus(), &s.box);
    ASSERT_FALSE(watch.seen.empty());
    ASSERT_FALSE(run.driver.Backend().FileRequests().empty());
    const SeenRecord& r = watch.seen.back();
    EXPECT_EQ(r.fields.hwndOwner, setup::WindowHandle(script));
    EXPECT_EQ(r.filter, Ansi("ISAPI dll 文件(*.dll)") + '\0' + "*.dll" + '\0' + Ansi("CGI Exe 文件(*.exe)") +
                            '\0' + "*.exe" + '\0' + '\0');
    EXPECT_EQ(r.title, s.title);
    EXPECT_EQ(run.driver.Backend().FileRequests().back().owner, "Script");
  }
}

TEST(FolderDialogs, MailBrowsesForItsFolder) {
  ChainRun run(WithDriveD());
  run.ToService();
  run.Choose({false, false, MailChoice::kWinWebMail, false, false});
  run.ToServU();
  run.driver.Click(run.ServU().NextButton);
  auto& mail = run.Mail();
  struct Step {
    std::optional<std::string> answer;
    const char* after;
  } steps[] = {{"D:\\", "D:\\"}, {std::nullopt, "D:\\"}, {"C:\\WinWebMail", "C:\\WinWebMail"}};
  for (const auto& s : steps) {
    run.driver.AnswerFolder(s.answer);
    run.driver.Click(mail.WinWebMailView);
    EXPECT_EQ(mail.WinWebMailPath.Text(), s.after);
    EXPECT_EQ(run.Focus(), "WinWebMailPath");
    ASSERT_FALSE(run.driver.Backend().FolderRequests().empty());
    const auto& request = run.driver.Backend().FolderRequests().back();
    EXPECT_EQ(request.owner, "Mail");
    EXPECT_EQ(request.title, "请选择 WinWebMail 安装路径：");
    EXPECT_EQ(request.flags, 1u);
  }
}

// Left and top in twips, and whether shown, of a group's three controls.
struct Placed {
  int label_top, box_top;
  bool visible;
};

void ExpectGroup(ui::Label& label, ui::TextBox& box, ui::CommandButton& view, const Placed& p) {
  SCOPED_TRACE(box.Name());
  EXPECT_EQ(label.Left(), 510);
  EXPECT_EQ(box.Left(), 510);
  EXPECT_EQ(view.Left(), 5610);
  EXPECT_EQ(label.Top(), p.label_top);
  EXPECT_EQ(box.Top(), p.box_top);
  EXPECT_EQ(view.Top(), p.box_top);
  for (ui::Control* c :
       {static_cast<ui::Control*>(&label), static_cast<ui::Control*>(&box), static_cast<ui::Control*>(&view)})
    EXPECT_EQ(c->Visible(), p.visible) << c->Name();
}

TEST(ArrivalLayout, ScriptShowsTheChosenLanguagesFirstUnderTheHeader) {
  struct Case {
    bool php, cgi;
    Placed php_group, cgi_group;
  } cases[] = {
      {true, false, {1320, 1770, true}, {2370, 2816, false}},
      {false, true, {1320, 1770, false}, {1320, 1770, true}},
      {true, true, {1320, 1770, true}, {2370, 2816, true}},
  };
  // One run: each row is reached by going back to Service and choosing
  // again, so the layout is redone on every arrival.
  ChainRun run;
  run.ToService();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("PHP=") + (c.php ? "1" : "0") + " CGI=" + (c.cgi ? "1" : "0"));
    run.Choose({c.php, c.cgi, MailChoice::kNone, true, false});
    run.ToServU();
    run.driver.Click(run.ServU().NextButton);
    ASSERT_EQ(run.Active(), "Script");
    auto& s = run.Script();
    ExpectGroup(s.Label1, s.PHPFile, s.PHPView, c.php_group);
    ExpectGroup(s.Label4, s.CGIFile, s.CGIView, c.cgi_group);
    // Arriving by Back lays out the same.
    run.driver.Click(s.NextButton);
    run.driver.Click(run.SQLServer().StepButton);
    ASSERT_EQ(run.Step(), std::string("Script/") + (c.php ? "PHPFile" : "CGIFile"));
    ExpectGroup(s.Label1, s.PHPFile, s.PHPView, c.php_group);
    ExpectGroup(s.Label4, s.CGIFile, s.CGIView, c.cgi_group);
    run.driver.Click(s.StepButton);
    run.driver.Click(run.ServU().StepButton);
    run.driver.Click(run.program.Page<setup::DirectoryPage>().StepButton);
  }
}

TEST(ArrivalLayout, MailShowsOnlyTheChosenSystemUnderTheHeader) {
  ChainRun run;
  run.ToService();
  struct Case {
    MailChoice mail;
    Placed imail, winwebmail;
  } cases[] = {
      {MailChoice::kWinWebMail, {1320, 1770, false}, {1320, 1770, true}},
      {MailChoice::kIMail, {1320, 1770, true}, {2370, 2816, false}},
  };
  for (const auto& c : cases) {
    run.Choose({false, false, c.mail, true, false});
    run.ToServU();
    run.driver.Click(run.ServU().NextButton);
    ASSERT_EQ(run.Active(), "Mail");
    auto& m = run.Mail();
    ExpectGroup(m.Label1, m.iMailPath, m.iMailView, c.imail);
    ExpectGroup(m.Label4, m.WinWebMailPath, m.WinWebMailView, c.winwebmail);
    run.FillIn("Mail");
    run.driver.Click(m.NextButton);
    run.driver.Click(run.SQLServer().StepButton);
    ASSERT_EQ(run.Active(), "Mail");
    ExpectGroup(m.Label1, m.iMailPath, m.iMailView, c.imail);
    ExpectGroup(m.Label4, m.WinWebMailPath, m.WinWebMailView, c.winwebmail);
    run.driver.Click(m.StepButton);
    run.driver.Click(run.ServU().StepButton);
    run.driver.Click(run.program.Page<setup::DirectoryPage>().StepButton);
  }
  // Shown with NoMail (never through the chain): every group hidden.
  run.driver.Click(run.Service().NoMail);
  run.driver.Run([&] { run.Mail().Show(); });
  auto& m = run.Mail();
  ExpectGroup(m.Label1, m.iMailPath, m.iMailView, {1320, 1770, false});
  ExpectGroup(m.Label4, m.WinWebMailPath, m.WinWebMailView, {2370, 2816, false});
}

// Cancel on a page, then Cancel in the question: the page stays with the
// focus on its own field; OK ends the program.
TEST(CloseCheck, EachNewPageKeepsItsFieldOrEnds) {
  struct Case {
    const char* page;
    Choices choices;
    const char* focus;  // "" : none
  } cases[] = {
      {"Service", {}, "NET"},
      {"ServU", {}, "File"},
      {"Script", {}, "PHPFile"},
      {"Script", {false, true}, "CGIFile"},
      {"Mail", {false, false, MailChoice::kIMail}, "iMailPath"},
      {"Mail", {false, false, MailChoice::kWinWebMail}, "WinWebMailPath"},
      {"SQLServer", {false, false}, "MSSQLServer"},
      {"MySQL", {false, false, MailChoice::kNone, false, true}, "MySQLServer"},
  };
  for (const auto& c : cases) {
    for (bool ok : {false, true}) {
      SCOPED_TRACE(std::string(c.page) + (ok ? " OK" : " Cancel"));
      ChainRun run;
      run.ToService();
      run.Choose(c.choices);
      while (run.Active() != c.page) {
        run.FillIn(run.Active());
        run.driver.Click(run.NextOf(run.Active()));
      }
      run.driver.Answer(ok ? ui::MsgResult::OK : ui::MsgResult::Cancel);
      run.driver.Click(run.ButtonOfActive("CancelButton"));
      ASSERT_TRUE(run.driver.LastMessage());
      EXPECT_EQ(run.driver.LastMessage()->request.title, "安装");
      EXPECT_EQ(run.driver.Ended(), ok);
      if (!ok) {
        EXPECT_EQ(run.Step(), std::string(c.page) + "/" + c.focus);
      }
    }
  }
}

}  // namespace
}  // namespace quorvale::server
