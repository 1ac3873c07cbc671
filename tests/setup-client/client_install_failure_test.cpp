// Client's install where it cannot happen, and where the unpacker is slow:
// the steps show as always, then a line of the install's own says what is
// missing and Complete says the install failed; the folder permissions
// wait for the panel's Web and reach the files unpacked after them.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "full_drive.h"
#include "install_run.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/clock.h"

namespace quorvale::client::testing {
namespace {

constexpr const char* kComponents =
    "C:\\WINDOWS\\system32\\DodIde.dll、C:\\WINDOWS\\system32\\Quorvale.dll、C:\\WINDOWS\\system32\\Jmail."
    "dll";

TEST(ClientInstallFailure, AnInstallThatDidNotHappenEndsOnTheFailureText) {
  std::string long_folder = "C:\\Quorvale";
  while (CharCount(long_folder) < 290) long_folder += "\\主控端的安装目录主控端的安装目录";
  long_folder += std::string(306 - CharCount(long_folder), 'q');
  ASSERT_EQ(CharCount(long_folder), 306u);
  std::unique_ptr<setup::testing::FullDrive> full;
  std::string skipped;
  struct Case {
    const char* name;
    bool full_drive;  // else the long folder, past the Directory page
    std::string folder;
  } cases[] = {{"a folder too long for Windows paths", false, long_folder},
               {"a full C: drive", true, kFolder}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run;
    run.WalkToInstall({});
    ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
    if (c.full_drive) {
      full = std::make_unique<setup::testing::FullDrive>(run.temp.Folder(), 'C');
      run.temp.machine().SetFreeSpace('C', 0);
      if (!full->Why().empty()) {
        skipped = full->Why();
        continue;
      }
    } else {
      run.Page<DirectoryPage>().Directory.SetText(c.folder);
    }
    run.RunInstall();

    // The registry lies outside the drives: the entry is written, naming
    // files that are not there.
    const std::string missing =
        std::string("Uninstall.exe、Web\\Inc\\Conn.asp、") + kComponents + "、Uninstall.ini";
    Lines lines = kAccessList;
    lines.push_back("安装失败，缺少：" + missing + "...");
    EXPECT_EQ(run.Progress().SetupList.Items(), lines);
    EXPECT_EQ(run.captions, Captions(kAccessList));
    EXPECT_EQ(run.widths, Widths(false));
    auto& complete = run.Page<CompletePage>();
    ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
    EXPECT_EQ(complete.Label1.Caption(), "安装失败！");
    EXPECT_EQ(complete.Label2.Caption(),
              "Quorvale虚拟主机管理系统v3.0 主控端没有安装成功，缺少：" + missing +
                  "。\r\n\r\n请检查安装目录所在磁盘的剩余空间、安装目录路径的长度以及磁盘能否写入，"
                  "然后重新运行安装程序。");
    EXPECT_FALSE(complete.ReadMe.Visible());
    const auto started = run.Started().size();
    run.driver.Click(complete.CompleteButton);
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_EQ(run.Started().size(), started);  // no read-me
    EXPECT_EQ(run.program.EndedWith().outcome, setup::Outcome::kFailed);
    EXPECT_EQ(run.program.EndedWith().detail, "安装失败，缺少：" + missing + "（安装目录 " + c.folder + "）");
    full.reset();  // before the machine goes
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped;
}

// On the real clock with an unpacker slower than the steps before the
// folder permissions: they wait for Web, and the site account gets its
// rights on the files unpacked after the grant (Web\Data\Quorvale.mdb is
// not there yet when the site is made, just after Cacls started).
TEST(ClientInstallRealClock, CaclsWaitsForWebAndTheFilesUnpackedLaterInheritItsGrant) {
  InstallRun run;
  UseTestClock(false);
  SetUnpackerPause(std::chrono::milliseconds(200));
  run.WalkToInstall({});
  const std::string mdb = run.In("Web\\Data\\Quorvale.mdb");
  std::optional<bool> mdb_at_site;
  run.driver.Backend().WatchChanges([&](ui::Form& form) {
    if (form.Name() == "Install" && !mdb_at_site &&
        run.Progress().StateCaption.Caption() == "正在建立主控端站点...")
      mdb_at_site = run.temp.Exists(mdb);
  });
  run.driver.Advance(100);
  WaitForPrograms();
  run.driver.Backend().WatchChanges(nullptr);
  SetUnpackerPause(std::chrono::milliseconds(0));

  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_EQ(run.Page<CompletePage>().Label1.Caption(), "恭喜，您已经安装成功！");
  const std::string account = "IUSR_" + run.SiteNumber();
  ASSERT_NE(account, "IUSR_");
  std::vector<std::string> cacls;
  for (const auto& s : run.temp.machine().StartedPrograms())
    if (s.command_line.rfind("Cacls", 0) == 0 && s.command_line.find("\\Web ") != std::string::npos)
      cacls.push_back(s.command_line);
  EXPECT_EQ(cacls, std::vector<std::string>{"Cacls C:\\PROGRA~1\\Quorvale\\主控端\\Web /t /e /c /g " +
                                            account + ":F"});
  ASSERT_TRUE(mdb_at_site);
  EXPECT_FALSE(*mdb_at_site) << "the unpacker was not slower than the steps";
  std::set<std::string> granted;
  for (const auto& a : run.temp.machine().AccessList())
    if (a.principal == account && a.right == "F") granted.insert(a.path);
  for (const char* file : {"Web", "Web\\Index.asp", "Web\\Inc", "Web\\Inc\\Conn.asp", "Web\\Data",
                           "Web\\Data\\Quorvale.mdb", "Web\\Images\\logo.gif"})
    EXPECT_TRUE(granted.count(run.In(file))) << file;
  for (const auto& e : run.temp.machine().ProgramEvents())
    EXPECT_NE(e.program, "cacls.exe") << e.what << " " << e.detail;
}

}  // namespace
}  // namespace quorvale::client::testing
