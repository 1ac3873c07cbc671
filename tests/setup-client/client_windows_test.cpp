// Client's pages on real windows: each captured as
// build/screenshots/Client/<page>.png, with every label's caption shown
// whole. Needs an X display; skips without one unless
// QUORVALE_REQUIRE_DISPLAY=1.
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "program_windows.h"
#include "quorvale/client/client_end.h"
#include "quorvale/client/data_base_page.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/machine/clock.h"
#include "quorvale/programs/launch.h"
#include "quorvale/setup/agreement_page.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/install_page.h"
#include "quorvale/setup/welcome_page.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"

namespace quorvale::client {
namespace {

using namespace ui::fltk::testing;
using setup::testing::Watch;
using ui::fltk::RgbImage;

class ClientWindows : public setup::testing::ProgramWindows {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    StartProgram(ClientEnd::Profile());
  }

  // The page alone on the screen, captured, with every caption whole.
  void Look(ui::Form& page, const std::string& name) {
    SCOPED_TRACE(name);
    ShowOnly(page);
    Fl_Window* window = backend_->WindowOf(page);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->label(), "Quorvale虚拟主机管理系统v3.0主控端");
    EXPECT_EQ(window->w(), ui::fltk::TwipsToPixels(7590) - 6);
    ShotOfPage(page, "Client/" + name);
    EXPECT_EQ(CutCaptions(page), std::vector<std::string>{});
  }
};

TEST_F(ClientWindows, EveryPageShowsEveryCaptionWhole) {
  ASSERT_TRUE(program_->Page<setup::WelcomePage>().Visible());
  Look(program_->Page<setup::WelcomePage>(), "Welcome");
  Look(program_->Page<setup::DirectoryPage>(), "Directory");
  Look(program_->Page<DomainPage>(), "Domain");
  Look(program_->Page<setup::CompletePage>(), "Complete");
  // The folder box shows the control end's default folder.
  auto* box = static_cast<Fl_Input*>(backend_->WidgetOf(program_->Page<setup::DirectoryPage>().Directory));
  ASSERT_NE(box, nullptr);
  EXPECT_STREQ(box->value(), "C:\\Program Files\\Quorvale\\主控端");
}

TEST_F(ClientWindows, DataBaseShowsTheServerBoxesOnlyForSqlServer) {
  auto& page = program_->Page<DataBasePage>();
  Look(page, "DataBase");
  const RgbImage access = Shot(page);
  // The frames with their boxes, where Access leaves the page empty.
  ASSERT_TRUE(ui::input::Click(*app_, page.SQLServer));
  ASSERT_TRUE(ui::input::Type(*app_, page.MSSQLPassWord, "Sa2000"));
  Look(page, "DataBase-SQLServer");
  const RgbImage sql = Shot(page);
  const int top = ui::fltk::TwipsToPixels(2670), height = ui::fltk::TwipsToPixels(1785);
  constexpr Rgb kFace{212, 208, 200};
  EXPECT_LT(CountOther(Crop(access, 0, top, access.width, height), kFace), 50u);
  EXPECT_GT(CountOther(Crop(sql, 0, top, sql.width, height), kFace), 2000u);
  const auto* password = static_cast<Fl_Input*>(backend_->WidgetOf(page.MSSQLPassWord));
  const Fl_Widget* server = backend_->WidgetOf(page.MSSQLServer);
  ASSERT_NE(password, nullptr);
  ASSERT_NE(server, nullptr);
  EXPECT_STREQ(password->value(), "******");
  EXPECT_STREQ(server->tooltip(), "MSSQL数据库服务器");
}

// The user's walk with Access to Domain's install button; the progress
// page is shown and its timer not fired yet.
class ClientInstallWindows : public ClientWindows {
 protected:
  void SetUp() override {
    ClientWindows::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    InstallLauncher();
    ASSERT_TRUE(ui::input::Click(*app_, program_->Page<setup::WelcomePage>().NextButton));
    ASSERT_TRUE(ui::input::Click(*app_, program_->Page<setup::AgreementPage>().AgreeButton));
    ASSERT_TRUE(ui::input::Click(*app_, program_->Page<DataBasePage>().NextButton));
    ASSERT_TRUE(ui::input::Click(*app_, program_->Page<setup::DirectoryPage>().NextButton));
    ASSERT_TRUE(ui::input::Type(*app_, program_->Page<DomainPage>().Domain, "panel.quorvale.cn"));
  }
  void TearDown() override {
    WaitForPrograms();
    ClientWindows::TearDown();
  }
  void PressInstall() { ASSERT_TRUE(ui::input::Click(*app_, program_->Page<DomainPage>().NextButton)); }
  bool Installed() {
    return temp_->Exists("C:\\WINDOWS\\system32\\Quorvale.dll") &&
           temp_->Exists("C:\\WINDOWS\\system32\\Jmail.dll") &&
           temp_->Exists("C:\\Program Files\\Quorvale\\主控端\\Uninstall.ini") &&
           !temp_->Exists("C:\\Program Files\\Quorvale\\主控端\\Quorvale.rar");
  }
};

