#include "quorvale/setup/complete_page.h"

#include "quorvale/setup/directory_page.h"

namespace quorvale::setup {

CompletePage::CompletePage(SetupProgram& program) : WizardPage(program, "Complete") {
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
  ExitButton.OnClick([this] { Leave(); });
}

void CompletePage::ShowFailure(const std::string& missing, const std::string& folder) {
  const auto& t = Program().Texts();
  Label1.SetCaption("安装失败！");
  Label2.SetCaption(ProductName(t.end) + "没有安装成功，缺少：" + missing +
                    "。\r\n\r\n请检查安装目录所在磁盘的剩余空间、安装目录路径的长度以及磁盘能否写入，"
                    "然后重新运行安装程序。");
  // The boxes' room goes to the text, and the hint moves down to the
  // separator, so that the most that can be missing shows whole.
  PlaceBesideLogo(Label2, 1080, 2760);
  PlaceBesideLogo(Label3, 3960, 255);
  for (ui::CheckBox* box : {&Run, &ReadMe}) {
    box->SetValue(ui::CheckBox::kUnchecked);
    box->SetVisible(false);
  }
  failure_ = "安装失败，缺少：" + missing + "（安装目录 " + folder + "）";
}

void CompletePage::Leave() {
  if (Failed()) EndWith(Outcome::kFailed, failure_);
  EndWith(Outcome::kCompleted, "installed in " + Program().Page<DirectoryPage>().Folder());
}

void CompletePage::CompleteButtonClick() {
  // A start that fails is skipped; the program ends in any case.
  const std::string folder = Program().Page<DirectoryPage>().Folder();
  if (Run.Value() == ui::CheckBox::kChecked) {
    Resume([&] { Program().StartProgram(folder + "\\Quorvale.exe"); });
  }
  if (ReadMe.Value() == ui::CheckBox::kChecked) {
    Resume([&] { Program().StartProgram("notepad.exe " + folder + "\\说明.txt"); });
  }
  Leave();
}

}  // namespace quorvale::setup
