#include "quorvale/server/mail_page.h"

#include <algorithm>
#include <span>

#include "quorvale/server/page_parts.h"
#include "quorvale/server/service_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/win32/vb_files.h"

namespace quorvale::server {

namespace {
// What a listing must find in the mail server's folder, joined to the path
// as it stands; a folder counts for "\web".
struct Entry {
  const char* name;
  int attributes;
};
constexpr Entry kIMailEntries[] = {{"\\IMail.exe", win32::vbNormal}, {"\\IAdmin.exe", win32::vbNormal}};
constexpr Entry kWinWebMailEntries[] = {
    {"\\easymail.exe", win32::vbNormal}, {"\\emsvr.exe", win32::vbNormal}, {"\\web", win32::vbDirectory}};
}  // namespace

MailPage::MailPage(setup::SetupProgram& program) : WizardPage(program, "Mail") {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption(program.Texts().next_caption);
  PlaceHeader(Label2, "企业邮局系统设置", Label3, "配置企业邮局系统的相关参数");
  SetUpPathGroups({Label1, iMailPath, iMailView}, "请选择iMail安装路径：（例如：C:\\iMail）\r\n",
                  {Label4, WinWebMailPath, WinWebMailView},
                  "请选择WinWebMail安装路径：（例如：C:\\WinWebMail）\r\n");
  iMailView.OnClick([this] { Browse(iMailPath, "请选择 iMail 安装路径："); });
  WinWebMailView.OnClick([this] { Browse(WinWebMailPath, "请选择 WinWebMail 安装路径："); });
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

ui::Control* MailPage::EntryFocus(setup::Arrival) {
  const auto& service = Program().Page<ServicePage>();
  if (service.IMailChosen()) return &iMailPath;
  if (service.WinWebMailChosen()) return &WinWebMailPath;
  return nullptr;
}

void MailPage::FillChoices(setup::ServerChoices& choices) const {
  choices.imail_path = iMailPath.Text();
  choices.winwebmail_path = WinWebMailPath.Text();
}

void MailPage::OnActivate() {
  const auto& service = Program().Page<ServicePage>();
  const bool imail = service.IMailChosen(), winwebmail = service.WinWebMailChosen();
  // With no option chosen at all nothing is changed.
  if (service.MailChosen() && !imail && !winwebmail) return;
  LayOutPathGroups({Label1, iMailPath, iMailView}, imail, {Label4, WinWebMailPath, WinWebMailView},
                   winwebmail);
}

void MailPage::Browse(ui::TextBox& box, const char* prompt) {
  TakeChosenPath(*this, box, Program().Page<setup::DirectoryPage>().OpenFolder(*this, prompt));
}

bool MailPage::HoldsMailServer(const std::string& folder, bool winwebmail) {
  const std::span<const Entry> entries =
      winwebmail ? std::span<const Entry>(kWinWebMailEntries) : std::span<const Entry>(kIMailEntries);
  return std::all_of(entries.begin(), entries.end(), [&](const Entry& e) {
    std::string name;
    Resume([&] { name = win32::Dir(folder + e.name, e.attributes); });
    return !name.empty();
  });
}

void MailPage::NextButtonClick() {
  if (Program().Page<ServicePage>().IMailChosen()) {
    if (iMailPath.Text().empty()) return InputError("请选择iMail程序的安装路径!", &iMailPath, "安装");
    if (Refused(iMailPath, setup::kIMailPathRule, "安装")) return;
    if (!HoldsMailServer(iMailPath.Text(), false))
      return InputError("您选择的iMail程序安装路径不正确,请重新选择!", &iMailPath, "安装");
  } else {
    if (WinWebMailPath.Text().empty())
      return InputError("请选择WinWebMail程序的安装路径!", &WinWebMailPath, "安装");
    if (Refused(WinWebMailPath, setup::kWinWebMailPathRule, "安装")) return;
    if (!HoldsMailServer(WinWebMailPath.Text(), true))
      return InputError("您选择的WinWebMail程序安装路径不正确,请重新选择!", &WinWebMailPath, "安装");
  }
  GoNext();
}

}  // namespace quorvale::server
