// Uninstall run on a machine as the control end's Uninstall.exe: copied
// into the install folder and started by WinExec as a process of its own,
// as Windows' list of installed programs starts it. The user's Enter key
// reaches its windows through the X server. Needs an X display.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "program_process.h"
#include "quorvale/machine/clock.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/headless.h"
#include "quorvale/uninstall/repair_program.h"
#include "quorvale/win32/win32.h"
#include "window_test.h"
#include "x_client.h"

namespace quorvale::uninstall {
namespace {

using testing::WaitFor;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\主控端";
constexpr const char* kProgram = "C:\\Program Files\\Quorvale\\主控端\\Uninstall.exe";
constexpr const char* kBatch = "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp\\Delete.bat";

// A fresh machine with the program in the install folder.
class UninstallOnMachine : public ui::fltk::testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(x);
    temp = std::make_unique<quorvale::testing::TempMachine>();
    // The program's own waits run on the real clock; so do this test's.
    UseTestClock(false);
    RegisterProviders(temp->machine().Registry(), PROVIDERS_PATH);
    InstallLauncher();
    std::filesystem::create_directories(temp->Host(kProgram).parent_path());
    std::filesystem::copy_file(UNINSTALL_PROGRAM, temp->Host(kProgram));
  }
  void TearDown() override {
    WaitForPrograms(std::chrono::seconds(30));
    temp.reset();
    WindowTest::TearDown();
  }
  // Started as Windows' list of installed programs starts it.
  void Start(const std::string& arguments) {
    const std::string line = std::string("\"") + kProgram + "\" " + arguments;
    const auto ansi = win32::ToAnsi(line);
    ASSERT_TRUE(ansi) << line;
    ASSERT_GT(win32::WinExec(ansi->c_str(), win32::SW_SHOWNORMAL), 31u);
  }

  testing::XClient x;
  std::unique_ptr<quorvale::testing::TempMachine> temp;
};

TEST_F(UninstallOnMachine, TheInstallFoldersProgramFindsItsFolderAndRunsOncePerMachine) {
  if (IsSkipped() || HasFatalFailure()) return;
  Start("-delete");
  ASSERT_TRUE(WaitFor([&] { return x.CountShown("卸载") > 0; })) << "no confirmation came up";

  // While it runs, another instance on the same machine ends without a word.
  {
    ui::HeadlessDriver driver;
    setup::SetupProgram second(driver.App(), RepairProgram::Profile());
    driver.Run([&] { second.Start(); });
    EXPECT_TRUE(driver.Ended());
    EXPECT_TRUE(driver.Messages().empty());
    EXPECT_TRUE(driver.ShownForms().empty());
  }

  x.PressEnter("卸载");
  // Running takes Enter without effect; Complete's default button leaves.
  ASSERT_TRUE(WaitFor([&] {
    if (temp->Exists(kBatch)) return true;
    x.PressEnter("Quorvale虚拟主机管理系统v3.0主控端");
    return temp->Exists(kBatch);
  })) << "no Delete.bat";
  std::string batch;
  ASSERT_TRUE(WaitFor([&] { return (batch = temp->Read(kBatch)).size() > 100; }));
  EXPECT_NE(batch.find("\r\nrd /s /q C:\\PROGRA~1\\Quorvale\\\xD6\xF7\xBF\xD8\xB6\xCB\r\n"),
            std::string::npos)
      << batch;
  EXPECT_TRUE(WaitForPrograms(std::chrono::seconds(30))) << "the program did not end";
  bool batch_started = false;
  for (const auto& s : temp->machine().StartedPrograms())
    batch_started |= s.command_line == "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\Delete.bat" && s.show == 0;
  EXPECT_TRUE(batch_started);
  // The program has ended; its batch runs on and removes the install
  // folder, the program's file among it, and itself.
  EXPECT_TRUE(WaitFor([&] { return !temp->Exists(kFolder) && !temp->Exists(kBatch); }))
      << "the install folder or the batch is still there";
  EXPECT_TRUE(temp->Exists("C:\\Program Files\\Quorvale"));
}

