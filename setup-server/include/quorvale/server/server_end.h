// Server: the server-end setup. Its profile (texts, rules, page order,
// sequence), the helper procedures its progress page carries, and what its
// pages hand the sequence.
#pragma once

#include "quorvale/setup/helper_module.h"
#include "quorvale/setup/profile.h"
#include "quorvale/setup/server_choices.h"

namespace quorvale::server {

struct ServerEnd {
  using Helpers = setup::ServerEndHelpers;
  static setup::ProgramProfile Profile();
  // What the pages hold at this moment, each page filling its own part: the
  // sequence asks once, at its first step. A page the chain skipped is
  // created, not loaded, and gives what its boxes hold since then.
  static setup::ServerChoices Choices(setup::SetupProgram& program);
};

}  // namespace quorvale::server
