#include "quorvale/uninstall/repair_sequence.h"

#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/site_recipe.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/uninstall/repair_folder.h"
#include "quorvale/uninstall/uninstall_complete_page.h"

namespace quorvale::uninstall {

using namespace setup;

namespace {

constexpr const char* kTitle = "修复";
constexpr const char* kWebMissing = "主控端网站文件被移动或删除，无法进行修复操作！";
constexpr const char* kDataMissing = "主控端数据库文件被移动或删除，无法进行修复操作！";
constexpr const char* kSettingsFailed = "主控端配置文件参数调用失败，无法进行修复操作！";
constexpr const char* kNoSqlServer = "您本机未安装SQL Server或不允许访问，无法进行修复操作！";

// Whether anything, a file or a folder, has that name.
bool Named(const std::string& path) { return FileExists(path) || FolderExists(path); }

}  // namespace

// Rows whose work reports its own steps (the shared recipes), and the
// checks, show nothing themselves; a width of 0 leaves the bar to the work.
const std::vector<RepairSequence::Step>& RepairSequence::Steps() {
  using S = RepairSequence;
  static const std::vector<Step> steps = {
      {.caption = "正在准备修复主控端程序...", .bar = 100, .work = &S::TakeFolders},
      {.work = &S::CheckFolders},
      {.bar = 200, .work = &S::ReadRecord},
      {.bar = 300, .work = &S::ReadSettingsText},
      {.bar = 400, .work = &S::ReadSettings},
      {.bar = 600, .work = &S::DrawNumber},
      {.bar = 700, .work = &S::ChooseValues},
      {.work = &S::CheckValues},
      {.bar = 800, .work = &S::ConnectAdministrator, .when = &S::WithSqlServer},
      {.bar = 900, .work = &S::FindDataFiles, .when = &S::WithSqlServer},
      {.work = &S::RebuildSite},
      {.work = &S::RebuildDatabase, .when = &S::WithSqlServer},
      {.work = &S::RegisterComponents},
      {.caption = "正在修改网站配置文件...", .bar = 6300, .work = &S::RewriteSettings},
      {.caption = "正在配置反安装系统...", .work = &S::WriteRecords},
      {.caption = "主控端修复完毕...", .bar = kBarFull, .work = &S::Finish},
  };
  return steps;
}

bool RepairSequence::WithSqlServer() const { return IsSqlServerType(kind_); }

void RepairSequence::TakeFolders() {
  folder_ = RepairFolder(Program().AppPath());
  Page().MoveBar(50);
  Resume([&] { windir_ = SystemHelpers::GetWindowsFolder(); });
  Resume([&] { sysdir_ = SystemHelpers::GetSystemFolder(); });
}

void RepairSequence::CheckFolders() {
  Helpers().StopOnDamagedMachine(kTitle);
  if (!Named(folder_ + "\\Web")) Helpers().Stop(kWebMissing, ui::MsgIcon::Critical, kTitle);
  if (!Named(folder_ + "\\Data")) Helpers().Stop(kDataMissing, ui::MsgIcon::Critical, kTitle);
  if (!FileExists(ConnectionSettingsFile(folder_)))
    Helpers().Stop(kWebMissing, ui::MsgIcon::Critical, kTitle);
}

void RepairSequence::ReadRecord() {
  Resume([&] { record_present_ = UninstallRecordPresent(folder_); });
  Page().MoveBar(150);
  if (!record_present_) return;
  // A record that is there but cannot be read would pass for a missing one.
  if (!Resume([&] { record_ = ReadControlEndRecord(Helpers(), folder_); }))
    Helpers().Stop(kSettingsFailed, ui::MsgIcon::Question, kTitle);
}

void RepairSequence::ReadSettingsText() {
  if (!Resume([&] { settings_text_ = ReadSettingsFile(folder_); }))
    Helpers().Stop(kSettingsFailed, ui::MsgIcon::Question, kTitle);
}

void RepairSequence::ReadSettings() { settings_ = ReadConnectionSettings(settings_text_); }

void RepairSequence::DrawNumber() {
  // A number in every run, the first without reseeding the generator.
  new_number_ = SiteNumberText(FindFreeSiteNumber(SequenceErr(), false));
}

void RepairSequence::ChooseValues() {
  const auto& s = settings_;
  const auto& r = record_;
  // Settings with a value missing give way to the record entirely; the
  // server always comes from the record, the settings' one only counts
  // in that test.
  const bool settings_whole =
      !s.type.empty() && !s.server.empty() && !s.login.empty() && !s.pw.empty() && !s.db.empty();
  kind_ = settings_whole ? s.type : r.DataType;
  admin_ = {.server = r.MSSQLServer, .uid = r.MSSQLUserName, .pwd = r.MSSQLPassWord};
  db_ = settings_whole
            ? PanelDatabase{.name = s.db, .login = s.login, .password = s.pw}
            : PanelDatabase{.name = r.SQLDataBase, .login = r.SQLUserName, .password = r.SQLPassWord};
  host_ = r.DomainName;
  site_number_ = r.SiteNum.empty() ? new_number_ : r.SiteNum;
  user_ = SiteAccountOf(site_number_);
  SequenceErr().Clear();
}

void RepairSequence::CheckValues() {
  // The site number must be the record's: a drawn one names no site the
  // install made, which may still be there (an install killed before its
  // record), and the site would be built a second time, bound to every host
  // name on port 80. A missing record therefore stops the repair too.
  // May be empty: DomainName (every host name), the administrator login and
  // password (so recorded after a fallback on "(local)") and the server
  // (the machine's own).
  const bool sql_whole = !db_.name.empty() && !db_.login.empty() && !db_.password.empty();
  if (kind_.empty() || record_.SiteNum.empty() || (WithSqlServer() && !sql_whole))
    Helpers().Stop(kSettingsFailed, ui::MsgIcon::Question, kTitle);
}

void RepairSequence::ConnectAdministrator() {
  administrator_ = OpenAdministrator(Page(), admin_, 0);
  if (!administrator_) Helpers().Stop(kNoSqlServer, ui::MsgIcon::None, "");
}

void RepairSequence::FindDataFiles() {
  // Named after the record's database, the settings' one, or as shipped;
  // both files of a pair must be there, whatever they hold.
  for (const std::string& name : {record_.SQLDataBase, settings_.db, std::string("Quorvale")}) {
    const DataFilePair pair = DataFilesNamed(folder_, name);
    if (FileExists(pair.mdf) && FileExists(pair.ldf)) {
      files_ = pair;
      return;
    }
  }
  Helpers().Stop(kDataMissing, ui::MsgIcon::None, "");
}

void RepairSequence::RebuildSite() {
  BuildSite(Page(), kPanelSiteRebuild,
            {.folder = folder_, .host = host_, .password = "", .number = site_number_});
}

void RepairSequence::RebuildDatabase() {
  RepairDatabase(Page(), administrator_.get(), admin_, db_, folder_, files_);
}

void RepairSequence::RegisterComponents() {
  setup::RegisterComponents(
      Page(), kRepairComponents,
      {.source = folder_, .target = sysdir_, .windows = windir_, .account = user_, .waits = &Helpers()});
}

void RepairSequence::RewriteSettings() {
  Page().MoveBar(6000);
  if (!WithSqlServer()) return;
  Page().MoveBar(6200);
  Resume([&] { RewriteConnectionSettings(folder_, admin_.server, db_.login, db_.password, db_.name); });
}

void RepairSequence::WriteRecords() {
  Page().MoveBar(6400);
  Resume([&] { WriteUninstallEntry(Helpers(), InstallEnd::kControl, folder_); });
  Page().MoveBar(6600);
  ControlEndRecord record;
  record.DataType = kind_;
  if (WithSqlServer()) record.SetSqlServer(admin_, db_, folder_);
  record.SetupDir = folder_;
  record.DomainName = host_;
  record.SiteNum = site_number_;
  record.User = user_;
  Resume([&] { WriteControlEndRecord(Helpers(), record); });
}

void RepairSequence::Finish() {
  Program().Page<UninstallCompletePage>().SetTexts("恭喜，软件修复成功！",
                                                   "您已成功修复" + ProductName(InstallEnd::kControl) + "。");
}

}  // namespace quorvale::uninstall
