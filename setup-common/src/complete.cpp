#include "quorvale/setup/complete.h"

#include "quorvale/setup/directory.h"

namespace quorvale::setup {

Complete::Complete(SetupProgram& program) : WizardPage(program, "Complete") {
  const auto& t = program.Texts();
  PlaceFrame(LogoImage, Frame1);
  Place(LogoImage, 0, 0, 2490, 4320);
  PlaceButtons(nullptr, CompleteButton, ExitButton);
  CompleteButton.SetCaption("完成(&C) >");
  ExitButton.SetCaption("退出(&C)");
  Label1.SetCaption("恭喜，您已经安装成功！");
  Label1.SetFontBold(true);
  Label2.SetCaption(t.complete_label2);
  Label3.SetCaption("单击“完成”关闭安装向导。");
  Run.SetCaption("运行控制台程序");
  ReadMe.SetCaption("查看说明文件");
  Place(Label1, 2640, 360, 4695, 375);
  Place(Label2, 2640, 1080, 4695, 495);
  Place(Run, 2640, 2040, 4695, 255);
  Place(ReadMe, 2640, 2400, 4695, 255);
  Place(Label3, 2640, 3480, 4695, 255);
  Run.SetValue(t.complete_has_run ? ui::CheckBox::kChecked : ui::CheckBox::kUnchecked);
  Run.SetVisible(t.complete_has_run);
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
