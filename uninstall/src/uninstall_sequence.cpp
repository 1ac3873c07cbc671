#include "quorvale/uninstall/uninstall_sequence.h"

#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/install_records.h"
#include "quorvale/setup/site_recipe.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/uninstall/repair_folder.h"
#include "quorvale/uninstall/uninstall_complete_page.h"

namespace quorvale::uninstall {

using namespace setup;

namespace {

constexpr const char* kTitle = "卸载";
constexpr const char* kRecordFailed = "主控端配置文件参数调用失败，无法进行卸载操作！";

}  // namespace

// A step that is skipped leaves the bar where it is, except where the
// table moves it past the step (the rows without a caption); a width of
// 0 leaves the bar to the work (the shared recipes).
const std::vector<UninstallSequence::Step>& UninstallSequence::Steps() {
  using S = UninstallSequence;
  static const std::vector<Step> steps = {
      {.caption = "正在准备卸载主控端程序...", .bar = 200, .work = &S::TakeFolders},
      {.bar = 300, .work = &S::ReadRecord},
      {.caption = "正在准备删除主控端站点...", .bar = 300, .work = &S::FindSite, .when = &S::WithSiteNumber},
      {.bar = 1000, .work = &S::Skip, .when = &S::WithoutSiteNumber},
      {.caption = "正在删除网站独立帐户...",
       .bar = 500,
       .work = &S::RemoveAccount,
       .failure = "网站独立帐户删除失败...",
       .when = &S::SitePresent},
      {.caption = "正在删除主控端站点...",
       .bar = 1000,
       .work = &S::RemoveSite,
       .failure = "主控端站点删除失败...",
       .when = &S::SitePresent},
      {.caption = "正在准备删除数据库...",
       .bar = 1800,
       .work = &S::ConnectAdministrator,
       .when = &S::WithSqlServer},
      {.bar = 2500, .work = &S::Skip, .when = &S::NotConnected},
      {.work = &S::RemoveDatabase, .when = &S::Connected},
      {.work = &S::RemoveComponents},
      {.caption = "正在更新注册表...", .bar = kBarFull, .work = &S::DeleteEntry},
  };
  return steps;
}

bool UninstallSequence::WithSqlServer() const { return IsSqlServerType(kind_); }

void UninstallSequence::TakeFolders() {
  folder_ = RepairFolder(Program().AppPath());
  Resume([&] { windir_ = SystemHelpers::GetWindowsFolder(); });
  Resume([&] { sysdir_ = SystemHelpers::GetSystemFolder(); });
  Helpers().StopOnDamagedMachine(kTitle);
  Page().MoveBar(100);
  Resume([&] { record_present_ = UninstallRecordPresent(folder_); });
}

void UninstallSequence::ReadRecord() {
  if (!record_present_) return;
  // A record that is there but cannot be read would leave the site and
  // the database behind, their traces gone with the install folder.
  ControlEndRecord r;
  if (!Resume([&] { r = ReadControlEndRecord(Helpers(), folder_); }))
    Helpers().Stop(kRecordFailed, ui::MsgIcon::Question, kTitle);
  kind_ = r.DataType;
  admin_ = {.server = r.MSSQLServer, .uid = r.MSSQLUserName, .pwd = r.MSSQLPassWord};
  db_ = {.name = r.SQLDataBase, .login = r.SQLUserName, .password = ""};
  site_number_ = r.SiteNum;
  user_ = r.User;
}

void UninstallSequence::FindSite() {
  SequenceErr().Clear();
  site_present_ = SiteExists(SequenceErr(), site_number_);
}

void UninstallSequence::RemoveAccount() { DeleteSiteAccount(SequenceErr(), user_); }

void UninstallSequence::RemoveSite() { DeleteWebSite(SequenceErr(), site_number_); }

void UninstallSequence::ConnectAdministrator() {
  Page().MoveBar(1200);
  administrator_ = OpenAdministrator(Page(), admin_, 1500);
}

void UninstallSequence::RemoveDatabase() { setup::RemoveDatabase(Page(), administrator_.get(), db_); }

void UninstallSequence::RemoveComponents() {
  setup::RemoveComponents(
      Page(), kUninstallComponents,
      {.source = folder_, .target = sysdir_, .windows = windir_, .account = "", .waits = &Helpers()});
}

void UninstallSequence::DeleteEntry() {
  Resume([&] { DeleteUninstallEntry(Helpers()); });
  Program().Page<UninstallCompletePage>().SetTexts("恭喜，软件卸载成功！",
                                                   "您已成功卸载" + ProductName(InstallEnd::kControl) + "。");
}

}  // namespace quorvale::uninstall
