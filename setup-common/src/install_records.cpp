#include "quorvale/setup/install_records.h"

#include "quorvale/component/maker.h"
#include "quorvale/core/text.h"
#include "quorvale/core/variant.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/site_recipe.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/setup/text_file.h"
#include "quorvale/win32/types.h"

namespace quorvale::setup {

namespace {

// WriteString cuts the last two bytes of what it is given.
constexpr const char* kCut = "  ";

}  // namespace

void WriteUninstallEntry(RegistryHelpers& registry, InstallEnd end, const std::string& install_folder) {
  const auto root = win32::HKEY_LOCAL_MACHINE;
  const std::string key = UninstallKeyOf(end);
  auto write = [&](const char* name, const std::string& text) {
    registry.WriteString(root, key, name, text + kCut);
  };
  if (end == InstallEnd::kServer) write("DisplayIcon", install_folder + "\\Quorvale.exe");
  write("DisplayName", ProductName(end));
  write("DisplayVersion", kUninstallDisplayVersion);
  write("UninstallString", UninstallStringOf(install_folder));
  write("ModifyPath", install_folder + "\\Uninstall.exe -modify");
  write("Publisher", QUORVALE_MAKER_NAME);
  write("URLInfoAbout", QUORVALE_MAKER_WEB);
  write("URLUpdateInfo", QUORVALE_MAKER_WEB);
}

std::string UninstallStringOf(const std::string& install_folder) {
  return install_folder + "\\Uninstall.exe -delete";
}

void DeleteUninstallEntry(RegistryHelpers& registry) {
  registry.DeleteKey(win32::HKEY_LOCAL_MACHINE, kControlEndUninstallKey);
}

std::string UninstallRecordPath(const std::string& install_folder) {
  return install_folder + "\\Uninstall.ini";
}

bool UninstallRecordPresent(const std::string& install_folder) {
  return FilePresent(UninstallRecordPath(install_folder));
}

std::string MailText(MailSystem mail) {
  switch (mail) {
    case MailSystem::kWinWebMail: return "WinWebMail";
    case MailSystem::kIMail: return "iMail";
    case MailSystem::kNoMail: break;
  }
  return "NoMail";
}

void WriteServerEndRecord(IniHelpers& ini, const ServerEndRecord& record) {
  ini.INIFileName = UninstallRecordPath(record.SetupDir);
  ini.WriteIniKey(kUninstallSection, "SetupDir", record.SetupDir);
  ini.WriteIniKey(kUninstallSection, "Mail", MailText(record.Mail));
  if (record.Mail != MailSystem::kWinWebMail) return;
  ini.WriteIniKey(kUninstallSection, "SiteNum", record.SiteNum);
  ini.WriteIniKey(kUninstallSection, "User", record.SiteNum.empty() ? "" : SiteAccountOf(record.SiteNum));
  ini.WriteIniKey(kUninstallSection, "WinWebMailPath", record.WinWebMailPath);
}

bool IsSqlServerType(const std::string& data_type) { return UpperCase(data_type) == "SQL"; }

bool ControlEndRecord::UsesSqlServer() const { return IsSqlServerType(DataType); }

void ControlEndRecord::SetDataFiles(const std::string& folder, const std::string& database) {
  const DataFilePair files = DataFilesNamed(folder, database);
  MDF = files.mdf;
  LDF = files.ldf;
}

void ControlEndRecord::SetSqlServer(const ServerLogin& admin, const PanelDatabase& db,
                                    const std::string& folder) {
  MSSQLServer = admin.server;
  MSSQLUserName = admin.uid;
  MSSQLPassWord = admin.pwd;
  SQLDataBase = db.name;
  SQLUserName = db.login;
  SQLPassWord = db.password;
  SetDataFiles(folder, db.name);
}

namespace {

// The keys of the control end's record in their order, and whether the
// repair or the uninstall reads them.
struct RecordKey {
  const char* name;
  std::string ControlEndRecord::*field;
  bool read = true;
};
using R = ControlEndRecord;
const RecordKey kKindKey{"DataType", &R::DataType};
const RecordKey kSqlKeys[] = {
    {"MSSQLServer", &R::MSSQLServer},
    {"MSSQLUserName", &R::MSSQLUserName},
    {"MSSQLPassWord", &R::MSSQLPassWord},
    {"SQLDataBase", &R::SQLDataBase},
    {"SQLUserName", &R::SQLUserName},
    {"SQLPassWord", &R::SQLPassWord},
    {"MDF", &R::MDF, false},
    {"LDF", &R::LDF, false},
};
const RecordKey kSiteKeys[] = {{"SetupDir", &R::SetupDir, false},
                               {"DomainName", &R::DomainName},
                               {"SiteNum", &R::SiteNum},
                               {"User", &R::User}};

}  // namespace

void WriteControlEndRecord(IniHelpers& ini, const ControlEndRecord& record) {
  ini.INIFileName = UninstallRecordPath(record.SetupDir);
  auto write = [&](const RecordKey& key) { ini.WriteIniKey(kUninstallSection, key.name, record.*key.field); };
  write(kKindKey);
  if (record.UsesSqlServer())
    for (const auto& key : kSqlKeys) write(key);
  for (const auto& key : kSiteKeys) write(key);
}

ControlEndRecord ReadControlEndRecord(IniHelpers& ini, const std::string& folder) {
  ini.INIFileName = UninstallRecordPath(folder);
  ReadTextFile(ini.INIFileName);
  ControlEndRecord record;
  auto read = [&](const RecordKey& key) {
    if (key.read) record.*key.field = ini.GetIniKey(kUninstallSection, key.name);
  };
  read(kKindKey);
  for (const auto& key : kSqlKeys) read(key);
  for (const auto& key : kSiteKeys) read(key);
  return record;
}

}  // namespace quorvale::setup