// The progress page while the payload is written and once the install is
// done, captured as Client/Install-running.png and Client/Install.png.
TEST_F(ClientInstallWindows, TheProgressPageWhileRunningAndAtTheEnd) {
  auto& install = program_->Page<setup::InstallPage>();
  auto& complete = program_->Page<setup::CompletePage>();
  // The unpacker, running beside the install, is done by the install's
  // first wait for a file (the test clock does not wait for it).
  AtMoment(0, [] { WaitForPrograms(); });
  struct Running {
    int width = 0;
    std::size_t lines = 0;
    std::string caption;
  } running;
  // Looks at the page every 10 ms of the loop's turns, until it has caught
  // the bar past 1500.
  Watch watch(*app_, [&] {
    if (!install.Visible() || install.Loading.Width() < 1500) return false;
    running = {install.Loading.Width(), install.SetupList.Items().size(), install.StateCaption.Caption()};
    backend_->Flush();
    ShotOfPage(install, "Client/Install-running");
    EXPECT_EQ(CutCaptions(install), std::vector<std::string>{});
    return true;
  });
  PressInstall();
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  EXPECT_GE(running.width, 1500);
  EXPECT_LT(running.width, 6765);
  EXPECT_GE(running.lines, 3u);
  EXPECT_NE(running.caption, "安装完毕...");
  EXPECT_TRUE(Installed());

  EXPECT_EQ(install.StateCaption.Caption(), "安装完毕...");
  EXPECT_EQ(install.Loading.Width(), 6765);
  ASSERT_FALSE(install.SetupList.Items().empty());
  EXPECT_EQ(install.SetupList.Items().back(), "正在配置反安装系统...");
  ShowOnly(install);
  const RgbImage done = ShotOfPage(install, "Client/Install");
  EXPECT_EQ(CutCaptions(install), std::vector<std::string>{});
  // The bar fills its track: red from the track's left edge to its right.
  const int y = ui::fltk::TwipsToPixels(1740 + 375 / 2);
  EXPECT_EQ(PixelAt(done, ui::fltk::TwipsToPixels(390) + 2, y), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(done, ui::fltk::TwipsToPixels(390 + 6765) - 3, y), (Rgb{255, 0, 0}));
  Look(complete, "Complete-installed");
}

// An install that did not happen (a folder too long for Windows paths, set
// past the Directory page): Complete says so, whole, without its box;
// captured as Client/Complete-failed.png, with the list's last line on
// Client/Install-failed.png.
TEST_F(ClientInstallWindows, AnInstallThatDidNotHappenEndsOnTheFailurePage) {
  auto& install = program_->Page<setup::InstallPage>();
  auto& complete = program_->Page<setup::CompletePage>();
  std::string folder = "C:\\Quorvale";
  while (folder.size() < 300) folder += "\\abcdefghijklmnopqrstuvwxyz";
  app_->RunEvent([&] { program_->Page<setup::DirectoryPage>().Directory.SetText(folder); });
  AtMoment(0, [] { WaitForPrograms(); });
  PressInstall();
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  EXPECT_EQ(install.SetupList.Items().back().rfind("安装失败，缺少：Uninstall.exe、", 0), 0u);
  ShowOnly(install);
  ShotOfPage(install, "Client/Install-failed");
  EXPECT_EQ(complete.Label1.Caption(), "安装失败！");
  EXPECT_FALSE(complete.ReadMe.Visible());
  Look(complete, "Complete-failed");
}

// On the real clock the unpacker really runs beside the install, and the
// install's waits for its files really wait. Prints how long the install
// took from the install button to Complete.
TEST_F(ClientInstallWindows, OnTheRealClockTheInstallWaitsForTheUnpacker) {
  UseTestClock(false);
  auto& complete = program_->Page<setup::CompletePage>();
  const auto start = std::chrono::steady_clock::now();
  PressInstall();
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  std::cout << "install button to Complete on the real clock: " << ms << " ms\n";
  RecordProperty("install_ms", static_cast<int>(ms));
  WaitForPrograms();
  EXPECT_TRUE(Installed());
  EXPECT_EQ(program_->Page<setup::InstallPage>().SetupList.Items().size(), 16u);
}

}  // namespace
}  // namespace quorvale::client
