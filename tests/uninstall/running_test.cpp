// Running: the mode's captions, its timer, the sequence of the mode ending
// on Complete, and the helper procedures it offers the sequences.
#include <gtest/gtest.h>

#include "panel_machine.h"
#include "quorvale/machine/clock.h"
#include "quorvale/win32/win32.h"

namespace quorvale::uninstall {
namespace {

using testing::PanelMachine;
using testing::UninstallRun;

struct ModeCase {
  const char* line;
  const char *title, *info, *state;
  const char* final_text;
  const char *complete_title, *complete_message;
};

const ModeCase kModes[] = {
    {"-modify", "正在修复", "正在将Quorvale虚拟主机管理系统修复到原始状态。", "正在准备修复...",
     "主控端修复完毕...", "恭喜，软件修复成功！", "您已成功修复Quorvale虚拟主机管理系统v3.0 主控端。"},
    {"-delete", "正在卸载", "正在将Quorvale虚拟主机管理系统从您的电脑中卸载。", "正在准备卸载...",
     "正在更新注册表...", "恭喜，软件卸载成功！", "您已成功卸载Quorvale虚拟主机管理系统v3.0 主控端。"},
};

TEST(UninstallRunning, ShowsTheModesCaptionsThenRunsItsSequenceOnTheFirstTick) {
  for (const auto& m : kModes) {
    SCOPED_TRACE(m.line);
    PanelMachine run;
    run.Install({.sql_server = false});
    run.driver.Answer(ui::MsgResult::OK);
    run.Start(m.line);
    auto& r = run.running();
    ASSERT_TRUE(r.Visible());
    EXPECT_EQ(r.Caption(), "Quorvale虚拟主机管理系统v3.0主控端");
    EXPECT_EQ(r.Icon(), run.welcome().Icon());
    EXPECT_EQ(r.TypeTitle.Caption(), m.title);
    EXPECT_EQ(r.TypeInfo.Caption(), m.info);
    EXPECT_EQ(r.StateCaption.Caption(), m.state);
    EXPECT_EQ(r.Loading.Width(), 15);
    EXPECT_EQ(r.Timer.Interval(), 100);
    EXPECT_TRUE(r.Timer.Enabled());
    EXPECT_EQ(r.CancelButton.Caption(), "取消(&C)");
    // Cancel can be pressed but does nothing; the close box is refused.
    run.driver.Click(r.CancelButton);
    run.driver.Close(r);
    EXPECT_TRUE(r.Visible());
    EXPECT_FALSE(run.driver.Ended());
    EXPECT_EQ(run.driver.Messages().size(), 1u);

    run.driver.Advance(99);
    EXPECT_FALSE(run.complete().Loaded());
    run.driver.Advance(1);
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
    EXPECT_FALSE(r.Timer.Enabled());
    EXPECT_EQ(r.Loading.Width(), 6765);
    EXPECT_EQ(r.StateCaption.Caption(), m.final_text);
    auto& c = run.complete();
    EXPECT_EQ(c.Caption(), "Quorvale虚拟主机管理系统v3.0主控端");
    EXPECT_EQ(c.Icon(), run.welcome().Icon());
    EXPECT_EQ(c.Label1.Caption(), m.complete_title);
    EXPECT_EQ(c.Label2.Caption(), m.complete_message);
    EXPECT_EQ(c.Label3.Caption(), "单击“完成”关闭此向导。");
    EXPECT_EQ(c.CompleteButton.Caption(), "完成(&C) >");
    EXPECT_EQ(c.ExitButton.Caption(), "退出(&C)");
    // Welcome stays loaded, hidden, holding the mode.
    EXPECT_TRUE(run.welcome().Loaded());
    EXPECT_FALSE(run.welcome().Visible());
  }
}

constexpr const char* kFile = "C:\\WINDOWS\\system32\\DodIde.dll";

TEST(UninstallRunning, WaitsForFilesTenTimesASecondApart) {
  enum Arrange { kNever, kAppearsAt3s, kPresent, kHeld, kReleasedAt2500 };
  struct Case {
    const char* name;
    bool sleep;  // SleepFile, else ToDeleteFile
    Arrange arrange;
    const char* file;
    bool result;
    std::uint64_t moment;  // virtual ms at the answer
  } cases[] = {
      {"SleepFile, appears after 3 s: the fourth round", true, kAppearsAt3s, kFile, true, 3000},
      {"SleepFile, never", true, kNever, kFile, false, 10000},
      {"SleepFile, empty name", true, kNever, "", false, 0},
      {"ToDeleteFile, goes at once", false, kPresent, kFile, true, 1000},
      {"ToDeleteFile, missing", false, kNever, kFile, false, 0},
      {"ToDeleteFile, held throughout", false, kHeld, kFile, false, 10000},
      {"ToDeleteFile, let go after 2.5 s", false, kReleasedAt2500, kFile, true, 4000},
      {"ToDeleteFile, empty name", false, kPresent, "", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UninstallRun run;
    FileHold hold;
    if (c.arrange == kAppearsAt3s) AtMoment(3000, [&] { run.temp.Write(kFile, "dll"); });
    if (c.arrange == kPresent || c.arrange == kHeld || c.arrange == kReleasedAt2500)
      run.temp.Write(kFile, "dll");
    if (c.arrange == kHeld || c.arrange == kReleasedAt2500)
      hold = run.temp.machine().Hold(run.temp.machine().Resolve(kFile).long_path, "regsvr32.exe");
    if (c.arrange == kReleasedAt2500) AtMoment(2500, [&] { hold.Release(); });
    RunningPage& r = run.running();
    EXPECT_EQ(c.sleep ? r.SleepFile(c.file) : r.ToDeleteFile(c.file), c.result);
    EXPECT_EQ(ClockNow(), c.moment);
  }
}

TEST(UninstallRunning, CutTakesWhatLiesBetweenHeadAndBot) {
  struct Case {
    const char *content, *head, *bot, *cut;
  } cases[] = {
      {"DBType = \"SQL\"", "DBType = \"", "\"", ""},  // the first quote is the head's own
      {"<a>中文</a>", "<a>", "</a>", "中文"},
      {"key=value;next", "key=", ";", "value"},
      {"[x][y]", "[", "]", "x"},
      {"headbot", "head", "bot", ""},
      {"no head here;", "key=", ";", ""},
      {"key=no bot", "key=", ";", ""},
      {";key=value", "key=", ";", ""},  // the first bot lies before the head
      {"", "a", "b", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    EXPECT_EQ(RunningPage::Cut(c.content, c.head, c.bot), c.cut);
  }
}

}  // namespace
}  // namespace quorvale::uninstall
