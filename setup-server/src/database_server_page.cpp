#include "quorvale/server/database_server_page.h"

#include "quorvale/setup/test_connection.h"

namespace quorvale::server {

namespace {
constexpr const char* kTestCaption = "测试连接";
}  // namespace

DatabaseServerPage::DatabaseServerPage(setup::SetupProgram& program, const DatabaseTexts& texts,
                                       ui::TextBox& server, ui::TextBox& user, ui::TextBox& password,
                                       ui::CommandButton& test)
    : WizardPage(program, texts.name),
      texts_(texts),
      server_(server),
      user_(user),
      password_(password),
      test_(test) {}

void DatabaseServerPage::Build() {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption(Program().Texts().next_caption);
  PlaceHeader(Label2, texts_.title, Label3, texts_.subtitle);
  Label1.SetCaption(texts_.prompt);
  Place(Label1, 510, 1320, 6465, 255);
  struct Row {
    ui::Label& label;
    const char* caption;
    ui::TextBox& box;
  } rows[] = {
      {Label29, "服务器：", server_}, {Label28, "管理员帐号：", user_}, {Label27, "管理员密码：", password_}};
  int top = 1770;
  for (std::size_t i = 0; i < 3; ++i) {
    rows[i].label.SetCaption(rows[i].caption);
    Place(rows[i].label, 510, top + 60, 1215, 255);
    Place(rows[i].box, 1770, top, 3645, 345);
    if (texts_.tooltips[i]) rows[i].box.SetToolTipText(texts_.tooltips[i]);
    rows[i].box.SetTabIndex(static_cast<int>(i));
    top += 600;
  }
  server_.SetText(texts_.server);
  user_.SetText(texts_.user);
  password_.SetPasswordChar("*");
  test_.SetCaption(kTestCaption);
  Place(test_, 5610, 1770, 1395, 345);
  test_.SetTabIndex(3);
  test_.OnClick([this] { TestClick(); });
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

void DatabaseServerPage::FillChoices(setup::ServerChoices& choices) const {
  const ui::TextBox* boxes[] = {&server_, &user_, &password_};
  for (std::size_t i = 0; i < 3; ++i) choices.*texts_.choices[i] = boxes[i]->Text();
}

std::string DatabaseServerPage::ConnectionString() const {
  return texts_.connection(server_.Text(), user_.Text(), password_.Text());
}

void DatabaseServerPage::TestClick() {
  test_.SetEnabled(false);
  test_.SetCaption("正在连接...");
  if (setup::TestConnection(Program().PageErr(), ConnectionString())) {
    MsgBox(texts_.test_succeeded, ui::MsgButtons::OK, ui::MsgIcon::Question, "成功");
  } else {
    MsgBox(texts_.test_failed, ui::MsgButtons::OK, ui::MsgIcon::Critical, "错误");
  }
  test_.SetEnabled(true);
  test_.SetCaption(kTestCaption);
  Resume([&] { server_.SetFocus(); });
}

void DatabaseServerPage::NextButtonClick() {
  if (server_.Text().empty()) return InputError(texts_.no_server, &server_);
  if (user_.Text().empty()) return InputError(texts_.no_user, &user_);
  if (password_.Text().empty()) return InputError(texts_.no_password, &password_);
  ui::TextBox* boxes[] = {&server_, &user_, &password_};
  for (std::size_t i = 0; i < 3; ++i)
    if (Refused(*boxes[i], *texts_.rules[i])) return;
  if (!setup::TestConnection(Program().PageErr(), ConnectionString()))
    return InputError(texts_.next_failed, nullptr);
  GoNext();
}

}  // namespace quorvale::server
