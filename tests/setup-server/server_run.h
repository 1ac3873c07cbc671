// Server started headless on a temporary machine, for the page tests: the
// shared wizard fixture, its machine's registry naming the database
// providers (ADODB.Connection) too, and helpers that put the files the pages
// look for on it and walk the chain.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "mariadb_login.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/server/mail_page.h"
#include "quorvale/server/my_sql_page.h"
#include "quorvale/server/script_page.h"
#include "quorvale/server/serv_u_page.h"
#include "quorvale/server/server_end.h"
#include "quorvale/server/service_page.h"
#include "quorvale/server/sql_server_page.h"
#include "quorvale/sqlserver/catalogue.h"
#include "require.h"
#include "test_program.h"

namespace quorvale::server::testing {

using quorvale::testing::Require;
using setup::testing::MariaDbPassword;
using setup::testing::MariaDbUser;

struct ServerRun : setup::testing::Wizard {
  // On a fresh machine of the shape, or on a copy of the machine in machine_copy.
  explicit ServerRun(const MachineShape& shape = {}, const std::filesystem::path& machine_copy = {})
      : Wizard(ServerEnd::Profile(), shape, machine_copy) {
    RegisterDatabaseProviders(temp.machine().Registry(), PROVIDERS_PATH);
  }
  // Welcome, then Agreement, then the Service page.
  void ToService() {
    Start();
    driver.Click(program.Page<setup::WelcomePage>().NextButton);
    driver.Click(program.Page<setup::AgreementPage>().AgreeButton);
  }
  // From Service through Directory to ServU.
  void ToServU() {
    driver.Click(Service().NextButton);
    driver.Click(program.Page<setup::DirectoryPage>().NextButton);
  }

  server::ServicePage& Service() { return program.Page<server::ServicePage>(); }
  server::ServUPage& ServU() { return program.Page<server::ServUPage>(); }
  server::ScriptPage& Script() { return program.Page<server::ScriptPage>(); }
  server::MailPage& Mail() { return program.Page<server::MailPage>(); }
  server::SQLServerPage& SQLServer() { return program.Page<server::SQLServerPage>(); }
  server::MySQLPage& MySQL() { return program.Page<server::MySQLPage>(); }

  std::string Active() const { return driver.ActiveForm() ? driver.ActiveForm()->Name() : ""; }
  std::string Focus() const { return driver.Focus() ? driver.Focus()->Name() : ""; }
  // "Page/field": the active page and the focused control.
  std::string Step() const { return Active() + "/" + Focus(); }
  std::string LastPrompt() const { return driver.LastMessage() ? driver.LastMessage()->request.prompt : ""; }
};

// The Service page's choices, as one row of a table.
enum class MailChoice { kNone, kIMail, kWinWebMail };

struct Choices {
  bool php = true, cgi = true;
  MailChoice mail = MailChoice::kNone;
  bool sql_server = true, my_sql = true;
};

inline std::string Describe(const Choices& c) {
  const char* mail[] = {"NoMail", "iMail", "WinWebMail"};
  return std::string("PHP=") + (c.php ? "1" : "0") + " CGI=" + (c.cgi ? "1" : "0") + " " +
         mail[static_cast<int>(c.mail)] + " SQLServer=" + (c.sql_server ? "1" : "0") +
         " MySQL=" + (c.my_sql ? "1" : "0");
}

// A machine on which every page finds what it asks for: the files and SQL
// Server put on a fresh machine, or a copy of a hosting server as it is.
struct ChainRun : ServerRun {
  explicit ChainRun(const std::filesystem::path& hosting_server) : ServerRun({}, hosting_server) {}
  explicit ChainRun(const MachineShape& shape = {}, const std::string& sa_password = "Sa2000")
      : ServerRun(shape) {
    temp.Write("C:\\Program Files\\Serv-U\\ServUDaemon.ini", "[GLOBAL]");
    temp.Write("C:\\php\\php.exe", "MZ");
    temp.Write("C:\\Perl\\bin\\perl.exe", "MZ");
    for (const char* f : {"C:\\IMail\\IMail.exe", "C:\\IMail\\IAdmin.exe", "C:\\WinWebMail\\easymail.exe",
                          "C:\\WinWebMail\\emsvr.exe", "C:\\WinWebMail\\web\\default.asp"})
      temp.Write(f, "x");
    sqlserver::InstallSqlServer(temp.machine(), sa_password);
  }

  // Clicks the box where it is not as wanted.
  void SetBox(ui::CheckBox& box, bool on) {
    if ((box.Value() == ui::CheckBox::kChecked) != on) driver.Click(box);
  }
  // Sets the Service page's boxes as the user clicks them.
  void Choose(const Choices& c) {
    auto& s = Service();
    SetBox(s.PHP, c.php);
    SetBox(s.CGI, c.cgi);
    SetBox(s.SQLServer, c.sql_server);
    SetBox(s.MySQL, c.my_sql);
    driver.Click(c.mail == MailChoice::kIMail        ? s.iMail
                 : c.mail == MailChoice::kWinWebMail ? s.WinWebMail
                                                     : s.NoMail);
  }

  // What each page needs to let the user on.
  void FillIn(const std::string& page) {
    if (page == "Mail") {
      auto& m = Mail();
      if (Service().iMail.Value() && m.iMailPath.Text().empty()) {
        driver.AnswerFolder("C:\\IMail");
        driver.Click(m.iMailView);
      }
      if (Service().WinWebMail.Value() && m.WinWebMailPath.Text().empty()) {
        driver.AnswerFolder("C:\\WinWebMail");
        driver.Click(m.WinWebMailView);
      }
    } else if (page == "SQLServer") {
      driver.Type(SQLServer().MSSQLPassWord, "Sa2000");
    } else if (page == "MySQL") {
      driver.Type(MySQL().MySQLUserName, MariaDbUser());
      driver.Type(MySQL().MySQLPassWord, MariaDbPassword());
    }
  }

  // A button of the active page; no active page or no such button fails
  // the test and ends it.
  ui::CommandButton& ButtonOfActive(const std::string& name) {
    ui::Form& page = Require(driver.ActiveForm(), "an active page");
    return Require(dynamic_cast<ui::CommandButton*>(page.FindControl(name)), page.Name() + "." + name);
  }
  ui::CommandButton& NextOf(const std::string& page) {
    return ButtonOfActive(page == "Agreement" ? "AgreeButton" : "NextButton");
  }
  ui::CommandButton& BackOf() { return ButtonOfActive("StepButton"); }
};

// What a click leaves: a message box (text, title, icon, OK alone) with the
// page kept and the focus on a field, or, without a prompt, no message and
// the page left.
struct Outcome {
  const char* prompt = nullptr;
  const char* title = nullptr;
  ui::MsgIcon icon = ui::MsgIcon::None;
  const char* focus = nullptr;
};
void ExpectOutcome(ServerRun& run, const std::string& page, std::size_t messages_before, const Outcome& o);

// Skips (or fails with QUORVALE_REQUIRE_MARIADB=1) without a MariaDB that
// takes the test login.
bool MariaDbAnswers(std::string* reason);
#define REQUIRE_MARIADB()                                                                            \
  do {                                                                                               \
    std::string reason;                                                                              \
    if (!::quorvale::server::testing::MariaDbAnswers(&reason)) SKIP_OR_FAIL_WITHOUT_MARIADB(reason); \
  } while (0)

}  // namespace quorvale::server::testing
