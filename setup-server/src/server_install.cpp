#include "quorvale/server/server_install.h"

#include "quorvale/com/create_object.h"
#include "quorvale/setup/install_check.h"
#include "quorvale/setup/install_records.h"
#include "quorvale/setup/payload_recipe.h"
#include "quorvale/setup/welcome_page.h"

namespace quorvale::server {

using namespace setup;

// A row without a caption whose work is a shared recipe shows that recipe's
// steps; its bar is the one the recipe ends at. Those captions, lines and
// widths are the recipe's variant in setup-common (docs/setup-recipes.md).
const std::vector<ServerInstall::Step>& ServerInstall::Steps() {
  using S = ServerInstall;
  static const std::vector<Step> steps = {
      {.caption = "正在准备安装...", .bar = 50, .work = &S::ReadChoices},
      {.caption = "建立安装目录...", .line = "正在建立目标安装目录...", .bar = 100, .work = &S::MakeFolder},
      {.bar = 2700, .work = &S::Unpack},
      {.bar = 3600, .work = &S::BuildMailSite, .when = &S::WithWinWebMail},
      {.bar = 3800, .work = &S::PlaceMailPage, .when = &S::WithWinWebMail},
      {.bar = 3900, .work = &S::RegisterMailComponent, .when = &S::WithWinWebMail},
      // In place of the mail steps: no caption, no list line.
      {.bar = 3900, .work = &S::RemoveMailFiles, .when = &S::WithoutWinWebMail},
      {.bar = 5200, .work = &S::RegisterControls},
      {.bar = 5900, .work = &S::CompleteConfiguration},
      {.caption = "正在注册系统服务...", .bar = 6000, .work = &S::InstallService},
      {.caption = "正在建立快捷方式到桌面...", .bar = 6200, .work = &S::MakeShortcut},
      {.caption = "正在删除安装文件...", .bar = 6500, .work = &S::DeleteUnpackingFiles},
      {.caption = "正在配置反安装系统...", .bar = 6600, .work = &S::RecordInstallation},
      // Only when the install did not happen: a line of its own.
      {.work = &S::CheckInstallation},
  };
  return steps;
}

void ServerInstall::ReadChoices() {
  choices_ = ServerEnd::Choices(Program());
  system_folder_ = helpers_.GetSystemFolder();
}

void ServerInstall::MakeFolder() {
  Resume([&] { helpers_.CreateDir(Folder()); });
}

void ServerInstall::Unpack() { UnpackPayload(Page(), kServerEndPayload, Folder()); }

void ServerInstall::BuildMailSite() {
  SiteRequest request;
  request.folder = choices_.winwebmail_path;
  mail_site_ = BuildSite(Page(), kMailSite, request);
}

void ServerInstall::PlaceMailPage() {
  RegisterComponents(Page(), kMailPage, Places(choices_.winwebmail_path + "\\Web"));
}

void ServerInstall::RegisterMailComponent() { RegisterComponents(Page(), kMailComponent, Places(Folder())); }

void ServerInstall::RemoveMailFiles() { RegisterComponents(Page(), kNoMailFiles, Places(Folder())); }

void ServerInstall::RegisterControls() {
  RegisterComponents(Page(), kServerControls, Places(system_folder_));
}

void ServerInstall::CompleteConfiguration() {
  Resume([&] { choices_.os_name = Program().Page<WelcomePage>().GetOSName(); });
  CompleteSystemIni(Page(), helpers_, choices_);
}

void ServerInstall::InstallService() {
  // Only registered, not started; the file came with the archive, whose last
  // file the mail steps waited for.
  StartHidden(SequenceErr(), helpers_.ShortPath(Folder() + "\\Service.exe") + " -install");
}

void ServerInstall::MakeShortcut() {
  ComPtr<IDispatch> shell;
  Variant desktop, link;
  Resume([&] { shell = CreateObject("WScript.Shell"); });
  Resume([&] {
    Variant name("Desktop");
    desktop = Call(shell.get(), "SpecialFolders", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&name});
  });
  Resume([&] {
    const auto folder = desktop.TextForm();
    if (!folder) Raise(Error::kTypeMismatch);
    link = CallMethod(shell.get(), "CreateShortcut", {*folder + "\\Quorvale.lnk"});
  });
  Resume([&] { PutProperty(DispatchOf(link), "Description", ProductDescription(InstallEnd::kServer)); });
  Resume([&] { PutProperty(DispatchOf(link), "TargetPath", Folder() + "\\Quorvale.exe"); });
  Resume([&] { PutProperty(DispatchOf(link), "WindowStyle", std::int32_t{4}); });
  Resume([&] { CallMethod(DispatchOf(link), "Save"); });
}

void ServerInstall::DeleteUnpackingFiles() {
  Page().MoveBar(6300);
  Resume([&] { helpers_.ToDeleteFile(Folder() + "\\Quorvale.rar"); });
  Page().MoveBar(6400);
  Resume([&] { helpers_.ToDeleteFile(Folder() + "\\Rar.exe"); });
}

void ServerInstall::RecordInstallation() {
  Page().MoveBar(6600);
  // The registry entry first, whole; then the record beside the files.
  Resume([&] { WriteUninstallEntry(helpers_, InstallEnd::kServer, Folder()); });
  ServerEndRecord record;
  record.SetupDir = Folder();
  record.Mail = choices_.winwebmail ? MailSystem::kWinWebMail
                : choices_.imail    ? MailSystem::kIMail
                                    : MailSystem::kNoMail;
  record.SiteNum = mail_site_.number;
  record.WinWebMailPath = choices_.winwebmail_path;
  Resume([&] { WriteServerEndRecord(helpers_, record); });
}

void ServerInstall::CheckInstallation() {
  InstallEssentials essentials{InstallEnd::kServer,
                               Folder(),
                               {"Quorvale.exe", "Service.exe", "System.ini", "Uninstall.exe"},
                               system_folder_,
                               &kServerControls};
  if (choices_.winwebmail) essentials.folder_files.push_back("WinWebMail.dll");
  setup::CheckInstallation(Page(), helpers_, helpers_, essentials);
}

ComponentPlaces ServerInstall::Places(const std::string& target) const {
  ComponentPlaces places;
  places.source = Folder();
  places.target = target;
  places.waits = &helpers_;
  return places;
}

}  // namespace quorvale::server
