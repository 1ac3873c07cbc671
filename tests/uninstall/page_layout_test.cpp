// Every control of Uninstall's pages and its two confirmations, compared
// with the checked-in pages.golden: Welcome as it opens; then for repair and
// for uninstall the mode's confirmation, Running with the mode's captions
// before its first tick, and Complete with the texts the sequence set.
// After a deliberate change of a page, write the file anew with
//   QUORVALE_UPDATE_GOLDEN=1 build/uninstall/uninstall_tests --gtest_filter='PageLayout.*'
// and read its diff before committing it.
#include <gtest/gtest.h>

#include "page_dump.h"
#include "panel_machine.h"

namespace quorvale::uninstall {
namespace {

using setup::testing::Dump;
using testing::PanelMachine;

// Welcome's choice, confirmed, to Complete; what each step showed.
void DumpMode(bool uninstall, std::string& dump) {
  PanelMachine run;
  run.Install({.sql_server = false});
  run.Start();
  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Welcome"});
  if (uninstall)
    run.driver.Click(run.welcome().Delete);
  else
    dump += Dump(run.welcome());
  run.driver.Answer(ui::MsgResult::OK);
  run.driver.Click(run.welcome().NextButton);
  ASSERT_EQ(run.driver.Messages().size(), 1u);
  dump += Dump(run.driver.Messages()[0].request) + Dump(run.running());
  run.driver.Advance(100);
  ASSERT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
  dump += Dump(run.complete());
}

TEST(PageLayout, EveryPageOfUninstallMatchesTheCheckedInDump) {
  std::string dump;
  for (bool uninstall : {false, true}) {
    SCOPED_TRACE(uninstall ? "uninstall" : "repair");
    ASSERT_NO_FATAL_FAILURE(DumpMode(uninstall, dump));
  }
  if (setup::testing::UpdateGolden(dump, PAGES_GOLDEN)) GTEST_SKIP() << "wrote " << PAGES_GOLDEN;
  EXPECT_EQ(dump, setup::testing::ReadGolden(PAGES_GOLDEN));
}

}  // namespace
}  // namespace quorvale::uninstall
