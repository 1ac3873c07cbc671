#include "quorvale/client/client_end.h"

#include <algorithm>

#include "quorvale/client/client_install.h"
#include "quorvale/client/data_base_page.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/payload/payload_paths.h"
#include "quorvale/setup/agreement_page.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/install_page.h"
#include "quorvale/setup/welcome_page.h"

namespace quorvale::client {

using namespace setup;

// No page is optional: the database choice changes only what DataBase asks
// for and what the install does.
ProgramProfile ClientEnd::Profile() {
  ProgramProfile p;
  p.name = "Client";
  p.texts = ControlEndTexts();
  p.rules = ControlEndRules();
  p.order = {
      OrderLine<WelcomePage>(),   OrderLine<AgreementPage>(), OrderLine<DataBasePage>(),
      OrderLine<DirectoryPage>(), OrderLine<DomainPage>(),    OrderLine<InstallPage>(),
      OrderLine<CompletePage>(),
  };
  p.sequence = SequenceOf<ClientInstall>();
  // The archive's longest member, or the data files renamed after the new
  // database when that is longer (".ldf" is as long as ".mdf").
  p.longest_inside = [](SetupProgram& program) {
    const std::size_t data_file = AnsiLength(program.Page<DataBasePage>().DataFilePath());
    return 1 + std::max(payload::kControlLongestMember, data_file);
  };
  return p;
}

ClientChoices ClientEnd::Choices(SetupProgram& program) {
  ClientChoices choices;
  program.Page<DataBasePage>().FillChoices(choices);
  choices.folder = program.Page<DirectoryPage>().Folder();
  program.Page<DomainPage>().FillChoices(choices);
  return choices;
}

}  // namespace quorvale::client
