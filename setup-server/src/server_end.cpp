#include "quorvale/server/server_end.h"

#include "quorvale/server/server_install.h"
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
  p.order = {
      OrderLine<Welcome>(), OrderLine<Agreement>(), OrderLine<DirectoryPage>(),
      OrderLine<Install>(), OrderLine<Complete>(),
  };
  p.sequence = SequenceOf<ServerInstall>();
  return p;
}

const std::vector<ServerInstall::Step>& ServerInstall::Steps() {
  static const std::vector<Step> steps;
  return steps;
}

}  // namespace quorvale::server
