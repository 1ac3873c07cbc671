#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

WizardPage::WizardPage(SetupProgram& program, std::string name)
    : ui::Form(program.App(), std::move(name)), program_(program) {
  SetCaption(program.Texts().caption);
  Move(0, 0, kPageWidth, kPageHeight);
}

void WizardPage::OnLoad() { SetIcon(program_.StartPage().Icon()); }

bool WizardPage::OnQueryUnload(ui::UnloadMode) {
  program_.ConfirmExit(ExitFocus());
  return true;
}

void WizardPage::PlaceFrame(ui::Image& banner, ui::Frame& separator) {
  Place(banner, 0, 0, kPageWidth, 1065);
  Place(separator, -120, 4320, kPageWidth + 240, 30);
}

void WizardPage::PlaceButtons(ui::CommandButton* step, ui::CommandButton& next, ui::CommandButton& cancel) {
  if (step) {
    Place(*step, 3330, kButtonTop, kButtonWidth, kButtonHeight);
    step->SetCaption("< 上一步(&P)");
  }
  Place(next, 4560, kButtonTop, kButtonWidth, kButtonHeight);
  next.SetDefault(true);
  Place(cancel, 6030, kButtonTop, kButtonWidth, kButtonHeight);
  cancel.SetCaption("取消(&C)");
}

}  // namespace quorvale::setup
