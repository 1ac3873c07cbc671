// Server's pages on real windows: each page captured as
// build/screenshots/<page>.png, with every label's caption shown whole.
// Needs an X display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#include "server_windows.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "program_windows.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/server/mail_page.h"
#include "quorvale/server/my_sql_page.h"
#include "quorvale/server/script_page.h"
#include "quorvale/server/serv_u_page.h"
#include "quorvale/server/server_end.h"
#include "quorvale/server/service_page.h"
#include "quorvale/server/sql_server_page.h"
#include "quorvale/setup/agreement_page.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/install_page.h"
#include "quorvale/setup/program.h"
#include "quorvale/setup/welcome_page.h"
#include "quorvale/sqlserver/catalogue.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"
#include "server_run.h"

namespace quorvale::server {
namespace {

using namespace ui::fltk::testing;
using testing::ServerWindows;
using ui::fltk::RgbImage;

TEST_F(ServerWindows, EveryPageShowsEveryCaptionWhole) {
  auto& welcome = program_->Page<setup::WelcomePage>();
  ASSERT_TRUE(welcome.Visible());
  auto& agreement = program_->Page<setup::AgreementPage>();
  auto& service = program_->Page<ServicePage>();
  auto& directory_page = program_->Page<setup::DirectoryPage>();
  auto& servu = program_->Page<ServUPage>();
  auto& script = program_->Page<ScriptPage>();
  auto& mail = program_->Page<MailPage>();
  auto& sql = program_->Page<SQLServerPage>();
  auto& mysql = program_->Page<MySQLPage>();
  auto& complete = program_->Page<setup::CompletePage>();
  struct Shown {
    const char* name;
    ui::Form& page;
    ui::CommandButton* forward;  // the default button, drawn with the dark frame
    bool server_page = false;    // one of the server end's own pages
  } pages[] = {
      {"Welcome", welcome, &welcome.NextButton},
      {"Agreement", agreement, &agreement.AgreeButton},
      {"Service", service, &service.NextButton, true},
      {"Directory", directory_page, &directory_page.NextButton},
      {"ServU", servu, &servu.NextButton, true},
      {"Script", script, &script.NextButton, true},
      {"Mail", mail, &mail.NextButton, true},
      {"SQLServer", sql, &sql.NextButton, true},
      {"MySQL", mysql, &mysql.NextButton, true},
      {"InstallBeforeStart", program_->Page<setup::InstallPage>(), nullptr},
      {"Complete", complete, &complete.CompleteButton},
  };
  // The Mail page shows the group of the mail system chosen.
  app_->RunEvent([&] { service.iMail.SetValue(true); });
  for (const auto& p : pages) {
    SCOPED_TRACE(p.name);
    ShowOnly(p.page);
    if (p.server_page) ExpectPlacedByTwips(p.page);
    Fl_Window* window = backend_->WindowOf(p.page);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->label(), "Quorvale虚拟主机管理系统v3.0被控端");
    EXPECT_EQ(window->w(), ui::fltk::TwipsToPixels(7590) - 6);
    const RgbImage shot = ShotOfPage(p.page, p.name);
    EXPECT_EQ(CutCaptions(p.page), std::vector<std::string>{});
    if (p.forward) {
      const Fl_Widget* b = backend_->WidgetOf(*p.forward);
      EXPECT_TRUE(RingIs(shot, b->x(), b->y(), b->w(), b->h(), {0, 0, 0}))
          << "no dark frame on the default button";
    }
  }
  // The folder box shows the default folder and cannot be typed into.
  auto* box = static_cast<Fl_Input*>(backend_->WidgetOf(directory_page.Directory));
  ASSERT_NE(box, nullptr);
  EXPECT_STREQ(box->value(), "C:\\Program Files\\Quorvale\\被控端");
  EXPECT_TRUE(box->readonly());
}

// The agreement's box breaks its lines by the labels' rule: no line starts
// with closing punctuation or ends with opening punctuation, and nothing
// but line ends and the blanks at a break is left out.
TEST_F(ServerWindows, TheAgreementBoxBreaksLinesAsALabelDoes) {
  auto& agreement = program_->Page<setup::AgreementPage>();
  ShowOnly(agreement);
  const std::vector<std::string> lines = backend_->ShownLines(agreement.Agree);
  ASSERT_GT(lines.size(), 20u);
  const auto starts = [](const std::string& line, const char* mark) { return line.rfind(mark, 0) == 0; };
  const auto ends = [](const std::string& line, const std::string& mark) {
    return line.size() >= mark.size() && line.compare(line.size() - mark.size(), mark.size(), mark) == 0;
  };
  std::string shown, held;
  for (const auto& line : lines) {
    for (const char* closing : {"，", "。", "、", "；", "：", "！", "？", "）", "”", "》", ",", ".", ")"})
      EXPECT_FALSE(starts(line, closing)) << line;
    for (const char* opening : {"（", "“", "《", "("}) EXPECT_FALSE(ends(line, opening)) << line;
    shown += line;
  }
  for (char c : agreement.Agree.Text()) {
    if (c != '\r' && c != '\n' && c != ' ') held += c;
  }
  std::erase(shown, ' ');
  EXPECT_EQ(shown, held);
}

// The user's walk through the real windows with the Service page's
// defaults, MariaDB real: one page on the screen at a time, the progress page running on its timer into
// Complete, and Exit ending the program's loop.
TEST_F(ServerWindows, WalkFromWelcomeThroughTheInstallToExit) {
  REQUIRE_MARIADB();
  auto& welcome = program_->Page<setup::WelcomePage>();
  auto& agreement = program_->Page<setup::AgreementPage>();
  auto& directory = program_->Page<setup::DirectoryPage>();
  auto& install = program_->Page<setup::InstallPage>();
  auto& complete = program_->Page<setup::CompletePage>();
  auto shown = [&](const ui::Form& page) {
    backend_->Flush();
    return backend_->WindowOf(page) != nullptr && backend_->WindowOf(page)->shown();
  };
  ASSERT_TRUE(ui::input::Click(*app_, welcome.NextButton));
  EXPECT_TRUE(shown(agreement));
  EXPECT_FALSE(shown(welcome));
  ASSERT_TRUE(ui::input::Click(*app_, agreement.AgreeButton));
  auto& service = program_->Page<ServicePage>();
  EXPECT_TRUE(shown(service));
  EXPECT_FALSE(shown(agreement));
  ASSERT_TRUE(ui::input::Click(*app_, service.NextButton));
  EXPECT_TRUE(shown(directory));
  EXPECT_FALSE(shown(service));
  ASSERT_TRUE(ui::input::Click(*app_, directory.NextButton));
  // The defaults: ServU, Script, SQLServer, MySQL, each with what it proposes
  // or what the user types, then the installation.
  auto& servu = program_->Page<ServUPage>();
  EXPECT_TRUE(shown(servu));
  EXPECT_EQ(servu.File.Text(), "C:\\Program Files\\Serv-U\\ServUDaemon.ini");
  ASSERT_TRUE(ui::input::Click(*app_, servu.NextButton));
  auto& script = program_->Page<ScriptPage>();
  EXPECT_TRUE(shown(script));
  EXPECT_EQ(app_->FocusedControl(), &script.PHPFile);
  ASSERT_TRUE(ui::input::Click(*app_, script.NextButton));
  auto& sql = program_->Page<SQLServerPage>();
  EXPECT_TRUE(shown(sql));
  ASSERT_TRUE(ui::input::Type(*app_, sql.MSSQLPassWord, "Sa2000"));
  ASSERT_TRUE(ui::input::Click(*app_, sql.NextButton));
  auto& mysql = program_->Page<MySQLPage>();
  EXPECT_TRUE(shown(mysql));
  EXPECT_FALSE(shown(sql));
  ASSERT_TRUE(ui::input::Type(*app_, mysql.MySQLUserName, testing::MariaDbUser()));
  ASSERT_TRUE(ui::input::Type(*app_, mysql.MySQLPassWord, testing::MariaDbPassword()));
  ASSERT_TRUE(ui::input::Click(*app_, mysql.NextButton));
  ASSERT_TRUE(RunUntil([&] { return complete.Visible(); }));
  EXPECT_FALSE(shown(mysql));
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
  auto& welcome = program_->Page<setup::WelcomePage>();
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

// A state file found damaged when Welcome binds IIS: the box shows the
// file's message in place of the missing-IIS one, every line of it inside
// the box.
class DamagedMachineWindows : public WindowTest {};

TEST_F(DamagedMachineWindows, WelcomeShowsTheDamagedFileWholeInItsBox) {
  quorvale::testing::TempMachine temp;
  RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
  const std::filesystem::path registry = temp.Folder() / "registry.reg";
  std::filesystem::resize_file(registry, 100);
  StartBackend(temp.Folder());
  struct Seen {
    std::string title;
    RgbImage shot;
    int box_w = 0, prompt_x = 0, prompt_w = 0, prompt_h = 0, buttons_y = 0;
    int buttons = 0;
  } seen;
  WhenModalOpens([&](Fl_Window& box) {
    seen.title = box.label() ? box.label() : "";
    seen.box_w = box.w();
    seen.buttons_y = box.h();
    for (int i = 0; i < box.children(); ++i) {
      Fl_Widget* child = box.child(i);
      if (dynamic_cast<Fl_Button*>(child)) {
        ++seen.buttons;
        seen.buttons_y = std::min(seen.buttons_y, child->y());
      } else if (child->w() > seen.prompt_w) {  // the prompt is wider than the icon
        seen.prompt_x = child->x();
        seen.prompt_w = child->w();
        seen.prompt_h = child->h();
      }
    }
    seen.shot = ui::FltkBackend::Capture(box).value_or(RgbImage{});
    PressKey(box, FL_Enter);
  });
  setup::SetupProgram program(*app_, ServerEnd::Profile());
  app_->RunEvent([&] { program.Start(); });
  EXPECT_TRUE(app_->Ended());
  EXPECT_EQ(seen.title, "安装");
  EXPECT_EQ(seen.buttons, 1);  // 确定
  ASSERT_GT(seen.shot.width, 0);
  Save(seen.shot, "WelcomeDamagedMachine");

  const std::string message = "machine file " + registry.string() +
                              ": it does not end with its end line \"; end\" (cut short or damaged)";
  const auto layout = ui::fltk::LayOutText(message, 380, false, false);
  ASSERT_GE(layout.lines.size(), 2u);  // the path and the reason do not fit one line
  std::string shown;
  for (std::size_t i = 0; i < layout.lines.size(); ++i) {
    EXPECT_LE(layout.widths[i], seen.prompt_w) << layout.lines[i];
    shown += layout.lines[i];
  }
  // Nothing is left out but the blanks the lines break at.
  std::string expected = message;
  std::erase(expected, ' ');
  std::erase(shown, ' ');
  EXPECT_EQ(shown, expected);
  EXPECT_LE(layout.Height(), seen.prompt_h);
  EXPECT_LE(seen.prompt_x + seen.prompt_w, seen.box_w);
  EXPECT_LE(14 + seen.prompt_h, seen.buttons_y);
}

}  // namespace
}  // namespace quorvale::server

