// Leaving Complete: after a repair the program just ends; after an
// uninstall it writes Delete.bat into the temporary folder, starts it
// hidden and ends, and the batch removes the install folder and itself.
#include <gtest/gtest.h>

#include "panel_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/uninstall/delete_batch.h"

namespace quorvale::uninstall {
namespace {

using testing::kInstallFolder;
using testing::PanelMachine;
using testing::UninstallRun;

constexpr const char* kTemp = "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp";
constexpr const char* kBatch = "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp\\Delete.bat";
constexpr const char* kShortBatch = "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\Delete.bat";

enum class Leave { kCompleteButton, kExitButton, kCloseBox };

void LeaveBy(UninstallRun& run, Leave how) {
  switch (how) {
    case Leave::kCompleteButton: run.driver.Click(run.complete().CompleteButton); break;
    case Leave::kExitButton: run.driver.Click(run.complete().ExitButton); break;
    case Leave::kCloseBox: run.driver.Close(run.complete()); break;
  }
}

// Through the confirmation and the sequence to Complete.
void RunToComplete(UninstallRun& run, const char* line) {
  run.driver.Answer(ui::MsgResult::OK);
  run.Start(line);
  run.driver.Advance(100);
  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
}

const Leave kEveryWay[] = {Leave::kCompleteButton, Leave::kExitButton, Leave::kCloseBox};

TEST(UninstallComplete, AfterARepairEveryWayOutJustEnds) {
  for (Leave how : kEveryWay) {
    SCOPED_TRACE(static_cast<int>(how));
    PanelMachine run;
    run.Install({.sql_server = false});
    RunToComplete(run, "-modify");
    LeaveBy(run, how);
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_EQ(run.program->EndedWith().outcome, setup::Outcome::kCompleted);
    EXPECT_EQ(run.program->EndedWith().detail, std::string("repaired ") + kInstallFolder);
    EXPECT_TRUE(run.BatchesStarted().empty());
    EXPECT_FALSE(run.temp.Exists(kBatch));
    EXPECT_TRUE(run.temp.Exists(std::string(kInstallFolder) + "\\Uninstall.ini"));
  }
}

TEST(UninstallComplete, AfterAnUninstallTheBatchRemovesTheInstallFolderAndItself) {
  for (Leave how : kEveryWay) {
    SCOPED_TRACE(static_cast<int>(how));
    UninstallRun run;
    run.temp.Write(std::string(kInstallFolder) + "\\Web\\Inc\\Conn.asp", "<% %>");
    RunToComplete(run, "-delete");
    LeaveBy(run, how);
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_EQ(run.program->EndedWith().outcome, setup::Outcome::kCompleted);
    EXPECT_EQ(run.program->EndedWith().detail, std::string("uninstalled from ") + kInstallFolder);
    const auto started = run.BatchesStarted();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].command_line, kShortBatch);
    EXPECT_EQ(started[0].show, 0);
    WaitForPrograms();
    EXPECT_FALSE(run.temp.Exists(kInstallFolder));
    EXPECT_TRUE(run.temp.Exists("C:\\Program Files\\Quorvale"));
    EXPECT_FALSE(run.temp.Exists(kBatch));
    EXPECT_TRUE(run.temp.Exists(kTemp));
  }
}

TEST(UninstallComplete, DeleteBatHoldsSixLinesTheLastWithoutLineEnd) {
  UninstallRun run;
  RunToComplete(run, "-delete");
  std::string written;
  AtMoment(500, [&] { written = run.temp.Read(kBatch); });  // while the batch pings
  run.driver.Click(run.complete().CompleteButton);
  WaitForPrograms();
  // In code page 936; 主控端 is six bytes, a short name already.
  EXPECT_EQ(written,
            "@echo off\r\n"
            "ping 127.0.0.1 -n 2\r\n"
            "rd /s /q C:\\PROGRA~1\\Quorvale\\\xD6\xF7\xBF\xD8\xB6\xCB\r\n"
            "del C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\Delete.bat\r\n"
            "cls\r\n"
            "exit");
}

TEST(UninstallComplete, NoBatchWhereItWouldRemoveTheWrongFolder) {
  struct Case {
    const char* name;
    const char* app_path;
  } cases[] = {
      {"the root of drive C", "C:\\"},
      {"the root of drive C, as the repair names it", "C:"},
      {"outside the machine: no short path", ""},
      {"a folder that is gone: no short path", "C:\\Program Files\\Quorvale\\Gone"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UninstallRun run;
    run.program->SetAppPath(c.app_path);
    RunToComplete(run, "-delete");
    run.driver.Click(run.complete().CompleteButton);
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_TRUE(run.BatchesStarted().empty());
    EXPECT_FALSE(run.temp.Exists(kBatch));
    EXPECT_TRUE(run.temp.Exists(kInstallFolder));
  }
}

TEST(UninstallComplete, ATemporaryFolderThatCannotBeWrittenStartsNothing) {
  UninstallRun run;
  std::filesystem::remove_all(run.temp.Host(kTemp));
  RunToComplete(run, "-delete");
  run.driver.Click(run.complete().ExitButton);
  EXPECT_TRUE(run.driver.Ended());
  EXPECT_TRUE(run.BatchesStarted().empty());
  EXPECT_TRUE(run.temp.Exists(kInstallFolder));
}

TEST(DeleteBatch, DriveRoots) {
  struct Case {
    const char* path;
    bool root;
  } cases[] = {{"C:", true}, {"C:\\", true}, {"d:\\", true},  {"C:\\Q", false}, {"C:\\\\", false},
               {"", false},  {"\\", false},  {"1:\\", false}, {"CC:\\", false}, {"C:Q", false}};
  for (const auto& c : cases) EXPECT_EQ(IsDriveRoot(c.path), c.root) << c.path;
}

}  // namespace
}  // namespace quorvale::uninstall
