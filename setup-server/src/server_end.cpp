#include "quorvale/server/server_end.h"

#include "quorvale/payload/payload_paths.h"
#include "quorvale/server/database_pages.h"
#include "quorvale/server/mail.h"
#include "quorvale/server/script.h"
#include "quorvale/server/server_install.h"
#include "quorvale/server/service.h"
#include "quorvale/server/servu.h"
#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/progress.h"
#include "quorvale/setup/welcome.h"

namespace quorvale::server {

using namespace setup;

ProgramProfile ServerEnd::Profile() {
  ProgramProfile p;
  p.name = "Server";
  p.texts = ServerEndTexts();
  p.rules = ServerEndRules();
  // The pages after ServU are in the chain while the Service page's choices
  // ask for them, read at every Next and Back.
  auto chosen = [](bool (Service::*choice)() const) {
    return [choice](SetupProgram& program) { return (program.Page<Service>().*choice)(); };
  };
  p.order = {
      OrderLine<Welcome>(),
      OrderLine<Agreement>(),
      OrderLine<Service>(),
      OrderLine<DirectoryPage>(),
      OrderLine<ServU>(),
      OrderLine<Script>(chosen(&Service::ScriptsChosen)),
      OrderLine<Mail>(chosen(&Service::MailChosen)),
      OrderLine<SQLServer>(chosen(&Service::SQLServerChosen)),
      OrderLine<MySQL>(chosen(&Service::MySQLChosen)),
      OrderLine<Install>(),
      OrderLine<Complete>(),
  };
  p.sequence = SequenceOf<ServerInstall>();
  p.longest_inside = [](SetupProgram&) { return 1 + payload::kServerLongestMember; };
  return p;
}

ServerChoices ServerEnd::Choices(SetupProgram& program) {
  ServerChoices choices;
  program.Page<Service>().FillChoices(choices);
  choices.folder = program.Page<DirectoryPage>().Folder();
  program.Page<ServU>().FillChoices(choices);
  program.Page<Script>().FillChoices(choices);
  program.Page<Mail>().FillChoices(choices);
  program.Page<SQLServer>().FillChoices(choices);
  program.Page<MySQL>().FillChoices(choices);
  return choices;
}

}  // namespace quorvale::server
