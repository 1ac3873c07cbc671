// The control end's install sequence, run on the progress page Install:
// the payload written and unpacked, the panel's site with its account, the
// panel's database on SQL Server when chosen, the three components moved
// and registered, the panel's connection settings, the installation files
// deleted, the install records, then Complete.
#pragma once

#include <string>
#include <vector>

#include "quorvale/client/client_end.h"
#include "quorvale/setup/sequence.h"
#include "quorvale/setup/site_recipe.h"

namespace quorvale::client {

class ClientInstall : public setup::Sequence<ClientInstall> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "安装完毕...";
  // The steps in the order they run.
  static const std::vector<Step>& Steps();

 private:
  // What the pages hold and the machine's folders, read once before any
  // file is written; the site account's password drawn.
  void ReadChoices();
  void MakeFolder();
  // Quorvale.rar and Rar.exe written, the unpacker started.
  void Unpack();
  // Site number, account in Guests, Cacls on Web, site, root, start.
  void BuildPanelSite();
  // SQL Server: the data files named after the database and attached, the
  // panel's login made its owner. Access shows the first step only.
  void AttachPanelDatabase();
  void KeepAccessDatabase() {}
  // DodIde.dll, Quorvale.dll and Jmail.dll into the system folder,
  // registered and opened to the site account (Jmail.dll to Everyone).
  void RegisterComponents();
  // Conn.asp takes the SQL Server settings (nothing with Access).
  void EditSettings();
  void DeleteInstallFiles();
  // The uninstall registry entry, then Uninstall.ini.
  void WriteRecords();
  // The repair program and the panel's settings in the folder, the three
  // components, the registry entry and the record: when anything is
  // missing, the list says what and Complete shows the failure.
  void CheckInstallation();

  bool WithSqlServer() const { return choices_.sql_server; }
  bool WithoutSqlServer() const { return !choices_.sql_server; }
  const std::string& Folder() const { return choices_.folder; }

  ClientEnd::Helpers helpers_;
  std::string sysdir_, windir_, pw_;
  // What the pages hold, handed over at the start.
  ClientChoices choices_;
  setup::SiteOutcome site_;
};

}  // namespace quorvale::client
