#include "quorvale/setup/complete.h"

#include "quorvale/setup/directory.h"

namespace quorvale::setup {

Complete::Complete(SetupProgram& program) : WizardPage(program, "Complete") {
  const auto& t = program.Texts();
  const bool has_run = program.Rules().complete_has_run;
  PlaceFrame(LogoImage, Frame1);
  PlaceLogoColumn(LogoImage);
  PlaceButtons(nullptr, CompleteButton, ExitButton);
  CompleteButton.SetCaption("完成(&C) >");
  ExitButton.SetCaption("退出(&C)");
  Label1.SetCaption("恭喜，您已经安装成功！");
  Label1.SetFontBold(true);
  Label2.SetCaption(t.complete_label2);
  Label3.SetCaption("单击“完成”关闭安装向导。");
  Run.SetCaption("运行控制台程序");
  ReadMe.SetCaption("查看说明文件");
  PlaceBesideLogo(Label1, 360, 375);
  PlaceBesideLogo(Label2, 1080, 495);
  PlaceBesideLogo(Run, 2040, 255);
  // Without the Run box the ReadMe box takes its place.
  PlaceBesideLogo(ReadMe, has_run ? 2400 : 2040, 255);
  PlaceBesideLogo(Label3, 3480, 255);
  Run.SetValue(has_run ? ui::CheckBox::kChecked : ui::CheckBox::kUnchecked);
  Run.SetVisible(has_run);
  ReadMe.SetValue(ui::CheckBox::kChecked);
  CompleteButton.OnClick([this] { CompleteButtonClick(); });
  ExitButton.OnClick([this] { End(); });
}

void Complete::CompleteButtonClick() {
  // A start that fails is skipped; the program ends in any case.
  const std::string folder = Program().Page<DirectoryPage>().Directory.Text();
  if (Run.Value() == ui::CheckBox::kChecked) {
    Resume([&] { Program().StartProgram(folder + "\\Quorvale.exe"); });
  }
  if (ReadMe.Value() == ui::CheckBox::kChecked) {
    Resume([&] { Program().StartProgram("notepad.exe " + folder + "\\说明.txt"); });
  }
  End();
}

}  // namespace quorvale::setup
