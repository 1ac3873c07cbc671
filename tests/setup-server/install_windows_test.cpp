// Server's installation on real windows, its programs running on the
// machine: the progress page captured while the payload is written and at
// the end (build/screenshots/InstallMidRun.png, Install.png) with the bar
// where its width puts it, and the time from the last page's Next to
// Complete on the real clock. Needs an X display; skips without one unless
// QUORVALE_REQUIRE_DISPLAY=1.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>

#include "quorvale/machine/clock.h"
#include "quorvale/programs/launch.h"
#include "quorvale/server/script_page.h"
#include "quorvale/server/serv_u_page.h"
#include "quorvale/server/server_end.h"
#include "quorvale/server/service_page.h"
#include "quorvale/server/sql_server_page.h"
#include "quorvale/setup/agreement_page.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/install_page.h"
#include "quorvale/setup/welcome_page.h"
#include "quorvale/ui/user_input.h"
#include "server_windows.h"

namespace quorvale::server {
namespace {

using namespace ui::fltk::testing;
using ui::fltk::BoxToPixels;
using ui::fltk::RgbImage;

// A form of the test's own whose timer looks at the progress page while
// the sequence lets the message loop run.
class Watcher : public ui::Form {
 public:
  explicit Watcher(ui::Application& app) : Form(app, "Watcher") {
    Timer.SetInterval(10);
    Timer.OnTimer([this] {
      if (tick) tick();
    });
  }
  ui::Timer Timer{*this, "Timer"};
  std::function<void()> tick;
};

class InstallWindows : public testing::ServerWindows {
 protected:
  void SetUp() override {
    ServerWindows::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    InstallLauncher();
  }
  void TearDown() override {
    WaitForPrograms();
    ProgramWindows::TearDown();
  }

  setup::InstallPage& Install() { return program_->Page<setup::InstallPage>(); }

  // Welcome to the SQLServer page with the Service page's defaults less
  // MySQL and no mail server: the last page before the installation.
  SQLServerPage& WalkToTheLastPage() {
    auto click = [&](ui::Control& c) { ASSERT_TRUE(ui::input::Click(*app_, c)) << c.Name(); };
    click(program_->Page<setup::WelcomePage>().NextButton);
    click(program_->Page<setup::AgreementPage>().AgreeButton);
    auto& service = program_->Page<ServicePage>();
    click(service.MySQL);
    click(service.NextButton);
    click(program_->Page<setup::DirectoryPage>().NextButton);
    click(program_->Page<ServUPage>().NextButton);
    click(program_->Page<ScriptPage>().NextButton);
    auto& sql = program_->Page<SQLServerPage>();
    EXPECT_TRUE(ui::input::Type(*app_, sql.MSSQLPassWord, "Sa2000"));
    backend_->Flush();
    return sql;
  }

  // The red bar covers exactly the pixels its width in twips puts it on,
  // and the grey track shows beyond it.
  void ExpectBarAt(const RgbImage& shot, int width) {
    const auto bar = BoxToPixels(390, 1740, width, 375), track = BoxToPixels(390, 1740, 6765, 375);
    const int row = bar.y + bar.h / 2;
    EXPECT_EQ(CountOnRow(shot, row, {255, 0, 0}), bar.w) << width;
    EXPECT_EQ(PixelAt(shot, bar.x, row), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(shot, bar.x + bar.w - 1, row), (Rgb{255, 0, 0}));
    if (bar.w < track.w - 1) {
      EXPECT_EQ(PixelAt(shot, bar.x + bar.w, row), (Rgb{128, 128, 128})) << width;
    }
  }
};

TEST_F(InstallWindows, TheProgressPageMidRunAndAtTheEnd) {
  auto& install = Install();
  Watcher watcher(*app_);
  app_->RunEvent([&] {
    watcher.Load();
    watcher.Timer.SetEnabled(true);
  });
  int mid_width = 0;
  watcher.tick = [&] {
    const int width = install.Loading.Width();
    // Halfway through writing the archive, before the unpacker is written.
    if (mid_width || !install.Visible() || width < 1200 || width > 2300) return;
    mid_width = width;
    backend_->Flush();
    ExpectBarAt(ShotOfPage(install, "InstallMidRun"), width);
    EXPECT_EQ(install.StateCaption.Caption(), "正在释放安装程序包...");
  };
  ASSERT_TRUE(ui::input::Click(*app_, WalkToTheLastPage().NextButton));
  ASSERT_TRUE(RunUntil([&] { return program_->Page<setup::CompletePage>().Visible(); }));
  watcher.tick = nullptr;
  EXPECT_GT(mid_width, 0) << "the watcher never saw the archive being written";

  // The page as the sequence left it, shown again.
  ShowOnly(install);
  EXPECT_EQ(install.StateCaption.Caption(), "安装完毕...");
  const RgbImage end = ShotOfPage(install, "Install");
  ExpectBarAt(end, 6765);
  EXPECT_EQ(CutCaptions(install), std::vector<std::string>{});
}

// The same installation on the real clock: the waits for the unpacked
// files are real, the programs run beside the sequence.
TEST_F(InstallWindows, OnTheRealClockFromTheLastNextToComplete) {
  UseTestClock(false);
  SQLServerPage& last = WalkToTheLastPage();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(ui::input::Click(*app_, last.NextButton));
  bool complete = false;
  for (int i = 0; i < 12 && !complete; ++i)
    complete = RunUntil([&] { return program_->Page<setup::CompletePage>().Visible(); });
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(complete);
  EXPECT_EQ(Install().Loading.Width(), 6765);
  EXPECT_EQ(Install().SetupList.ListCount(), 10);
  RecordProperty("install_ms", static_cast<int>(ms));
  std::cout << "[ real clock ] from the last page's Next to Complete: " << ms << " ms\n";
}

}  // namespace
}  // namespace quorvale::server