// The program reads its command line as WinExec handed it: a blank after
// the switch makes it no switch, and the page comes up with repair chosen.
TEST_F(UninstallOnMachine, ASwitchWithATrailingBlankShowsThePage) {
  if (IsSkipped() || HasFatalFailure()) return;
  Start("-delete ");
  // The page: Enter presses Next, and the question is the repair's.
  ASSERT_TRUE(WaitFor([&] {
    if (x.CountShown("修复") > 0) return true;
    x.PressEnter("Quorvale虚拟主机管理系统v3.0主控端");
    return x.CountShown("修复") > 0;
  })) << "no repair question";
  EXPECT_EQ(x.CountShown("卸载"), 0);
  // The repair finds no control end in the folder: its check's box (also
  // titled "修复") ends the program.
  ASSERT_TRUE(WaitFor([&] {
    x.PressEnter("修复");
    return WaitForPrograms(std::chrono::milliseconds(100));
  })) << "the program did not end";
  EXPECT_FALSE(temp->Exists(kBatch));
}

// The program's file started by hand, as a process of its own: how each way
// of ending it ends, in its last line on standard error and its exit code.
TEST_F(UninstallOnMachine, EachEndSaysHowItEndedAndExitsWithItsCode) {
  if (IsSkipped() || HasFatalFailure()) return;
  struct Case {
    const char* name;
    bool xp;
    const char* arguments;
    // What the person does while the program runs.
    std::function<void(testing::XClient&, setup::testing::ProgramProcess&)> act;
    int code;
    std::string line;
  };
  auto enter = [](std::vector<const char*> titles) {
    return [=](testing::XClient& x, setup::testing::ProgramProcess&) {
      for (const char* title : titles) WaitFor([&] { return x.PressEnter(title) > 0; });
    };
  };
  // Enter on every window with the titles, time and again, until the
  // program has ended: its boxes (the confirmation, then a stop) may share
  // a title, and Running takes Enter without effect.
  auto enter_until_ended = [](std::vector<const char*> titles) {
    return [=](testing::XClient& x, setup::testing::ProgramProcess& p) {
      WaitFor([&] {
        for (const char* title : titles) x.PressEnter(title);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return p.Ended().has_value();
      });
    };
  };
  const Case cases[] = {
      {"Windows XP", true, "-delete", enter({"安装"}), 3,
       "Uninstall: refused: Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!"},
      {"the confirmation answered Cancel", false, "-delete",
       [](testing::XClient& x, setup::testing::ProgramProcess&) {
         WaitFor([&] { return x.PressEscape("卸载") > 0; });
       },
       4, "Uninstall: cancelled: the confirmation \"卸载\" answered Cancel"},
      // The folder holds no control end: the repair's first check stops it.
      {"a repair's stopping check", false, "-modify", enter_until_ended({"修复"}), 3,
       "Uninstall: refused: 主控端网站文件被移动或删除，无法进行修复操作！"},
      {"an uninstall through to Complete", false, "-delete",
       enter_until_ended({"卸载", "Quorvale虚拟主机管理系统v3.0主控端"}), 0,
       std::string("Uninstall: completed: uninstalled from ") + kFolder},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.xp) {
      auto info = temp->machine().Info();
      info.version = {5, 1, 2600, 2, "Service Pack 2"};
      temp->machine().SetInfo(info);
    }
    setup::testing::ProgramProcess program(temp->Host(kProgram), {c.arguments}, temp->Folder());
    ASSERT_TRUE(program.Started());
    // While the first one waits for its question, a second one on the
    // machine ends at once, refused without a word.
    if (c.code == 4) {
      ASSERT_TRUE(WaitFor([&] { return x.CountShown("卸载") > 0; }));
      setup::testing::ProgramProcess second(temp->Host(kProgram), {"-modify"}, temp->Folder());
      ASSERT_TRUE(second.Wait());
      EXPECT_EQ(*second.Ended(), 3);
      EXPECT_EQ(second.LastLine(),
                "Uninstall: refused: another Uninstall runs on this machine (nothing shown)");
    }
    c.act(x, program);
    ASSERT_TRUE(program.Wait()) << program.Said();
    EXPECT_EQ(*program.Ended(), c.code) << program.Said();
    EXPECT_EQ(program.LastLine(), c.line);
    if (c.xp) {
      auto info = temp->machine().Info();
      info.version = {5, 2, 3790, 2, ""};
      temp->machine().SetInfo(info);
    }
  }
  // The uninstall's batch removes the folder, the program's file with it.
  EXPECT_TRUE(WaitFor([&] { return !temp->Exists(kFolder); }));
}

}  // namespace
}  // namespace quorvale::uninstall
