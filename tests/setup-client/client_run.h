// Client started headless on a fresh machine whose registry names the
// platform's automation objects and the database objects, as Windows ships
// them; SQL Server 2000 on it when asked for.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "quorvale/client/client_end.h"
#include "quorvale/client/data_base_page.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/sqlserver/catalogue.h"
#include "test_program.h"

namespace quorvale::client::testing {

using setup::AgreementPage;
using setup::CompletePage;
using setup::DirectoryPage;
using setup::InstallPage;
using setup::WelcomePage;

struct ClientRun : setup::testing::Wizard {
  explicit ClientRun(const MachineShape& shape = setup::testing::FreeOnC(setup::testing::kSixteenGB),
                     const std::filesystem::path& machine_copy = {})
      : Wizard(ClientEnd::Profile(), shape, machine_copy) {
    RegisterDatabaseProviders(temp.machine().Registry(), PROVIDERS_PATH);
  }

  // Welcome -> Agreement -> DataBase.
  DataBasePage& WalkToDataBase() {
    driver.Click(Page<WelcomePage>().NextButton);
    driver.Click(Page<AgreementPage>().AgreeButton);
    return Page<DataBasePage>();
  }
  // ... -> Directory with Access chosen.
  DirectoryPage& WalkToDirectory() {
    driver.Click(WalkToDataBase().NextButton);
    return Page<DirectoryPage>();
  }
  DomainPage& WalkToDomain() {
    driver.Click(WalkToDirectory().NextButton);
    return Page<DomainPage>();
  }

  // The web site site of the metabase (made when missing) with this
  // ServerBindings list, one binding a line.
  void BindSite(const std::string& site, const std::string& bindings) {
    Metabase(temp.machine()).Update([&](std::vector<MetabaseKey>& keys) {
      const std::string location = "/LM/W3SVC/" + site;
      for (auto& k : keys) {
        if (SameLocation(k.location, location)) {
          k.Set("ServerBindings", bindings);
          return true;
        }
      }
      keys.push_back({location, "IIsWebServer", {{"ServerBindings", bindings}}});
      return true;
    });
  }

  // The one message box shown since count messages, as an input error of
  // the pages shows it.
  void ExpectError(std::size_t count, const std::string& prompt) {
    ASSERT_EQ(driver.Messages().size(), count + 1) << prompt;
    const auto& m = driver.Messages().back().request;
    EXPECT_EQ(m.prompt, prompt);
    EXPECT_EQ(m.title, "错误");
    EXPECT_EQ(m.icon, ui::MsgIcon::Question);
    EXPECT_EQ(m.buttons, ui::MsgButtons::OK);
  }
};

}  // namespace quorvale::client::testing
