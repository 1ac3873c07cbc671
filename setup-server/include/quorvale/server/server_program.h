// Server: the server-end setup wizard. It starts on Welcome and walks the
// shared pages; the server end's own pages join the chain between them.
#pragma once

#include "quorvale/setup/program.h"

namespace quorvale::server {

class ServerProgram : public setup::SetupProgram {
 public:
  ServerProgram(ui::Application& app, setup::MachineHooks hooks);

  void AfterAgreement(ui::Form& from) override;
  void BeforeDirectory(ui::Form& from) override;
  void AfterDirectory(ui::Form& from) override;
  void RunSequence(setup::Install& page) override;
};

}  // namespace quorvale::server
