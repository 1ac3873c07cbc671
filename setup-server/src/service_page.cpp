#include "quorvale/server/service_page.h"

namespace quorvale::server {

namespace {
// The three rows of choices, each after its group label (twips).
constexpr int kLabelLeft = 510, kLabelWidth = 1095, kBoxLeft = 1620, kBoxHeight = 315;
constexpr int kScriptTop = 1770, kMailTop = 2370, kDatabaseTop = 2970;
constexpr int kNarrow = 855, kWide = 1545;
}  // namespace

ServicePage::ServicePage(setup::SetupProgram& program) : WizardPage(program, "Service") {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption(program.Texts().next_caption);
  PlaceHeader(Label2, "请选择您要安装的服务", Label3, "请选择Quorvale虚拟主机管理系统需要安装的服务");
  Label1.SetCaption("请选择Quorvale虚拟主机管理系统被控端需要安装的服务：");
  Place(Label1, kLabelLeft, 1320, 6585, 255);

  Label4.SetCaption("支持脚本：");
  Place(Label4, kLabelLeft, kScriptTop + 30, kLabelWidth, 255);
  struct ScriptBox {
    ui::CheckBox& box;
    const char* caption;
    int width;
  } scripts[] = {{HTM, "HTM", kNarrow}, {ASP, "ASP", kNarrow}, {NET, "ASP.Net", 1080},
                 {PHP, "PHP", kNarrow}, {CGI, "CGI", kNarrow}, {WAP, "WAP", kNarrow}};
  int left = kBoxLeft;
  for (auto& s : scripts) {
    s.box.SetCaption(s.caption);
    s.box.SetValue(ui::CheckBox::kChecked);
    Place(s.box, left, kScriptTop, s.width, kBoxHeight);
    left += s.width + 45;
  }
  // Their script maps are always configured.
  HTM.SetEnabled(false);
  ASP.SetEnabled(false);

  Label5.SetCaption("企业邮局：");
  Place(Label5, kLabelLeft, kMailTop + 30, kLabelWidth, 255);
  NoMail.SetCaption("无");
  iMail.SetCaption("iMail");
  WinWebMail.SetCaption("WinWebMail");
  Place(NoMail, kBoxLeft, kMailTop, kNarrow, kBoxHeight);
  Place(iMail, kBoxLeft + 900, kMailTop, kNarrow, kBoxHeight);
  Place(WinWebMail, kBoxLeft + 1800, kMailTop, kWide, kBoxHeight);
  NoMail.SetValue(true);

  Label6.SetCaption("数据库：");
  Place(Label6, kLabelLeft, kDatabaseTop + 30, kLabelWidth, 255);
  SQLServer.SetCaption("SQL Server");
  MySQL.SetCaption("MySQL");
  Place(SQLServer, kBoxLeft, kDatabaseTop, kWide, kBoxHeight);
  Place(MySQL, kBoxLeft + 1800, kDatabaseTop, kWide, kBoxHeight);
  SQLServer.SetValue(ui::CheckBox::kChecked);
  MySQL.SetValue(ui::CheckBox::kChecked);

  NextButton.OnClick([this] { GoNext(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

void ServicePage::FillChoices(setup::ServerChoices& choices) const {
  choices.imail = IMailChosen();
  choices.winwebmail = WinWebMailChosen();
  choices.sql_server = SQLServer.Value();
  choices.my_sql = MySQL.Value();
  choices.net = NET.Value();
  choices.cgi = CGI.Value();
  choices.php = PHP.Value();
  choices.wap = WAP.Value();
}

}  // namespace quorvale::server
