#include "quorvale/setup/program.h"

#include "quorvale/setup/welcome.h"

namespace quorvale::setup {

SetupProgram::SetupProgram(ui::Application& app, ProgramTexts texts, MachineHooks hooks)
    : app_(app), texts_(std::move(texts)), hooks_(std::move(hooks)) {}

SetupProgram::~SetupProgram() = default;

ui::Form& SetupProgram::StartPage() { return Page<Welcome>(); }

void SetupProgram::Start() { StartPage().Show(); }

void SetupProgram::SwitchPage(ui::Form& from, ui::Form& to, ui::Control* focus) {
  to.Show();
  if (focus) err_.Resume([&] { focus->SetFocus(); });
  from.Hide();
}

void SetupProgram::ConfirmExit(ui::Control* stay_focus) {
  if (app_.MsgBox(kExitQuestion, ui::MsgButtons::OKCancel, ui::MsgIcon::Question, kSetupTitle) ==
      ui::MsgResult::OK) {
    app_.End();
  }
  if (stay_focus) err_.Resume([&] { stay_focus->SetFocus(); });
}

bool SetupProgram::StartProgram(const std::string& command_line) {
  return hooks_.start_program && hooks_.start_program(command_line);
}

}  // namespace quorvale::setup
