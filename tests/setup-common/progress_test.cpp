#include <gtest/gtest.h>

#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/kernel.h"
#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

// A wizard on its Directory page, one click away from the progress page,
// whose sequence is the test's.
struct Installing : Wizard {
  explicit Installing(std::function<void(ProgressPage&)> sequence = {})
      : Wizard(Profile(*this, std::move(sequence))) {
    Start();
    WalkToDirectory();
  }
  InstallPage& Begin() {
    driver.Click(Page<DirectoryPage>().NextButton);
    return Page<InstallPage>();
  }
  int runs = 0;

 private:
  static ProgramProfile Profile(Installing& self, std::function<void(ProgressPage&)> sequence) {
    ProgramProfile p = TestProfile();
    p.sequence = [&self, sequence](SetupProgram&, ProgressPage& page) {
      ++self.runs;
      if (sequence) sequence(page);
      page.EndSequence("安装完毕...");
    };
    return p;
  }
};

TEST(ProgressPage, StartsItsSequenceOnTheFirstTickAndEndsOnComplete) {
  std::vector<std::string> captions;
  Installing w([&](ProgressPage& p) {
    p.ReportStep({"正在复制文件...", nullptr, 1000}, {});
    captions.push_back(p.StateCaption.Caption());
    p.ReportStep({"正在创建目录...", "正在创建目录: C:\\Program Files\\Quorvale\\被控端", 2000}, [] {});
    captions.push_back(p.StateCaption.Caption());
    p.ReportStep({"正在注册组件...", nullptr, 3000, "注册组件失败..."}, [] { Raise(Error::kFileNotFound); });
    EXPECT_TRUE(p.CheckStep("不会出现..."));
  });
  InstallPage& install = w.Begin();
  EXPECT_EQ(install.StateCaption.Caption(), "正在准备安装...");
  EXPECT_EQ(install.Loading.Width(), 15);
  EXPECT_TRUE(install.Timer.Enabled());
  EXPECT_EQ(w.runs, 0);
  w.driver.Advance(99);
  EXPECT_EQ(w.runs, 0);
  w.driver.Advance(1);
  EXPECT_EQ(w.runs, 1);
  EXPECT_EQ(captions, (std::vector<std::string>{"正在复制文件...", "正在创建目录..."}));
  EXPECT_EQ(install.SetupList.Items(),
            (std::vector<std::string>{"正在复制文件...", "正在创建目录: C:\\Program Files\\Quorvale\\被控端",
                                      "正在注册组件...", "注册组件失败..."}));
  EXPECT_EQ(install.StateCaption.Caption(), "安装完毕...");
  EXPECT_EQ(install.Loading.Width(), 6765);
  EXPECT_EQ(install.Loading.Width(), install.Label4.Width());
  EXPECT_FALSE(install.Timer.Enabled());
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_FALSE(w.driver.App().Unhandled().has_value());
}

TEST(ProgressPage, BarColoursDisabledCancelAndTimerInterval) {
  Installing w;
  InstallPage& p = w.Page<InstallPage>();
  EXPECT_EQ(p.Loading.BackColor(), 0x000000FFu);
  EXPECT_EQ(p.Label4.BackColor(), 0x00808080u);
  EXPECT_FALSE(p.CancelButton.Enabled());
  EXPECT_EQ(p.CancelButton.Caption(), "取消(&C)");
  EXPECT_EQ(p.Timer.Interval(), 100);
  EXPECT_FALSE(p.Timer.Enabled());  // until the page is loaded
}

// The first guard: the tick that starts the sequence switches the timer
// off first, so no further tick comes while the sequence runs.
TEST(ProgressPage, TheFirstTickSwitchesTheTimerOffBeforeTheSequence) {
  std::vector<bool> timer_on;
  Installing w([&](ProgressPage& p) {
    timer_on.push_back(p.Timer.Enabled());
    p.ReportStep({"第1步", nullptr, 300}, {});
    timer_on.push_back(p.Timer.Enabled());
  });
  w.driver.Backend().SetPumpStep(250);  // every loop turn lets 250 ms pass
  w.Begin();
  w.driver.Advance(100);
  EXPECT_EQ(timer_on, (std::vector<bool>{false, false}));
  EXPECT_EQ(w.runs, 1);
}

// The second guard: a tick that still comes due while the sequence runs
// (here the sequence switches the timer on again) does not start it again.
TEST(ProgressPage, ATickDueInsideTheSequenceDoesNotStartItAgain) {
  int steps = 0;
  Installing w([&](ProgressPage& p) {
    p.Timer.SetEnabled(true);
    for (int i = 1; i <= 20; ++i) {
      p.ReportStep({"第N步", nullptr, i * 300}, {});
      ++steps;
    }
  });
  w.driver.Backend().SetPumpStep(250);  // the 100 ms timer is due at every loop turn
  w.Begin();
  w.driver.Advance(100);
  w.driver.Advance(5000);
  EXPECT_EQ(w.runs, 1);
  EXPECT_EQ(steps, 20);
  EXPECT_EQ(w.Page<InstallPage>().SetupList.ListCount(), 20);
}

