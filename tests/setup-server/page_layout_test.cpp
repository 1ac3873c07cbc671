// Every control of every page of Server: name, kind, caption, position in
// twips and tab index, compared with the checked-in pages.golden. After a
// deliberate change of a page, write the file anew with
//   QUORVALE_UPDATE_GOLDEN=1 build/setup-server/setup_server_tests --gtest_filter='PageLayout.*'
// and read its diff before committing it.
#include <gtest/gtest.h>

#include "page_dump.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/server/server_end.h"
#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/progress.h"
#include "quorvale/setup/welcome.h"
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
  std::string dump = Dump(program.Page<Welcome>()) + Dump(program.Page<Agreement>()) +
                     Dump(program.Page<DirectoryPage>()) + Dump(program.Page<Install>()) +
                     Dump(program.Page<Complete>());
  if (testing::UpdateGolden(dump, PAGES_GOLDEN)) GTEST_SKIP() << "wrote " << PAGES_GOLDEN;
  EXPECT_EQ(dump, testing::ReadGolden(PAGES_GOLDEN));
}

}  // namespace
}  // namespace quorvale::setup