namespace quorvale::server {
namespace {

// The test button while its connection opens and its box is up: disabled,
// "正在连接..."; afterwards itself again, with the focus in the server box.
TEST_F(ServerWindows, TestButtonWaitsDisabledUntilItsBoxIsClosed) {
  auto& sql = program_->Page<SQLServerPage>();
  ShowOnly(sql);
  app_->RunEvent([&] { sql.MSSQLPassWord.SetText("Sa2000"); });
  struct Seen {
    std::string title, button;
    bool button_active = true;
    RgbImage shot;
  } seen;
  WhenModalOpens([&](Fl_Window& box) {
    seen.title = box.label() ? box.label() : "";
    // Checked without leaving early: the box is answered in any case.
    const Fl_Widget* button = backend_->WidgetOf(sql.MSSQLTest);
    EXPECT_NE(button, nullptr);
    if (button) {
      seen.button = button->label() ? button->label() : "";
      seen.button_active = button->active();
    }
    seen.shot = ui::FltkBackend::Capture(box).value_or(RgbImage{});
    PressKey(box, FL_Enter);
  });
  ASSERT_TRUE(ui::input::Click(*app_, sql.MSSQLTest));
  EXPECT_EQ(seen.title, "成功");
  EXPECT_EQ(seen.button, "正在连接...");
  EXPECT_FALSE(seen.button_active);
  ASSERT_GT(seen.shot.width, 0);
  Save(seen.shot, "SQLServerTestSucceeded");
  backend_->Flush();
  const Fl_Widget* button = backend_->WidgetOf(sql.MSSQLTest);
  ASSERT_NE(button, nullptr);
  EXPECT_STREQ(button->label(), "测试连接");
  EXPECT_TRUE(button->active());
  EXPECT_EQ(app_->FocusedControl(), &sql.MSSQLServer);
}

// The mouse on the Service page: a press held while the loop runs (the
// focus moves to the box and the window is brought up to date) still
// changes the choice when it is released.
TEST_F(ServerWindows, MousePressesChangeTheServiceChoices) {
  auto& service = program_->Page<ServicePage>();
  ShowOnly(service);
  Fl_Window* window = backend_->WindowOf(service);
  ASSERT_NE(window, nullptr);
  auto press = [&](ui::Control& c) {
    Fl_Widget* w = backend_->WidgetOf(c);
    ASSERT_NE(w, nullptr) << c.Name();
    Fl::e_x = w->x() + 6;
    Fl::e_y = w->y() + w->h() / 2;
    Fl::e_x_root = window->x() + Fl::e_x;
    Fl::e_y_root = window->y() + Fl::e_y;
    Fl::e_keysym = FL_Button + 1;
    Fl::e_state = FL_BUTTON1;
    Fl::e_clicks = 0;
    Fl::handle(FL_PUSH, window);
    for (int i = 0; i < 3; ++i) {
      app_->DoEvents();
      backend_->Flush();
    }
    Fl::e_state = 0;
    Fl::handle(FL_RELEASE, window);
    for (int i = 0; i < 3; ++i) {
      app_->DoEvents();
      backend_->Flush();
    }
  };
  press(service.SQLServer);
  EXPECT_EQ(service.SQLServer.Value(), 0);
  EXPECT_EQ(app_->FocusedControl(), &service.SQLServer);
  press(service.SQLServer);
  EXPECT_EQ(service.SQLServer.Value(), 1);
  press(service.WinWebMail);
  EXPECT_TRUE(service.WinWebMail.Value());
  EXPECT_FALSE(service.NoMail.Value());
  const auto* no_mail = static_cast<Fl_Button*>(backend_->WidgetOf(service.NoMail));
  const auto* win_web_mail = static_cast<Fl_Button*>(backend_->WidgetOf(service.WinWebMail));
  ASSERT_NE(no_mail, nullptr);
  ASSERT_NE(win_web_mail, nullptr);
  EXPECT_EQ(no_mail->value(), 0);
  EXPECT_EQ(win_web_mail->value(), 1);
}

}  // namespace
}  // namespace quorvale::server
