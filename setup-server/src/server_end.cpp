#include "quorvale/server/server_end.h"

#include "quorvale/payload/payload_paths.h"
#include "quorvale/server/mail_page.h"
#include "quorvale/server/my_sql_page.h"
#include "quorvale/server/script_page.h"
#include "quorvale/server/serv_u_page.h"
#include "quorvale/server/server_install.h"
#include "quorvale/server/service_page.h"
#include "quorvale/server/sql_server_page.h"
#include "quorvale/setup/agreement_page.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/install_page.h"
#include "quorvale/setup/welcome_page.h"

namespace quorvale::server {

using namespace setup;

ProgramProfile ServerEnd::Profile() {
  ProgramProfile p;
  p.name = "Server";
  p.texts = ServerEndTexts();
  p.rules = ServerEndRules();
  // The pages after ServU are in the chain while the Service page's choices
  // ask for them, read at every Next and Back.
  auto chosen = [](bool (ServicePage::*choice)() const) {
    return [choice](SetupProgram& program) { return (program.Page<ServicePage>().*choice)(); };
  };
  p.order = {
      OrderLine<WelcomePage>(),
      OrderLine<AgreementPage>(),
      OrderLine<ServicePage>(),
      OrderLine<DirectoryPage>(),
      OrderLine<ServUPage>(),
      OrderLine<ScriptPage>(chosen(&ServicePage::ScriptsChosen)),
      OrderLine<MailPage>(chosen(&ServicePage::MailChosen)),
      OrderLine<SQLServerPage>(chosen(&ServicePage::SQLServerChosen)),
      OrderLine<MySQLPage>(chosen(&ServicePage::MySQLChosen)),
      OrderLine<InstallPage>(),
      OrderLine<CompletePage>(),
  };
  p.sequence = SequenceOf<ServerInstall>();
  p.longest_inside = [](SetupProgram&) { return 1 + payload::kServerLongestMember; };
  return p;
}

ServerChoices ServerEnd::Choices(SetupProgram& program) {
  ServerChoices choices;
  program.Page<ServicePage>().FillChoices(choices);
  choices.folder = program.Page<DirectoryPage>().Folder();
  program.Page<ServUPage>().FillChoices(choices);
  program.Page<ScriptPage>().FillChoices(choices);
  program.Page<MailPage>().FillChoices(choices);
  program.Page<SQLServerPage>().FillChoices(choices);
  program.Page<MySQLPage>().FillChoices(choices);
  return choices;
}

}  // namespace quorvale::server
