// Client walked to Complete on a hosting server as `quorvale-machine create`
// makes it (the default machine), typing only what the README names: with
// SQL Server, sa's password Sa2000 and a password for the panel's login; a
// domain name on Domain.
#include <gtest/gtest.h>

#include "install_run.h"
#include "quorvale/hosting/hosting_server.h"
#include "quorvale/machine/testing/temp_folder.h"

namespace quorvale::client::testing {
namespace {

TEST(ClientOnHostingServer, WithAccessAndWithSqlServerToComplete) {
  for (bool sql_server : {false, true}) {
    SCOPED_TRACE(sql_server ? "SQL Server" : "Access");
    quorvale::testing::TempFolder folder("quorvale-hosting");
    hosting::CreateHostingServer(folder.Path() / "m");
    InstallRun run(false, folder.Path() / "m");
    run.InstallWith({.sql_server = sql_server});
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
    EXPECT_TRUE(run.driver.Messages().empty()) << run.driver.LastMessage()->request.prompt;
    EXPECT_EQ(run.Progress().SetupList.Items(), sql_server ? SqlList() : kAccessList);  // no failure line
    const auto catalogue = *sqlserver::LoadCatalogue(run.temp.machine());
    EXPECT_EQ(catalogue.databases.size(), sql_server ? 5u : 4u);
    EXPECT_EQ(catalogue.logins.size(), sql_server ? 2u : 1u);
  }
}

}  // namespace
}  // namespace quorvale::client::testing