TEST(ProgressPage, CannotBeClosedWhileTheSequenceRuns) {
  Wizard* wizard = nullptr;
  ProgressPage* seen = nullptr;
  Installing w([&](ProgressPage& p) {
    seen = &p;
    wizard->driver.PostClose(p);
    wizard->driver.PostClick(p.CancelButton);  // disabled: dropped
    p.ReportStep({"正在复制文件...", nullptr, 1000}, {});
    EXPECT_TRUE(p.Visible());
  });
  wizard = &w;
  InstallPage& install = w.Begin();
  w.driver.Close(install);
  EXPECT_TRUE(install.Visible());
  w.driver.Advance(100);
  EXPECT_EQ(seen, &install);
  EXPECT_TRUE(w.driver.Messages().empty());
  EXPECT_FALSE(w.driver.Ended());
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Complete"});
}

// The page as the shared recipes see it: a step shows its caption and is
// listed, a line is listed alone, the bar moves with a turn of the message
// loop (MoveBar, LoopTurn) or without (SetBar), and a check point lists its
// failure line once.
TEST(ProgressPage, ShowsWhatTheRecipesReport) {
  Installing* wizard = nullptr;
  std::vector<std::string> seen;
  std::vector<bool> checks;
  Installing w([&](ProgressPage& p) {
    StepReporter& r = p;
    auto now = [&] { return wizard->driver.Backend().NowMs(); };
    const auto start = now();
    r.ShowStep("正在注册组件...");
    r.MoveBar(4000);
    seen.push_back(p.StateCaption.Caption() + " " + std::to_string(p.Loading.Width()) + " " +
                   std::to_string(now() - start));
    r.ListLine("主控端站点正常...");
    seen.push_back(p.StateCaption.Caption());
    r.SequenceErr().Resume([] { Raise(Error::kFileNotFound); });
    checks.push_back(r.CheckStep("网站独立访问帐户添加失败..."));
    checks.push_back(r.CheckStep("不会出现..."));
    r.SetBar(5000);
    seen.push_back(std::to_string(p.Loading.Width()) + " " + std::to_string(now() - start));
    r.LoopTurn();
    seen.push_back(std::to_string(p.Loading.Width()) + " " + std::to_string(now() - start));
  });
  wizard = &w;
  w.driver.Backend().SetPumpStep(250);  // every loop turn lets 250 ms pass
  InstallPage& install = w.Begin();
  w.driver.Advance(100);
  EXPECT_EQ(seen, (std::vector<std::string>{"正在注册组件... 4000 250", "正在注册组件...", "5000 250",
                                            "5000 500"}));
  EXPECT_EQ(checks, (std::vector<bool>{false, true}));
  EXPECT_EQ(install.SetupList.Items(), (std::vector<std::string>{"正在注册组件...", "主控端站点正常...",
                                                                 "网站独立访问帐户添加失败..."}));
}

// Starts only what the machine holds (and Notepad, which Windows has) while
// it lives.
struct LaunchOnlyPresent {
  LaunchOnlyPresent() {
    win32::SetProgramLauncher([](const std::string& command, int) {
      return command.rfind("notepad.exe ", 0) == 0 || FileExists(command);
    });
  }
  ~LaunchOnlyPresent() { win32::SetProgramLauncher({}); }
};

TEST(CompletePage, StartsWhatIsCheckedAndEnds) {
  struct Case {
    const char* name;
    int run, read_me;
    bool console_present;
    std::vector<std::string> started;  // "+" launched, "-" could not be started
  };
  const std::string console = "C:\\Program Files\\Quorvale\\被控端\\Quorvale.exe";
  const std::string read_me = "notepad.exe C:\\Program Files\\Quorvale\\被控端\\说明.txt";
  const std::vector<Case> cases = {
      {"both", 1, 1, true, {"+" + console, "+" + read_me}},
      {"console missing", 1, 1, false, {"-" + console, "+" + read_me}},
      {"read-me only", 0, 1, true, {"+" + read_me}},
      {"console only", 1, 0, true, {"+" + console}},
      {"nothing", 0, 0, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Installing w;
    LaunchOnlyPresent launcher;
    if (c.console_present) w.temp.Write(console, "console");
    w.Begin();
    w.driver.Advance(100);
    auto& complete = w.Page<CompletePage>();
    EXPECT_EQ(complete.Run.Value(), 1);
    EXPECT_EQ(complete.ReadMe.Value(), 1);
    if (!c.run) w.driver.Click(complete.Run);
    if (!c.read_me) w.driver.Click(complete.ReadMe);
    w.driver.Click(complete.CompleteButton);
    std::vector<std::string> started;
    for (const auto& s : w.temp.machine().StartedPrograms()) {
      started.push_back((s.launched ? "+" : "-") + s.command_line);
      EXPECT_EQ(s.show, 1);  // a normal window with the focus
    }
    EXPECT_EQ(started, c.started);
    EXPECT_TRUE(w.driver.Ended());
  }
}

TEST(CompletePage, ExitAndCloseEndAtOnceStartingNothing) {
  for (bool by_close_box : {false, true}) {
    Installing w;
    w.Begin();
    w.driver.Advance(100);
    auto& complete = w.Page<CompletePage>();
    if (by_close_box) {
      w.driver.Close(complete);
    } else {
      w.driver.Click(complete.ExitButton);
    }
    EXPECT_TRUE(w.Started().empty());
    EXPECT_TRUE(w.driver.Ended());
    EXPECT_TRUE(w.driver.Messages().empty());
  }
}

}  // namespace
}  // namespace quorvale::setup::testing
