// Uninstall's pages on real windows: the mode page, both confirmations,
// Running before and while its sequence runs, and Complete after each
// mode, captured as build/screenshots/Uninstall/<page>.png, with every
// caption shown whole. The machine holds a control end: damaged for the
// repair, whole for the uninstall.
// Needs an X display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include "panel_machine.h"
#include "program_windows.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"
#include "quorvale/uninstall/repair_program.h"
#include "quorvale/uninstall/running_page.h"
#include "quorvale/uninstall/uninstall_complete_page.h"
#include "quorvale/uninstall/uninstall_welcome_page.h"

namespace quorvale::uninstall {
namespace {

using namespace ui::fltk::testing;
using ui::fltk::RgbImage;

class UninstallWindows : public setup::testing::ProgramWindows {
 protected:
  void Open(const std::string& command_line, bool damaged) {
    StartProgram(RepairProgram::Profile(), {}, command_line, [&](setup::SetupProgram& program) {
      InstallLauncher();
      testing::PrepareForPanel(*temp_);
      const auto site = testing::InstallPanel(*temp_, testing::kInstallFolder, {});
      if (damaged) testing::DamagePanel(*temp_, site);
      program.SetAppPath(testing::kInstallFolder);
    });
  }
  void TearDown() override {
    WaitForPrograms();
    watch_.reset();  // a form: it must go before the application does
    ProgramWindows::TearDown();
  }

  // Running caught while its sequence is past from and short of the end.
  void CatchRunning(int from, const std::string& name) {
    auto& running = program_->Page<RunningPage>();
    caught_ = false;
    watch_ = std::make_unique<setup::testing::Watch>(
        *app_,
        [&running, from, name, this] {
          if (!running.Visible() || running.Loading.Width() < from) return false;
          caught_ = running.Loading.Width() < 6765;
          backend_->Flush();
          ShotOfPage(running, "Uninstall/" + name);
          EXPECT_EQ(CutCaptions(running), std::vector<std::string>{});
          return true;
        },
        1);  // at every turn that polls: a sequence on the test clock is quick
  }
  bool caught_ = false;
  std::unique_ptr<setup::testing::Watch> watch_;

  bool Shown(const ui::Form& page) {
    backend_->Flush();
    return backend_->WindowOf(page) != nullptr && backend_->WindowOf(page)->shown();
  }

  // The program's caption on the window, every caption whole, and the
  // capture checked and saved.
  void CheckPage(const ui::Form& page, const std::string& name) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(Shown(page));
    EXPECT_STREQ(backend_->WindowOf(page)->label(), "Quorvale虚拟主机管理系统v3.0主控端");
    EXPECT_EQ(backend_->WindowOf(page)->w(), ui::fltk::TwipsToPixels(7590) - 6);
    ShotOfPage(page, "Uninstall/" + name);
    EXPECT_EQ(CutCaptions(page), std::vector<std::string>{});
  }

  // The confirmation as the user sees it: captured from inside its loop,
  // then answered OK with Enter.
  struct Question {
    std::string title;
    int buttons = 0;
  };
  void AnswerOkTo(Question& seen, const std::string& name) {
    WhenModalOpens([&seen, name, this](Fl_Window& box) {
      seen.title = box.label() ? box.label() : "";
      for (int i = 0; i < box.children(); ++i)
        seen.buttons += dynamic_cast<Fl_Button*>(box.child(i)) != nullptr;
      const RgbImage shot = ui::FltkBackend::Capture(box).value_or(RgbImage{});
      EXPECT_GT(shot.width, 0) << name;
      // The blue disc of the question icon.
      EXPECT_EQ(PixelAt(shot, 12 + 6, 14 + 16), (Rgb{0, 70, 200})) << name;
      Save(shot, "Uninstall/" + name);
      PressKey(box, FL_Enter);
    });
  }
};

TEST_F(UninstallWindows, RepairFromTheModePageThroughRunningToComplete) {
  if (IsSkipped()) return;
  Open("", true);
  auto& welcome = program_->Page<UninstallWelcomePage>();
  CheckPage(welcome, "Welcome");
  Question seen;
  AnswerOkTo(seen, "RepairQuestion");
  ASSERT_TRUE(ui::input::Click(*app_, welcome.NextButton));
  EXPECT_EQ(seen.title, "修复");
  EXPECT_EQ(seen.buttons, 2);  // 确定, 取消
  auto& running = program_->Page<RunningPage>();
  EXPECT_FALSE(Shown(welcome));
  EXPECT_EQ(running.TypeTitle.Caption(), "正在修复");
  CheckPage(running, "Running");
  // While the components are written, byte by byte.
  CatchRunning(4000, "Running-repairing");
  auto& complete = program_->Page<UninstallCompletePage>();
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  EXPECT_TRUE(caught_) << "Running was not caught mid-run";
  ASSERT_FALSE(running.SetupList.Items().empty());
  EXPECT_EQ(running.SetupList.Items().back(), "主控端修复完毕...");
  EXPECT_FALSE(Shown(running));
  EXPECT_EQ(complete.Label1.Caption(), "恭喜，软件修复成功！");
  CheckPage(complete, "Complete");
  backend_->Post([&] { ui::input::Click(*app_, complete.CompleteButton); });
  backend_->RunUntilEnd(*app_);
  EXPECT_TRUE(app_->Ended());
}

TEST_F(UninstallWindows, UninstallFromTheCommandLineThroughRunningToComplete) {
  if (IsSkipped()) return;
  Question seen;
  AnswerOkTo(seen, "UninstallQuestion");
  Open("-delete", false);
  EXPECT_EQ(seen.title, "卸载");
  EXPECT_EQ(seen.buttons, 2);
  auto& running = program_->Page<RunningPage>();
  EXPECT_FALSE(Shown(program_->Page<UninstallWelcomePage>()));
  EXPECT_EQ(running.TypeTitle.Caption(), "正在卸载");
  CheckPage(running, "RunningUninstall");
  // While the database goes.
  CatchRunning(1200, "Running-uninstalling");
  auto& complete = program_->Page<UninstallCompletePage>();
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  EXPECT_TRUE(caught_) << "Running was not caught mid-run";
  ASSERT_FALSE(running.SetupList.Items().empty());
  EXPECT_EQ(running.SetupList.Items().back(), "正在更新注册表...");
  EXPECT_EQ(complete.Label1.Caption(), "恭喜，软件卸载成功！");
  CheckPage(complete, "CompleteUninstall");
}

}  // namespace
}  // namespace quorvale::uninstall
