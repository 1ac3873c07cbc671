// The repair, run on Running's first tick when Welcome's Modify is on: it
// rebuilds a damaged control end from what its folder still holds (the
// panel's files, its data files, Conn.asp and Uninstall.ini). Six checks
// may stop it, all before its first change; then the panel site with its
// account, the panel database with its login, the three components, the
// connection settings and the two install records are put back where they
// are missing (the last four always written anew). A site found without its
// account gets the account back.
#pragma once

#include <string>
#include <vector>

#include "quorvale/com/unknown.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/setup/install_records.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/sequence.h"
#include "quorvale/uninstall/running_page.h"

namespace quorvale::uninstall {

class RepairSequence : public setup::Sequence<RepairSequence> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "主控端修复完毕...";
  // The steps in the order they run.
  static const std::vector<Step>& Steps();

 private:
  // The program's folder (a drive root as "C:"), the Windows and system
  // folders; the machine's own files must read.
  void TakeFolders();
  // Web, Data and Web\Inc\Conn.asp must be there.
  void CheckFolders();
  // Uninstall.ini, when present, must read; its values.
  void ReadRecord();
  // Conn.asp whole, then its five settings.
  void ReadSettingsText();
  void ReadSettings();
  // A candidate site number, drawn in every run.
  void DrawNumber();
  // The values the repair works with, from the settings and the record.
  void ChooseValues();
  // They must hold what the site and Conn.asp are rebuilt with: the kind of
  // database, with SQL Server its name, login and password, and the
  // recorded site number.
  void CheckValues();
  // SQL Server: the administrator, or "(local)", must connect.
  void ConnectAdministrator();
  // SQL Server: one of the three data-file pairs must be whole.
  void FindDataFiles();
  void RebuildSite();
  void RebuildDatabase();
  void RegisterComponents();
  void RewriteSettings();
  // The uninstall registry entry, then Uninstall.ini.
  void WriteRecords();
  void Finish();

  bool WithSqlServer() const;
  RunningPage& Helpers() const { return Program().Page<RunningPage>(); }

  std::string folder_, windir_, sysdir_;
  bool record_present_ = false;
  setup::ControlEndRecord record_;
  std::string settings_text_;
  setup::ConnectionSettings settings_;
  std::string new_number_;
  std::string kind_, host_, site_number_, user_;
  setup::ServerLogin admin_;  // S, U, W
  setup::PanelDatabase db_;   // dbName, loginName, loginPw
  setup::DataFilePair files_;
  ComPtr<IDispatch> administrator_;
};

}  // namespace quorvale::uninstall
