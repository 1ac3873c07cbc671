// Client: the control-end setup. Its profile (texts, rules, page order,
// sequence) and the helper procedures its progress page carries.
#pragma once

#include "quorvale/setup/helper_module.h"
#include "quorvale/setup/profile.h"

namespace quorvale::client {

struct ClientEnd {
  using Helpers = setup::ControlEndHelpers;
  static setup::ProgramProfile Profile();
};

}  // namespace quorvale::client
