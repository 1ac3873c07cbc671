// Server's pages on real windows: each page captured as
// build/screenshots/<page>.png, with every label's caption shown whole.
// Needs an X display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include "program_windows.h"
#include "quorvale/server/server_end.h"
#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/program.h"
#include "quorvale/setup/progress.h"
#include "quorvale/setup/welcome.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"

namespace quorvale::server {
namespace {

using namespace ui::fltk::testing;
using ui::fltk::RgbImage;

class ServerWindows : public setup::testing::ProgramWindows {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    StartProgram(ServerEnd::Profile());
  }
};

TEST_F(ServerWindows, EveryPageShowsEveryCaptionWhole) {
  auto& welcome = program_->Page<setup::Welcome>();
  ASSERT_TRUE(welcome.Visible());
  struct Shown {
    const char* name;
    ui::Form& page;
  } pages[] = {
      {"Welcome", welcome},
      {"Agreement", program_->Page<setup::Agreement>()},
      {"Directory", program_->Page<setup::DirectoryPage>()},
      {"Install", program_->Page<setup::Install>()},
      {"Complete", program_->Page<setup::Complete>()},
  };
  for (const auto& p : pages) {
    SCOPED_TRACE(p.name);
    ShowOnly(p.page);
    Fl_Window* window = backend_->WindowOf(p.page);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->label(), "Quorvale虚拟主机管理系统v3.0被控端");
    EXPECT_EQ(window->w(), ui::fltk::TwipsToPixels(7590) - 6);
    ShotOfPage(p.page, p.name);
    EXPECT_EQ(CutCaptions(p.page), std::vector<std::string>{});
  }
  // The folder box shows the default folder and cannot be typed into.
  auto& directory = program_->Page<setup::DirectoryPage>();
  auto* box = static_cast<Fl_Input*>(backend_->WidgetOf(directory.Directory));
  EXPECT_STREQ(box->value(), "C:\\Program Files\\Quorvale\\被控端");
  EXPECT_TRUE(box->readonly());
}

// The user's walk through the real windows: one page on the screen at a
// time, the progress page running on its timer into Complete, and Exit
// ending the program's loop.
TEST_F(ServerWindows, WalkFromWelcomeThroughTheInstallToExit) {
  auto& welcome = program_->Page<setup::Welcome>();
  auto& agreement = program_->Page<setup::Agreement>();
  auto& directory = program_->Page<setup::DirectoryPage>();
  auto& install = program_->Page<setup::Install>();
  auto& complete = program_->Page<setup::Complete>();
  auto shown = [&](const ui::Form& page) {
    backend_->Flush();
    return backend_->WindowOf(page) != nullptr && backend_->WindowOf(page)->shown();
  };
  ASSERT_TRUE(ui::input::Click(*app_, welcome.NextButton));
  EXPECT_TRUE(shown(agreement));
  EXPECT_FALSE(shown(welcome));
  ASSERT_TRUE(ui::input::Click(*app_, agreement.AgreeButton));
  EXPECT_TRUE(shown(directory));
  EXPECT_FALSE(shown(agreement));
  ASSERT_TRUE(ui::input::Click(*app_, directory.NextButton));
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  EXPECT_TRUE(shown(complete));
  EXPECT_FALSE(shown(install));
  EXPECT_EQ(install.StateCaption.Caption(), "安装完毕...");
  EXPECT_EQ(install.Loading.Width(), 6765);

  backend_->Post([&] { ui::input::Click(*app_, complete.ExitButton); });
  backend_->RunUntilEnd(*app_);
  EXPECT_TRUE(app_->Ended());
  EXPECT_FALSE(shown(complete));
}

TEST_F(ServerWindows, ExitQuestionIsAMessageBoxWithTitleIconAndButtons) {
  auto& welcome = program_->Page<setup::Welcome>();
  struct Seen {
    std::string title;
    RgbImage shot;
    int buttons = 0;
  } seen;
  // The box is modal: look at it from inside its loop, then press Esc.
  WhenModalOpens([&](Fl_Window& box) {
    seen.title = box.label() ? box.label() : "";
    for (int i = 0; i < box.children(); ++i)
      seen.buttons += dynamic_cast<Fl_Button*>(box.child(i)) != nullptr;
    seen.shot = ui::FltkBackend::Capture(box).value_or(RgbImage{});
    PressKey(box, FL_Escape);
  });
  ASSERT_TRUE(ui::input::Click(*app_, welcome.CancelButton));
  EXPECT_EQ(seen.title, "安装");
  EXPECT_EQ(seen.buttons, 2);  // 确定, 取消
  ASSERT_GT(seen.shot.width, 0);
  Save(seen.shot, "ExitQuestion");
  // The blue disc of the question icon.
  EXPECT_EQ(PixelAt(seen.shot, 12 + 6, 14 + 16), (Rgb{0, 70, 200}));
  // Esc answered Cancel: the wizard stays, with the focus back on its field.
  EXPECT_FALSE(app_->Ended());
  EXPECT_TRUE(welcome.Visible());
  EXPECT_EQ(app_->FocusedControl(), &welcome.NextButton);
}

}  // namespace
}  // namespace quorvale::server
