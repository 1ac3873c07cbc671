#include "quorvale/setup/agreement_page.h"

namespace quorvale::setup {

AgreementPage::AgreementPage(SetupProgram& program) : WizardPage(program, "Agreement") {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, AgreeButton, CancelButton);
  AgreeButton.SetCaption("我同意(&I)");
  PlaceHeader(Label2, "最终用户许可协议", Label3, "请您在安装之前仔细阅读以下协议");
  Label1.SetCaption(
      "如果您接受许可协议，点击“我同意”继续安装。如果您选择“取消”，安装程序将会关闭。您必须接受协议才可以继续"
      "安装。");
  Place(Agree, 360, 1200, 6825, 2295);
  Place(Label1, 360, 3600, 6825, 615);
  Agree.SetMultiLine(true);
  Agree.SetLocked(true);
  Agree.SetText(kAgreementText);
  AgreeButton.OnClick([this] { GoNext(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

}  // namespace quorvale::setup
