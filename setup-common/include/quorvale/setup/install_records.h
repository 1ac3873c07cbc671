// The two records an installation leaves behind: the uninstall registry
// entry under HKEY_LOCAL_MACHINE, and Uninstall.ini in the install folder
// with what a later repair or uninstall needs to find again.
#pragma once

#include <string>

#include "quorvale/setup/ini_helpers.h"
#include "quorvale/setup/install_end.h"
#include "quorvale/setup/registry_helpers.h"

namespace quorvale::setup {

struct ServerLogin;
struct PanelDatabase;

inline constexpr const char* kUninstallSection = "Uninstall";
inline constexpr const char* kUninstallDisplayVersion = "3.0.0";

// The end's entry, value by value in its order (DisplayIcon on the server
// end only; DisplayName the end's ProductName). Every text goes through
// WriteString with two blanks appended, so the registry holds it without
// trailing blanks. The install folder is taken as given: one typed with a
// trailing "\" doubles the backslash.
void WriteUninstallEntry(RegistryHelpers& registry, InstallEnd end, const std::string& install_folder);
// The entry's UninstallString: the folder's Uninstall.exe with "-delete".
std::string UninstallStringOf(const std::string& install_folder);
// The uninstall's last step: the control end's entry goes.
void DeleteUninstallEntry(RegistryHelpers& registry);

// The install folder followed by "\Uninstall.ini".
std::string UninstallRecordPath(const std::string& install_folder);
// Whether a repair or uninstall finds a record in its folder.
bool UninstallRecordPresent(const std::string& install_folder);

enum class MailSystem { kWinWebMail, kIMail, kNoMail };
// "WinWebMail", "iMail" or "NoMail".
std::string MailText(MailSystem mail);

// The server end's record: SetupDir and Mail; with WinWebMail also the mail
// site's SiteNum (its decimal digits), its account User ("IUSR_" and the
// number) and the WinWebMail folder. A mail site that got no number (every
// number drawn was taken) leaves SiteNum and User empty.
struct ServerEndRecord {
  std::string SetupDir;
  MailSystem Mail = MailSystem::kNoMail;
  std::string SiteNum;
  std::string WinWebMailPath;
};
void WriteServerEndRecord(IniHelpers& ini, const ServerEndRecord& record);

// Whether a database type names SQL Server: "sql" in any letter case.
bool IsSqlServerType(const std::string& data_type);

// The control end's record. The SQL Server keys are written only when
// DataType is "sql" in any letter case.
struct ControlEndRecord {
  std::string DataType;  // "Access" or "SQL"; the repair writes back what it read
  std::string MSSQLServer, MSSQLUserName, MSSQLPassWord;
  std::string SQLDataBase, SQLUserName, SQLPassWord;
  std::string MDF, LDF;
  std::string SetupDir, DomainName, SiteNum, User;

  bool UsesSqlServer() const;
  // MDF and LDF: the database's data files in folder (DataFilesNamed).
  void SetDataFiles(const std::string& folder, const std::string& database);
  // The SQL Server keys: the administrator's login, the panel's database
  // with its login, and the database's data files in folder.
  void SetSqlServer(const ServerLogin& admin, const PanelDatabase& db, const std::string& folder);
};
// Sets INIFileName to the record of record.SetupDir and writes its keys in
// their order; keys it does not write keep what the file held.
void WriteControlEndRecord(IniHelpers& ini, const ControlEndRecord& record);
// Sets INIFileName to the record in folder and reads the keys the repair
// and the uninstall use; a missing key reads as "". MDF, LDF and SetupDir
// are not read. Raises 53 when the record is missing and 75 when it cannot
// be read whole: the profile calls would read such a file as one without
// keys.
ControlEndRecord ReadControlEndRecord(IniHelpers& ini, const std::string& folder);

}  // namespace quorvale::setup
