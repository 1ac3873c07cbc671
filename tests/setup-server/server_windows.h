// Server started on real windows on a fresh machine with what its pages
// look for: the account file, the interpreters, an iMail folder and SQL
// Server. Needs an X display; skips without one unless
// QUORVALE_REQUIRE_DISPLAY=1.
#pragma once

#include <FL/Fl_Widget.H>

#include "program_windows.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/server/server_end.h"
#include "quorvale/sqlserver/catalogue.h"
#include "quorvale/ui/fltk/twips.h"

namespace quorvale::server::testing {

class ServerWindows : public setup::testing::ProgramWindows {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    StartProgram(ServerEnd::Profile());
    RegisterDatabaseProviders(temp_->machine().Registry(), PROVIDERS_PATH);
    for (const char* f : {"C:\\Program Files\\Serv-U\\ServUDaemon.ini", "C:\\php\\php.exe",
                          "C:\\Perl\\bin\\perl.exe", "C:\\IMail\\IMail.exe", "C:\\IMail\\IAdmin.exe"})
      temp_->Write(f, "x");
    sqlserver::InstallSqlServer(temp_->machine(), "Sa2000");
  }

  // Every shown control of the page stands where its twips put it.
  void ExpectPlacedByTwips(const ui::Form& page) {
    for (const ui::Control* c : page.Controls()) {
      if (!c->Visible() || c->Container() || c->Kind() == ui::ControlKind::Timer) continue;
      const Fl_Widget* w = backend_->WidgetOf(*c);
      if (!w) continue;
      EXPECT_EQ(w->x(), ui::fltk::TwipsToPixels(c->Left())) << page.Name() << "." << c->Name();
      EXPECT_EQ(w->y(), ui::fltk::TwipsToPixels(c->Top())) << page.Name() << "." << c->Name();
    }
  }
};

}  // namespace quorvale::server::testing
