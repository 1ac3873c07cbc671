#include <gtest/gtest.h>

#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

// A wizard on its Directory page, one click away from the progress page.
struct Installing : Wizard {
  Installing() {
    program.to_install = true;
    Start();
    auto& dir = Page<DirectoryPage>();
    driver.Run([&] { program.SwitchPage(Page<Welcome>(), dir, &dir.Directory); });
  }
  Install& Begin() {
    driver.Click(Page<DirectoryPage>().NextButton);
    return Page<Install>();
  }
};

TEST(ProgressPage, StartsItsSequenceOnTheFirstTickAndEndsOnComplete) {
  Installing w;
  std::vector<std::string> captions;
  w.program.sequence = [&](Install& p) {
    p.ReportStep("正在复制文件...", 1000);
    captions.push_back(p.StateCaption.Caption());
    p.ReportStep("正在创建目录...", "正在创建目录: C:\\Program Files\\Quorvale\\被控端", 2000, [] {});
    captions.push_back(p.StateCaption.Caption());
    p.ReportStep("正在注册组件...", 3000, [&] { p.SequenceErr().Raise(53, "File not found"); });
    EXPECT_FALSE(p.CheckStep("注册组件失败..."));
    EXPECT_TRUE(p.CheckStep("不会出现..."));
    p.ReportStep("正在完成...", kBarFull);
  };
  Install& install = w.Begin();
  EXPECT_EQ(install.StateCaption.Caption(), "正在准备安装...");
  EXPECT_EQ(install.Loading.Width(), kBarStart);
  EXPECT_TRUE(install.Timer.Enabled());
  EXPECT_EQ(w.program.sequence_runs, 0);
  w.driver.Advance(99);
  EXPECT_EQ(w.program.sequence_runs, 0);
  w.driver.Advance(1);
  EXPECT_EQ(w.program.sequence_runs, 1);
  EXPECT_EQ(captions, (std::vector<std::string>{"正在复制文件...", "正在创建目录..."}));
  EXPECT_EQ(install.SetupList.Items(),
            (std::vector<std::string>{"正在复制文件...", "正在创建目录: C:\\Program Files\\Quorvale\\被控端",
                                      "正在注册组件...", "注册组件失败...", "正在完成..."}));
  EXPECT_EQ(install.StateCaption.Caption(), "安装完毕...");
  EXPECT_EQ(install.Loading.Width(), kBarFull);
  EXPECT_EQ(install.Loading.Width(), install.Label4.Width());
  EXPECT_FALSE(install.Timer.Enabled());
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_FALSE(w.driver.App().Unhandled().has_value());
}

TEST(ProgressPage, BarTrackAndListStandWhereThePageSays) {
  Installing w;
  Install& p = w.Page<Install>();
  struct Case {
    ui::Control& c;
    int left, top, width, height;
  };
  for (const Case& c : std::vector<Case>{{p.StateCaption, 390, 1200, 6765, 255},
                                         {p.Label4, 390, 1740, 6765, 375},
                                         {p.Loading, 390, 1740, 15, 375},
                                         {p.SetupList, 360, 2490, 6825, 1860}}) {
    SCOPED_TRACE(c.c.Name());
    EXPECT_EQ(c.c.Left(), c.left);
    EXPECT_EQ(c.c.Top(), c.top);
    EXPECT_EQ(c.c.Width(), c.width);
    EXPECT_EQ(c.c.Height(), c.height);
  }
  EXPECT_EQ(p.Loading.BackColor(), 0x000000FFu);
  EXPECT_EQ(p.Label4.BackColor(), 0x00808080u);
  EXPECT_FALSE(p.CancelButton.Enabled());
  EXPECT_EQ(p.Timer.Interval(), 100);
}

TEST(ProgressPage, RunsItsSequenceOnceWhenTheTimerComesDueInsideIt) {
  Installing w;
  int steps = 0, nested = 0;
  w.program.sequence = [&](Install& p) {
    if (nested > 0) {  // a second run inside the first: the fault; stop the timer so it ends
      p.Timer.SetEnabled(false);
      return;
    }
    ++nested;
    for (int i = 1; i <= 20; ++i) {
      p.ReportStep("第" + std::to_string(i) + "步", i * 300);
      ++steps;
    }
    --nested;
  };
  // Every DoEvents takes 250 ms: the 100 ms timer is due at each of them.
  w.driver.Backend().SetPumpStep(250);
  w.Begin();
  w.driver.Advance(100);
  w.driver.Advance(5000);
  EXPECT_EQ(w.program.sequence_runs, 1);
  EXPECT_EQ(steps, 20);
  EXPECT_EQ(w.Page<Install>().SetupList.ListCount(), 20);
}

TEST(ProgressPage, CannotBeClosedWhileTheSequenceRuns) {
  Installing w;
  Install* seen = nullptr;
  w.program.sequence = [&](Install& p) {
    seen = &p;
    w.driver.PostClose(p);
    w.driver.PostClick(p.CancelButton);  // disabled: dropped
    p.ReportStep("正在复制文件...", 1000);
    EXPECT_TRUE(p.Visible());
  };
  Install& install = w.Begin();
  w.driver.Close(install);
  EXPECT_TRUE(install.Visible());
  w.driver.Advance(100);
  EXPECT_EQ(seen, &install);
  EXPECT_TRUE(w.driver.Messages().empty());
  EXPECT_FALSE(w.driver.Ended());
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Complete"});
}

TEST(CompletePage, StartsWhatIsCheckedAndEnds) {
  struct Case {
    const char* name;
    int run, read_me;
    bool console_present;
    std::vector<std::string> started;
  };
  const std::string console = "C:\\Program Files\\Quorvale\\被控端\\Quorvale.exe";
  const std::string read_me = "notepad.exe C:\\Program Files\\Quorvale\\被控端\\说明.txt";
  const std::vector<Case> cases = {
      {"both", 1, 1, true, {console, read_me}},
      {"console missing", 1, 1, false, {console, read_me}},
      {"read-me only", 0, 1, true, {read_me}},
      {"console only", 1, 0, true, {console}},
      {"nothing", 0, 0, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Installing w;
    if (c.console_present) w.machine.files.insert(console);
    w.Begin();
    w.driver.Advance(100);
    auto& complete = w.Page<Complete>();
    EXPECT_EQ(complete.Run.Value(), 1);
    EXPECT_EQ(complete.ReadMe.Value(), 1);
    if (!c.run) w.driver.Click(complete.Run);
    if (!c.read_me) w.driver.Click(complete.ReadMe);
    w.driver.Click(complete.CompleteButton);
    EXPECT_EQ(w.machine.started, c.started);
    EXPECT_TRUE(w.driver.Ended());
  }
}

TEST(CompletePage, ExitAndCloseEndAtOnceStartingNothing) {
  for (bool by_close_box : {false, true}) {
    Installing w;
    w.Begin();
    w.driver.Advance(100);
    auto& complete = w.Page<Complete>();
    if (by_close_box) {
      w.driver.Close(complete);
    } else {
      w.driver.Click(complete.ExitButton);
    }
    EXPECT_TRUE(w.machine.started.empty());
    EXPECT_TRUE(w.driver.Ended());
    EXPECT_TRUE(w.driver.Messages().empty());
  }
}

}  // namespace
}  // namespace quorvale::setup::testing
