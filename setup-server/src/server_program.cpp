#include "quorvale/server/server_program.h"

#include "quorvale/setup/agreement.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/progress.h"

namespace quorvale::server {

ServerProgram::ServerProgram(ui::Application& app, setup::MachineHooks hooks)
    : SetupProgram(app, setup::ServerEndTexts(), std::move(hooks)) {}

void ServerProgram::AfterAgreement(ui::Form& from) {
  auto& directory = Page<setup::DirectoryPage>();
  SwitchPage(from, directory, &directory.Directory);
}

void ServerProgram::BeforeDirectory(ui::Form& from) {
  auto& agreement = Page<setup::Agreement>();
  SwitchPage(from, agreement, &agreement.AgreeButton);
}

void ServerProgram::AfterDirectory(ui::Form& from) {
  auto& install = Page<setup::Install>();
  install.Show();
  from.Hide();
}

// The server end's install steps join here with its install sequence.
void ServerProgram::RunSequence(setup::Install&) {}

}  // namespace quorvale::server
