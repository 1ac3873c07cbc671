#include "quorvale/client/data_base_page.h"

#include <initializer_list>

#include "quorvale/setup/ado_calls.h"
#include "quorvale/setup/odbc_connection.h"
#include "quorvale/setup/sql_statements.h"

namespace quorvale::client {

using setup::Arrival;

namespace {

// The two frames reach below the shared bottom band, so this page is taller
// and its separator and buttons sit lower by this much.
constexpr int kTaller = 840;

// One row of a frame: the label at the left, the box beside it.
void PlaceRow(ui::Frame& frame, ui::Label& label, const char* caption, ui::TextBox& box, int row) {
  label.SetContainer(frame);
  box.SetContainer(frame);
  label.SetCaption(caption);
  label.Move(180, 420 + 480 * row, 1080, 255);
  box.Move(1260, 360 + 480 * row, 1995, 315);
}

}  // namespace

DataBasePage::DataBasePage(setup::SetupProgram& program) : WizardPage(program, "DataBase") {
  Move(0, 0, setup::kPageWidth, setup::kPageHeight + kTaller);
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Frame1, &StepButton, &NextButton, &CancelButton})
    c->Move(c->Left(), c->Top() + kTaller, c->Width(), c->Height());
  NextButton.SetCaption("下一步(&N) >");
  PlaceHeader(Label2, "请选择数据库类型", Label3, "您的主控端使用何种数据库类型？");
  Label1.SetCaption("请选择数据库类型：");
  Place(Label1, 360, 1440, 6000, 255);
  Access.SetCaption("Access 数据库");
  Place(Access, 600, 1890, 3000, 255);
  SQLServer.SetCaption("SQL Server 数据库");
  Place(SQLServer, 600, 2280, 3000, 255);

  Frame2.SetCaption("数据库连接参数");
  Place(Frame2, 240, 2670, 3435, 1785);
  PlaceRow(Frame2, Label29, "服务器：", MSSQLServer, 0);
  PlaceRow(Frame2, Label28, "管理员帐号：", MSSQLUserName, 1);
  PlaceRow(Frame2, Label27, "管理员密码：", MSSQLPassWord, 2);
  MSSQLServer.SetToolTipText("MSSQL数据库服务器");
  MSSQLUserName.SetToolTipText("MSSQL数据库管理员帐号");
  MSSQLPassWord.SetToolTipText("MSSQL数据库管理员密码");
  Frame3.SetCaption("新建数据库参数");
  Place(Frame3, 3810, 2670, 3465, 1785);
  PlaceRow(Frame3, Label5, "数据库名：", DataBase, 0);
  PlaceRow(Frame3, Label6, "数据库帐号：", UserName, 1);
  PlaceRow(Frame3, Label7, "数据库密码：", PassWord, 2);
  Label4.SetCaption("注意：如果您选择使用SQL Server 数据库，请确保您已安装SQL Server 2000 数据库");
  Place(Label4, 360, 4560, 6825, 480);

  MSSQLServer.SetText("(local)");
  MSSQLUserName.SetText("sa");
  MSSQLPassWord.SetPasswordChar("*");
  DataBase.SetText("Quorvale");
  UserName.SetText("Quorvale");
  PassWord.SetPasswordChar("*");

  Access.OnClick([this] { ShowServerBoxes(false); });
  SQLServer.OnClick([this] { ShowServerBoxes(true); });
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
  Access.SetValue(true);
  ShowServerBoxes(false);
}

ui::Control* DataBasePage::EntryFocus(Arrival how) {
  if (how == Arrival::Back && SQLServer.Value()) return &SQLServer;
  return &Access;
}

std::string DataBasePage::DataFilePath() const {
  return SQLServer.Value() ? "Data\\" + DataBase.Text() + ".mdf" : "";
}

void DataBasePage::FillChoices(ClientChoices& choices) const {
  choices.access = Access.Value();
  choices.sql_server = SQLServer.Value();
  choices.administrator = {MSSQLServer.Text(), MSSQLUserName.Text(), MSSQLPassWord.Text()};
  choices.database = {DataBase.Text(), UserName.Text(), PassWord.Text()};
}

void DataBasePage::ShowServerBoxes(bool on) {
  for (ui::TextBox* box : {&MSSQLServer, &MSSQLUserName, &MSSQLPassWord, &DataBase, &UserName, &PassWord})
    box->SetEnabled(on);
  Frame2.SetVisible(on);
  Frame3.SetVisible(on);
}

void DataBasePage::NextButtonClick() {
  if (SQLServer.Value()) {
    static const struct {
      ui::TextBox DataBasePage::*box;
      const char* message;
      const setup::ValueRule& rule;
    } boxes[] = {
        {&DataBasePage::MSSQLServer, "请输入SQL服务器地址!", setup::kMSSQLServerRule},
        {&DataBasePage::MSSQLUserName, "请输入SQL数据库管理远帐号!", setup::kMSSQLUserNameRule},
        {&DataBasePage::MSSQLPassWord, "请输入SQL数据库管理密码!", setup::kMSSQLPassWordRule},
        {&DataBasePage::DataBase, "请输入新建立数据库的数据库名!", setup::kDataBaseRule},
        {&DataBasePage::UserName, "请输入新建立数据库的数据库帐号!", setup::kUserNameRule},
        {&DataBasePage::PassWord, "请输入新建立数据库的数据库密码", setup::kPassWordRule},
    };
    for (const auto& b : boxes) {
      if ((this->*b.box).Text().empty()) return InputError(b.message, &(this->*b.box));
    }
    for (const auto& b : boxes) {
      if (Refused(this->*b.box, b.rule)) return;
    }
    if (!ServerAccepts()) return;
  }
  GoNext();
}

bool DataBasePage::ServerAccepts() {
  namespace d = setup::detail;
  Err& err = Program().PageErr();
  ComPtr<IDispatch> connection;
  if (!d::Connect(err, connection,
                  setup::SqlServerConnection(MSSQLServer.Text(), MSSQLUserName.Text(), MSSQLPassWord.Text(),
                                             "master"))) {
    InputError("SQL Server数据库连接失败!", nullptr);
    return false;
  }
  // A query that cannot be run, or whose end cannot be read, counts as a
  // hit: the name is refused rather than taken on trust.
  auto found = [&](const std::string& query) {
    err.Clear();
    Variant rs;
    d::Execute(err, connection.get(), query, &rs);
    const bool at_end = d::AtEnd(err, rs);
    return static_cast<bool>(err) || !at_end;
  };
  if (found(setup::DatabasePresentQuery(DataBase.Text()))) {
    InputError("您输入新建立的数据库名已经存在!", nullptr);
    return false;
  }
  if (found(setup::LoginPresentQuery(UserName.Text()))) {
    InputError("您输入新建立的数据库帐号已经存在!", nullptr);
    return false;
  }
  d::Close(err, connection.get());
  return true;
}

}  // namespace quorvale::client
