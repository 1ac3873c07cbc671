#include "quorvale/client/client_install.h"

#include "quorvale/client/database_page.h"
#include "quorvale/client/domain_page.h"
#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/setup/directory.h"
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
      {"正在准备安装...", nullptr, 50, &S::ReadChoices},
      {"建立安装目录...", "正在建立目标安装目录...", 200, &S::MakeFolder},
      {"", nullptr, 2800, &S::Unpack},
      {"", nullptr, 3700, &S::BuildPanelSite},
      {"", nullptr, 4500, &S::AttachPanelDatabase, nullptr, &S::WithSqlServer},
      {"正在设置站点数据库文件...", nullptr, 4500, &S::KeepAccessDatabase, nullptr, &S::WithoutSqlServer},
      {"", nullptr, 5700, &S::RegisterComponents},
      {"正在修改网站配置文件...", nullptr, 5900, &S::EditSettings},
      {"正在删除安装文件...", nullptr, 6600, &S::DeleteInstallFiles},
      {"正在配置反安装系统...", nullptr, 6750, &S::WriteRecords},
      // Only when the install did not happen: a line of its own.
      {"", nullptr, 0, &S::CheckInstallation},
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
  const auto& database = Program().Page<DataBasePage>();
  access_ = database.Access.Value();
  sqlserver_ = database.SQLServer.Value();
  server_ = database.MSSQLServer.Text();
  admin_ = database.MSSQLUserName.Text();
  admin_pw_ = database.MSSQLPassWord.Text();
  db_ = database.DataBase.Text();
  login_ = database.UserName.Text();
  login_pw_ = database.PassWord.Text();
  folder_ = Program().Page<DirectoryPage>().Directory.Text();
  domain_ = Program().Page<DomainPage>().Domain.Text();
}

void ClientInstall::MakeFolder() {
  Resume([&] { ClientEnd::Helpers::CreateDir(folder_); });
}

void ClientInstall::Unpack() { UnpackPayload(Page(), kControlEndPayload, folder_); }

void ClientInstall::BuildPanelSite() {
  site_ = BuildSite(Page(), kPanelSite,
                    {.folder = folder_, .host = domain_, .password = pw_, .number = "", .waits = &helpers_});
}

void ClientInstall::AttachPanelDatabase() {
  AttachDatabase(Page(), helpers_, {.server = server_, .uid = admin_, .pwd = admin_pw_},
                 {.name = db_, .login = login_, .password = login_pw_}, folder_);
}

void ClientInstall::RegisterComponents() {
  setup::RegisterComponents(Page(), kControlComponents,
                            {.source = folder_,
                             .target = sysdir_,
                             .windows = windir_,
                             .account = site_.account,
                             .waits = &helpers_});
}

void ClientInstall::EditSettings() {
  Page().MoveBar(5800);
  if (sqlserver_) Resume([&] { EditConnectionSettings(folder_, server_, login_, login_pw_, db_); });
}

void ClientInstall::DeleteInstallFiles() {
  Page().MoveBar(6000);
  const struct {
    const char* file;
    int width;
  } files[] = {{"\\Quorvale.rar", 6200}, {"\\Rar.exe", 6400}, {"\\DodIde.dll", 6600}};
  for (const auto& f : files) {
    Resume([&] { helpers_.ToDeleteFile(folder_ + f.file); });
    Page().MoveBar(f.width);
  }
}

void ClientInstall::WriteRecords() {
  Page().MoveBar(6700);
  Resume([&] { WriteUninstallEntry(helpers_, InstallEnd::kControl, folder_); });
  Page().MoveBar(6750);
  ControlEndRecord record;
  record.DataType = access_ ? "Access" : "SQL";
  if (sqlserver_) {
    record.MSSQLServer = server_;
    record.MSSQLUserName = admin_;
    record.MSSQLPassWord = admin_pw_;
    record.SQLDataBase = db_;
    record.SQLUserName = login_;
    record.SQLPassWord = login_pw_;
    record.SetDataFiles(folder_, db_);
  }
  record.SetupDir = folder_;
  record.DomainName = domain_;
  record.SiteNum = site_.number;
  record.User = site_.account;
  Resume([&] { WriteControlEndRecord(helpers_, record); });
}

void ClientInstall::CheckInstallation() {
  setup::CheckInstallation(Page(), helpers_, helpers_,
                           {.end = InstallEnd::kControl,
                            .folder = folder_,
                            .folder_files = {"Uninstall.exe", "Web\\Inc\\Conn.asp"},
                            .system_folder = sysdir_,
                            .components = &kControlComponents});
}

}  // namespace quorvale::client
