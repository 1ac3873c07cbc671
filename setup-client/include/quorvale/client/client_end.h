// Client: the control-end setup. Its profile (texts, rules, page order,
// sequence), the helper procedures its progress page carries, and what its
// pages hand the sequence.
#pragma once

#include "quorvale/client/client_choices.h"
#include "quorvale/setup/helper_module.h"
#include "quorvale/setup/profile.h"

namespace quorvale::client {

struct ClientEnd {
  using Helpers = setup::ControlEndHelpers;
  static setup::ProgramProfile Profile();
  // What the pages hold at this moment, each page filling its own part: the
  // sequence asks once, at its first step.
  static ClientChoices Choices(setup::SetupProgram& program);
};

}  // namespace quorvale::client
