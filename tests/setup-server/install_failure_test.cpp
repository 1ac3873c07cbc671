// Whole runs on machines where the install cannot happen: the steps show
// as always, then one line of the install's own says what is missing, and
// Complete says the install failed instead of congratulating.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "full_drive.h"
#include "install_expected.h"
#include "install_run.h"
#include "quorvale/core/text.h"

namespace quorvale::server {
namespace {

using namespace testing;

// 306 characters: more than a Windows path holds.
std::string TooLongFolder() {
  std::string folder = "C:\\Quorvale";
  while (CharCount(folder) + 30 <= 306)
    folder += "\\被控端的安装目录被控端的安装目录被控端的安装目录被控端的安装";
  folder += std::string(306 - CharCount(folder), 'q');
  return folder;
}

TEST(ServerInstallFailure, AnInstallThatDidNotHappenEndsOnTheFailureText) {
  const std::string kControls =
      "C:\\WINDOWS\\system32\\mswinsck.ocx、C:\\WINDOWS\\system32\\ntsvc.ocx、"
      "C:\\WINDOWS\\system32\\TABCTL32.OCX、C:\\WINDOWS\\system32\\MSCOMCTL.OCX";
  const std::string long_folder = TooLongFolder();
  std::unique_ptr<setup::testing::FullDrive> full;
  std::string skipped;
  ASSERT_EQ(CharCount(long_folder), 306u);
  struct Case {
    const char* name;
    // Past the Directory page, which would refuse it; false when the
    // machine cannot be made so here.
    std::function<bool(InstallRun&)> set;
    std::string missing;
    std::string folder;
  } cases[] = {
      {"a folder too long for Windows paths",
       [&](InstallRun& run) {
         run.program.Page<setup::DirectoryPage>().Directory.SetText(long_folder);
         return true;
       },
       "Quorvale.exe、Service.exe、System.ini、Uninstall.exe、" + kControls + "、Uninstall.ini", long_folder},
      // The registry lies outside the drive: the entry is written, and
      // names files that are not there.
      {"a full C: drive",
       [&](InstallRun& run) {
         full = std::make_unique<setup::testing::FullDrive>(run.temp.Folder(), 'C');
         run.temp.machine().SetFreeSpace('C', 0);
         if (full->Why().empty()) return true;
         skipped = full->Why();
         return false;
       },
       "Quorvale.exe、Service.exe、System.ini、Uninstall.exe、" + kControls + "、Uninstall.ini",
       "C:\\Program Files\\Quorvale\\被控端"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run;
    run.WalkToInstall({});
    ASSERT_EQ(run.Active(), "Install");
    if (!c.set(run)) continue;
    run.RunSequence();

    // Everything before the look as always, then the look's line.
    auto lines = ExpectedLines(false);
    lines.push_back("安装失败，缺少：" + c.missing + "...");
    EXPECT_EQ(run.lines, lines);
    EXPECT_EQ(run.captions, ExpectedCaptions(false));
    EXPECT_EQ(run.Widths(), ExpectedWidths(false));

    auto& complete = run.program.Page<setup::CompletePage>();
    ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
    EXPECT_EQ(complete.Label1.Caption(), "安装失败！");
    EXPECT_EQ(complete.Label2.Caption(),
              "Quorvale虚拟主机管理系统v3.0 被控端没有安装成功，缺少：" + c.missing +
                  "。\r\n\r\n请检查安装目录所在磁盘的剩余空间、安装目录路径的长度以及磁盘能否写入，"
                  "然后重新运行安装程序。");
    EXPECT_FALSE(complete.Run.Visible());
    EXPECT_FALSE(complete.ReadMe.Visible());
    const auto started = run.temp.machine().StartedPrograms().size();
    run.driver.Click(complete.CompleteButton);
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_EQ(run.temp.machine().StartedPrograms().size(), started);  // neither the console nor the read-me
    EXPECT_EQ(run.program.EndedWith().outcome, setup::Outcome::kFailed);
    EXPECT_EQ(run.program.EndedWith().detail,
              "安装失败，缺少：" + c.missing + "（安装目录 " + c.folder + "）");
    full.reset();  // before the machine goes
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped;
}

// The same install where everything went: no line of the look's, the
// success page, and the program ends completed.
TEST(ServerInstallFailure, AnInstallThatHappenedSaysNothingMore) {
  InstallRun run;
  run.Install({});
  EXPECT_EQ(run.lines, ExpectedLines(false));
  auto& complete = run.program.Page<setup::CompletePage>();
  EXPECT_EQ(complete.Label1.Caption(), "恭喜，您已经安装成功！");
  EXPECT_TRUE(complete.Run.Visible());
  run.driver.Click(complete.ExitButton);
  EXPECT_EQ(run.program.EndedWith().outcome, setup::Outcome::kCompleted);
  EXPECT_EQ(run.program.EndedWith().detail, "installed in C:\\Program Files\\Quorvale\\被控端");
}

}  // namespace
}  // namespace quorvale::server
