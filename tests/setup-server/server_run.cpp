#include "server_run.h"

#include "quorvale/setup/odbc_connection.h"
#include "quorvale/setup/test_connection.h"

namespace quorvale::server::testing {

bool MariaDbAnswers(std::string* reason) {
  static const std::string failure = []() -> std::string {
    ServerRun run;
    Err err;
    if (setup::TestConnection(err, setup::MySqlConnection("localhost", MariaDbUser(), MariaDbPassword())))
      return "";
    return "no MariaDB answers on localhost for " + MariaDbUser() +
           " (start it with tools/start-mariadb): " + err.Description();
  }();
  if (reason) *reason = failure;
  return failure.empty();
}

void ExpectOutcome(ServerRun& run, const std::string& page, std::size_t messages_before, const Outcome& o) {
  if (!o.prompt) {
    EXPECT_EQ(run.driver.Messages().size(), messages_before) << run.LastPrompt();
    EXPECT_NE(run.Active(), page);
    return;
  }
  ASSERT_EQ(run.driver.Messages().size(), messages_before + 1);
  const auto& m = run.driver.Messages().back().request;
  EXPECT_EQ(m.prompt, o.prompt);
  EXPECT_EQ(m.title, o.title);
  EXPECT_EQ(m.icon, o.icon);
  EXPECT_EQ(m.buttons, ui::MsgButtons::OK);
  EXPECT_EQ(run.Active(), page);
  EXPECT_EQ(run.Focus(), o.focus);
}

}  // namespace quorvale::server::testing
