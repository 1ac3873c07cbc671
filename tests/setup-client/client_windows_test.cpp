// Client's pages on real windows: each captured as
// build/screenshots/Client/<page>.png, with every label's caption shown
// whole. Needs an X display; skips without one unless
// QUORVALE_REQUIRE_DISPLAY=1.
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include "program_windows.h"
#include "quorvale/client/client_end.h"
#include "quorvale/client/database_page.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/welcome.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"

namespace quorvale::client {
namespace {

using namespace ui::fltk::testing;
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
  ASSERT_TRUE(program_->Page<setup::Welcome>().Visible());
  Look(program_->Page<setup::Welcome>(), "Welcome");
  Look(program_->Page<setup::DirectoryPage>(), "Directory");
  Look(program_->Page<DomainPage>(), "Domain");
  Look(program_->Page<setup::Complete>(), "Complete");
  // The folder box shows the control end's default folder.
  auto* box = static_cast<Fl_Input*>(backend_->WidgetOf(program_->Page<setup::DirectoryPage>().Directory));
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
  auto* password = static_cast<Fl_Input*>(backend_->WidgetOf(page.MSSQLPassWord));
  EXPECT_STREQ(password->value(), "******");
  EXPECT_STREQ(backend_->WidgetOf(page.MSSQLServer)->tooltip(), "MSSQL数据库服务器");
}

}  // namespace
}  // namespace quorvale::client
