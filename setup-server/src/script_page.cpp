#include "quorvale/server/script_page.h"

#include "quorvale/server/page_parts.h"
#include "quorvale/server/serv_u_page.h"
#include "quorvale/server/service_page.h"

namespace quorvale::server {

ScriptPage::ScriptPage(setup::SetupProgram& program) : WizardPage(program, "Script") {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption(program.Texts().next_caption);
  PlaceHeader(Label2, "脚本设置", Label3, "设置相关支持脚本执行文件路径");
  SetUpPathGroups({Label1, PHPFile, PHPView}, "请选择PHP脚本执行程序路径：（例如：C:\\php\\php.exe）",
                  {Label4, CGIFile, CGIView},
                  "请选择CGI脚本执行程序路径：（例如：C:\\Perl\\bin\\perl.exe \"%s\" %s）");
  PHPView.OnClick([this] { Browse(PHPFile, "请选择PHP执行程序路径..."); });
  CGIView.OnClick([this] { Browse(CGIFile, "请选择CGI执行程序路径..."); });
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

ui::Control* ScriptPage::EntryFocus(setup::Arrival) {
  const auto& service = Program().Page<ServicePage>();
  if (service.PHPChosen()) return &PHPFile;
  if (service.CGIChosen()) return &CGIFile;
  return nullptr;
}

void ScriptPage::FillChoices(setup::ServerChoices& choices) const {
  choices.php_file = PHPFile.Text();
  choices.cgi_file = CGIFile.Text();
}

void ScriptPage::OnLoad() {
  WizardPage::OnLoad();
  // The interpreters from their usual places.
  ProposeFirstPresent(*this, PHPFile, {"C:\\php\\php.exe", "C:\\php\\sapi\\php4isapi.dll"});
  ProposeFirstPresent(*this, CGIFile, {"C:\\Perl\\bin\\perl.exe"});
}

void ScriptPage::OnActivate() {
  const auto& service = Program().Page<ServicePage>();
  LayOutPathGroups({Label1, PHPFile, PHPView}, service.PHPChosen(), {Label4, CGIFile, CGIView},
                   service.CGIChosen());
}

void ScriptPage::Browse(ui::TextBox& box, const char* title) {
  const std::string filter =
      std::string("ISAPI dll 文件(*.dll)") + '\0' + "*.dll" + '\0' + "CGI Exe 文件(*.exe)" + '\0' + "*.exe";
  TakeChosenPath(*this, box, Program().Page<ServUPage>().OpenFile(*this, filter, title));
}

void ScriptPage::NextButtonClick() {
  const auto& service = Program().Page<ServicePage>();
  if (service.PHPChosen() && PHPFile.Text().empty())
    return InputError("请选择PHP脚本执行程序路径", &PHPFile, "安装");
  if (service.CGIChosen() && CGIFile.Text().empty())
    return InputError("请选择CGI脚本执行程序路径", &CGIFile, "安装");
  if (service.PHPChosen() && Refused(PHPFile, setup::kPHPFileRule, "安装")) return;
  if (service.CGIChosen() && Refused(CGIFile, setup::kCGIFileRule, "安装")) return;
  GoNext();
}

}  // namespace quorvale::server
