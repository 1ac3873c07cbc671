#include "quorvale/client/client_end.h"

#include "quorvale/client/client_install.h"
#include "quorvale/client/database_page.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/progress.h"
#include "quorvale/setup/welcome.h"

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
      OrderLine<Welcome>(),    OrderLine<Agreement>(), OrderLine<DataBasePage>(), OrderLine<DirectoryPage>(),
      OrderLine<DomainPage>(), OrderLine<Install>(),   OrderLine<Complete>(),
  };
  p.sequence = SequenceOf<ClientInstall>();
  return p;
}

}  // namespace quorvale::client
