// Every control of every page of Client: name, kind, caption, position in
// twips and tab index, compared with the checked-in pages.golden. After a
// deliberate change of a page, write the file anew with
//   QUORVALE_UPDATE_GOLDEN=1 build/setup-client/setup_client_tests --gtest_filter='PageLayout.*'
// and read its diff before committing it.
#include <gtest/gtest.h>

#include "client_run.h"
#include "page_dump.h"

namespace quorvale::client::testing {
namespace {

using setup::testing::Dump;

TEST(PageLayout, EveryPageOfClientMatchesTheCheckedInDump) {
  ClientRun run;
  std::string dump;
  for (ui::Form* page : std::initializer_list<ui::Form*>{&run.Page<WelcomePage>(), &run.Page<AgreementPage>(),
                                                         &run.Page<DataBasePage>(),
                                                         &run.Page<DirectoryPage>(), &run.Page<DomainPage>(),
                                                         &run.Page<InstallPage>(), &run.Page<CompletePage>()})
    dump += Dump(*page);
  if (setup::testing::UpdateGolden(dump, PAGES_GOLDEN)) GTEST_SKIP() << "wrote " << PAGES_GOLDEN;
  EXPECT_EQ(dump, setup::testing::ReadGolden(PAGES_GOLDEN));
}

}  // namespace
}  // namespace quorvale::client::testing
