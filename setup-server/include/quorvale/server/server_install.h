// The server end's install sequence, run on the progress page Install: the
// payload unpacked, the WinWebMail mail site (or the mail files removed),
// the controls registered, System.ini completed, the agent's service
// installed, the desktop shortcut, the unpacking files deleted and the
// installation recorded for the uninstaller.
#pragma once

#include <string>
#include <vector>

#include "quorvale/server/server_end.h"
#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/sequence.h"
#include "quorvale/setup/site_recipe.h"
#include "quorvale/setup/system_ini_step.h"

namespace quorvale::server {

class ServerInstall : public setup::Sequence<ServerInstall> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "安装完毕...";
  // The steps in the order they run.
  static const std::vector<Step>& Steps();

 private:
  void ReadChoices();
  void MakeFolder();
  void Unpack();
  void BuildMailSite();
  void PlaceMailPage();
  void RegisterMailComponent();
  void RemoveMailFiles();
  void RegisterControls();
  void CompleteConfiguration();
  void InstallService();
  void MakeShortcut();
  void DeleteUnpackingFiles();
  void RecordInstallation();
  // The files it leaves, the registry entry and the record: when anything
  // is missing, the list says what and Complete shows the failure.
  void CheckInstallation();

  bool WithWinWebMail() const { return choices_.winwebmail; }
  bool WithoutWinWebMail() const { return !choices_.winwebmail; }

  // Components move from the install folder into target.
  setup::ComponentPlaces Places(const std::string& target) const;
  const std::string& Folder() const { return choices_.folder; }

  ServerEnd::Helpers helpers_;
  // What the pages hold, handed over at the start.
  setup::ServerChoices choices_;
  std::string system_folder_;
  // The mail site's number and account, for the uninstall record.
  setup::SiteOutcome mail_site_;
};

}  // namespace quorvale::server
