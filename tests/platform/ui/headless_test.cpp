#include "quorvale/ui/headless.h"

#include <gtest/gtest.h>

namespace quorvale::ui {
namespace {

class Page : public Form {
 public:
  explicit Page(Application& app, std::string name = "Page") : Form(app, std::move(name)) {
    Tick.SetInterval(100);
    Tick.SetEnabled(false);
    Tick.OnTimer([this] {
      ++ticks;
      if (pump_in_tick) DoEvents();
    });
    Go.OnClick([this] { ++clicks; });
  }
  using Form::MsgBox;
  int ticks = 0, clicks = 0;
  bool pump_in_tick = false;
  Timer Tick{*this, "Timer"};
  CommandButton Go{*this, "Go"};
};

TEST(HeadlessTest, MessageBoxesAreRecordedAndAnsweredInTurn) {
  HeadlessDriver driver;
  Page page(driver.App());
  driver.Start(page);
  driver.Answer(MsgResult::Cancel);
  driver.Answer(MsgResult::Yes);  // no Yes button on an OK box: not taken
  std::vector<MsgResult> got;
  driver.Run([&] {
    got.push_back(page.MsgBox("问题", MsgButtons::OKCancel, MsgIcon::Question, "安装"));
    got.push_back(page.MsgBox("失败", MsgButtons::OK, MsgIcon::Critical, "错误"));
    got.push_back(page.MsgBox("没有回答", MsgButtons::YesNo, MsgIcon::None, ""));
  });
  EXPECT_EQ(got, (std::vector<MsgResult>{MsgResult::Cancel, MsgResult::OK, MsgResult::Yes}));
  const auto& m = driver.Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].request.prompt, "问题");
  EXPECT_EQ(m[0].request.title, "安装");
  EXPECT_EQ(m[0].request.icon, MsgIcon::Question);
  EXPECT_EQ(m[0].request.buttons, MsgButtons::OKCancel);
  EXPECT_EQ(m[0].request.owner, "Page");
  EXPECT_TRUE(m[0].answered);
  EXPECT_FALSE(m[1].answered);
  EXPECT_EQ(m[1].request.icon, MsgIcon::Critical);
  EXPECT_FALSE(m[2].answered);
}

TEST(HeadlessTest, DialogsAnswerInTurnAndCancelWhenNothingIsQueued) {
  HeadlessDriver driver;
  Page page(driver.App());
  driver.Start(page);
  driver.AnswerFolder("D:\\Apps");
  driver.AnswerFile(std::nullopt);
  auto& app = driver.App();
  EXPECT_EQ(app.BrowseForFolder(&page, "请选择", 1), "D:\\Apps");
  EXPECT_EQ(app.BrowseForFolder(&page, "again", 1), std::nullopt);
  FileRequest file{"Page", {{"Serv-U 配置文件 (ServUDaemon.ini)", "ServUDaemon.ini"}}, "标题", "C:\\", 0};
  EXPECT_EQ(app.OpenFile(file), std::nullopt);
  ASSERT_EQ(driver.Backend().FolderRequests().size(), 2u);
  EXPECT_EQ(driver.Backend().FolderRequests()[0].title, "请选择");
  EXPECT_EQ(driver.Backend().FolderRequests()[0].flags, 1u);
  ASSERT_EQ(driver.Backend().FileRequests().size(), 1u);
  EXPECT_EQ(driver.Backend().FileRequests()[0].filter[0].second, "ServUDaemon.ini");
}

TEST(HeadlessTest, TimersFireAtTheirIntervalOnlyWhileEnabledAndLoaded) {
  HeadlessDriver driver;
  Page page(driver.App());
  Page other(driver.App(), "Other");
  other.Tick.SetEnabled(true);  // on a form never loaded: never fires
  driver.Start(page);
  driver.Advance(1000);
  EXPECT_EQ(page.ticks, 0);
  page.Tick.SetEnabled(true);
  driver.Advance(99);
  EXPECT_EQ(page.ticks, 0);
  driver.Advance(1);
  EXPECT_EQ(page.ticks, 1);
  driver.Advance(350);
  EXPECT_EQ(page.ticks, 4);
  page.Tick.SetInterval(0);
  driver.Advance(1000);
  EXPECT_EQ(page.ticks, 4);
  EXPECT_EQ(other.ticks, 0);
}

TEST(HeadlessTest, ATimerComesDueAgainInsideItsOwnHandler) {
  HeadlessDriver driver;
  Page page(driver.App());
  driver.Start(page);
  page.Tick.SetEnabled(true);
  page.pump_in_tick = true;
  driver.Backend().SetPumpStep(60);
  driver.Advance(100);
  // The pump inside the tick moved the clock to 160: not yet due again.
  EXPECT_EQ(page.ticks, 1);
  page.Tick.OnTimer([&] {
    ++page.ticks;
    if (page.ticks < 5) {
      driver.App().DoEvents();
      driver.App().DoEvents();
    }
  });
  driver.Advance(200);
  EXPECT_GE(page.ticks, 3);  // re-entered while the first handler ran
}

TEST(HeadlessTest, PostedInputArrivesAtTheNextDoEventsOrIsDropped) {
  HeadlessDriver driver;
  Page page(driver.App());
  driver.Start(page);
  driver.PostClick(page.Go);
  EXPECT_EQ(page.clicks, 0);
  driver.Run([&] { driver.App().DoEvents(); });
  EXPECT_EQ(page.clicks, 1);
  driver.PostClick(page.Go);
  page.Go.SetEnabled(false);
  driver.Advance(0);
  EXPECT_EQ(page.clicks, 1);
  EXPECT_THROW(driver.Click(page.Go), DriverError);
  page.Go.SetEnabled(true);
  page.Go.SetVisible(false);
  EXPECT_THROW(driver.Click(page.Go), DriverError);
}

TEST(HeadlessTest, LogShowsWhatWasShownAndTheEnd) {
  HeadlessDriver driver;
  Page a(driver.App(), "A");
  Page b(driver.App(), "B");
  driver.Start(a);
  driver.Run([&] {
    b.Show();
    a.Hide();
    driver.App().End();
  });
  EXPECT_EQ(driver.Backend().Log(),
            (std::vector<std::string>{"show A", "show B", "hide A", "hide B", "end"}));
  EXPECT_FALSE(b.Visible());
  EXPECT_FALSE(b.Loaded());
}

}  // namespace
}  // namespace quorvale::ui
