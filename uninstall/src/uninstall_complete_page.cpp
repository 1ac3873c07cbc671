#include "quorvale/uninstall/uninstall_complete_page.h"

#include "quorvale/uninstall/delete_batch.h"
#include "quorvale/uninstall/uninstall_welcome_page.h"

namespace quorvale::uninstall {

UninstallCompletePage::UninstallCompletePage(setup::SetupProgram& program) : WizardPage(program, "Complete") {
  PlaceFrame(LogoImage, Frame1);
  PlaceLogoColumn(LogoImage);
  PlaceButtons(nullptr, CompleteButton, ExitButton);
  CompleteButton.SetCaption("完成(&C) >");
  ExitButton.SetCaption("退出(&C)");
  Label1.SetFontBold(true);
  PlaceBesideLogo(Label1, 360, 375);
  PlaceBesideLogo(Label2, 1080, 495);
  PlaceBesideLogo(Label3, 3480, 255);
  CompleteButton.OnClick([this] { Leave(); });
  ExitButton.OnClick([this] { Leave(); });
}

void UninstallCompletePage::SetTexts(const std::string& title, const std::string& message) {
  Label1.SetCaption(title);
  Label2.SetCaption(message);
  Label3.SetCaption("单击“完成”关闭此向导。");
}

void UninstallCompletePage::Leave() {
  const auto& welcome = Program().Page<UninstallWelcomePage>();
  const std::string folder = Program().AppPath();
  if (welcome.RepairChosen()) EndWith(setup::Outcome::kCompleted, "repaired " + folder);
  if (!welcome.UninstallChosen()) return;
  // With resume-on-error: a batch that cannot be written is not started,
  // and the program ends all the same.
  Resume([&] { StartDeleteBatch(folder); });
  EndWith(setup::Outcome::kCompleted, "uninstalled from " + folder);
}

bool UninstallCompletePage::OnQueryUnload(ui::UnloadMode) {
  Leave();
  EndWith(setup::Outcome::kCompleted, "Complete closed");
}

}  // namespace quorvale::uninstall
