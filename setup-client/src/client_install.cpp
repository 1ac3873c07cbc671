#include "quorvale/client/client_install.h"

#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/setup/install_check.h"
#include "quorvale/setup/install_records.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/payload_recipe.h"
#include "quorvale/win32/vb_random.h"

namespace quorvale::client {

using namespace setup;

// A row whose work reports its own steps (a shared recipe) shows nothing
// itself; its width is the one the recipe ends on.
const std::vector<ClientInstall::Step>& ClientInstall::Steps() {
  using S = ClientInstall;
  static const std::vector<Step> steps = {
      {.caption = "正在准备安装...", .bar = 50, .work = &S::ReadChoices},
      {.caption = "建立安装目录...", .line = "正在建立目标安装目录...", .bar = 200, .work = &S::MakeFolder},
      {.bar = 2800, .work = &S::Unpack},
      {.bar = 3700, .work = &S::BuildPanelSite},
      {.bar = 4500, .work = &S::AttachPanelDatabase, .when = &S::WithSqlServer},
      {.caption = "正在设置站点数据库文件...",
       .bar = 4500,
       .work = &S::KeepAccessDatabase,
       .when = &S::WithoutSqlServer},
      {.bar = 5700, .work = &S::RegisterComponents},
      {.caption = "正在修改网站配置文件...", .bar = 5900, .work = &S::EditSettings},
      {.caption = "正在删除安装文件...", .bar = 6600, .work = &S::DeleteInstallFiles},
      {.caption = "正在配置反安装系统...", .bar = 6750, .work = &S::WriteRecords},
      // Only when the install did not happen: a line of its own.
      {.work = &S::CheckInstallation},
  };
  return steps;
}

void ClientInstall::ReadChoices() {
  Resume([&] { sysdir_ = SystemHelpers::GetSystemFolder(); });
  Resume([&] { windir_ = SystemHelpers::GetWindowsFolder(); });
  Resume([&] {
    win32::Randomize();
    pw_ = SystemHelpers::GetLetter(32);
  });
  choices_ = ClientEnd::Choices(Program());
}

void ClientInstall::MakeFolder() {
  Resume([&] { ClientEnd::Helpers::CreateDir(Folder()); });
}

void ClientInstall::Unpack() { UnpackPayload(Page(), kControlEndPayload, Folder()); }

void ClientInstall::BuildPanelSite() {
  site_ = BuildSite(
      Page(), kPanelSite,
      {.folder = Folder(), .host = choices_.domain, .password = pw_, .number = "", .waits = &helpers_});
}

void ClientInstall::AttachPanelDatabase() {
  AttachDatabase(Page(), helpers_, choices_.administrator, choices_.database, Folder());
}

void ClientInstall::RegisterComponents() {
  setup::RegisterComponents(Page(), kControlComponents,
                            {.source = Folder(),
                             .target = sysdir_,
                             .windows = windir_,
                             .account = site_.account,
                             .waits = &helpers_});
}

void ClientInstall::EditSettings() {
  Page().MoveBar(5800);
  const auto& db = choices_.database;
  if (WithSqlServer())
    Resume([&] {
      EditConnectionSettings(Folder(), choices_.administrator.server, db.login, db.password, db.name);
    });
}

void ClientInstall::DeleteInstallFiles() {
  Page().MoveBar(6000);
  const struct {
    const char* file;
    int width;
  } files[] = {{"\\Quorvale.rar", 6200}, {"\\Rar.exe", 6400}, {"\\DodIde.dll", 6600}};
  for (const auto& f : files) {
    Resume([&] { helpers_.ToDeleteFile(Folder() + f.file); });
    Page().MoveBar(f.width);
  }
}

void ClientInstall::WriteRecords() {
  Page().MoveBar(6700);
  Resume([&] { WriteUninstallEntry(helpers_, InstallEnd::kControl, Folder()); });
  Page().MoveBar(6750);
  ControlEndRecord record;
  record.DataType = choices_.access ? "Access" : "SQL";
  if (WithSqlServer()) record.SetSqlServer(choices_.administrator, choices_.database, Folder());
  record.SetupDir = Folder();
  record.DomainName = choices_.domain;
  record.SiteNum = site_.number;
  record.User = site_.account;
  Resume([&] { WriteControlEndRecord(helpers_, record); });
}

void ClientInstall::CheckInstallation() {
  setup::CheckInstallation(Page(), helpers_, helpers_,
                           {.end = InstallEnd::kControl,
                            .folder = Folder(),
                            .folder_files = {"Uninstall.exe", "Web\\Inc\\Conn.asp"},
                            .system_folder = sysdir_,
                            .components = &kControlComponents});
}

}  // namespace quorvale::client
