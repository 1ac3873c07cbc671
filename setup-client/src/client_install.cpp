#include "quorvale/client/client_install.h"

namespace quorvale::client {

const std::vector<ClientInstall::Step>& ClientInstall::Steps() {
  static const std::vector<Step> steps;
  return steps;
}

}  // namespace quorvale::client
