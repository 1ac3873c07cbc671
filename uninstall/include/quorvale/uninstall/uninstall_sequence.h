// The uninstall, run on Running's first tick when Welcome's Delete is on:
// what Uninstall.ini names (the panel site with its account, the panel
// database with its login) is removed, then the three components with the
// web service stopped around them, then the uninstall registry entry.
// Nothing stops it; the install folder goes with Delete.bat once the
// program ends.
#pragma once

#include <string>
#include <vector>

#include "quorvale/com/unknown.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/sequence.h"
#include "quorvale/uninstall/running_page.h"

namespace quorvale::uninstall {

class UninstallSequence : public setup::Sequence<UninstallSequence> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "正在更新注册表...";
  // The steps in the order they run.
  static const std::vector<Step>& Steps();

 private:
  // The program's folder, the Windows and system folders, whether a
  // record is there; the machine's own files must read.
  void TakeFolders();
  // The record's values; a record that is there must read.
  void ReadRecord();
  // Whether the recorded site is there.
  void FindSite();
  void RemoveAccount();
  void RemoveSite();
  // The administrator, or "(local)".
  void ConnectAdministrator();
  // Its processes ended, the database and the login dropped.
  void RemoveDatabase();
  void RemoveComponents();
  void DeleteEntry();
  void Skip() {}

  bool WithSiteNumber() const { return !site_number_.empty(); }
  bool WithoutSiteNumber() const { return site_number_.empty(); }
  bool SitePresent() const { return site_present_; }
  bool WithSqlServer() const;
  bool Connected() const { return static_cast<bool>(administrator_); }
  bool NotConnected() const { return !administrator_; }
  RunningPage& Helpers() const { return Program().Page<RunningPage>(); }

  std::string folder_, windir_, sysdir_;
  bool record_present_ = false;
  std::string kind_, site_number_, user_;
  setup::ServerLogin admin_;  // S, U, W
  setup::PanelDatabase db_;   // dbName, loginName
  bool site_present_ = false;
  ComPtr<IDispatch> administrator_;
};

}  // namespace quorvale::uninstall
