// Every control of every page of Server (name, kind, caption, twips, tab
// index and the states that differ from a plain control), compared with the
// checked-in pages.golden.
// After a deliberate change of a page, write the file anew with
//   QUORVALE_UPDATE_GOLDEN=1 build/setup-server/setup_server_tests --gtest_filter='PageLayout.*'
// and read its diff before committing it.
#include <gtest/gtest.h>

#include "page_dump.h"
#include "quorvale/machine/testing/temp_machine.h"
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
#include "quorvale/setup/welcome_page.h"
#include "quorvale/ui/headless.h"

namespace quorvale::setup {
namespace {

using testing::Dump;

TEST(PageLayout, EveryPageOfServerMatchesTheCheckedInDump) {
  MachineShape shape;
  shape.drives = {{'C', 16ull << 30}};
  quorvale::testing::TempMachine temp(shape);
  ui::HeadlessDriver driver;
  SetupProgram program(driver.App(), server::ServerEnd::Profile());
  std::string dump = Dump(program.Page<WelcomePage>()) + Dump(program.Page<AgreementPage>()) +
                     Dump(program.Page<server::ServicePage>()) + Dump(program.Page<DirectoryPage>()) +
                     Dump(program.Page<server::ServUPage>()) + Dump(program.Page<server::ScriptPage>()) +
                     Dump(program.Page<server::MailPage>()) + Dump(program.Page<server::SQLServerPage>()) +
                     Dump(program.Page<server::MySQLPage>()) + Dump(program.Page<InstallPage>()) +
                     Dump(program.Page<CompletePage>());
  if (testing::UpdateGolden(dump, PAGES_GOLDEN)) GTEST_SKIP() << "wrote " << PAGES_GOLDEN;
  EXPECT_EQ(dump, testing::ReadGolden(PAGES_GOLDEN));
}

}  // namespace
}  // namespace quorvale::setup
