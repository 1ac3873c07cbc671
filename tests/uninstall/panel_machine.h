// A control end as its setup leaves it, for the repair and the uninstall
// to work on, made with the shared recipes the setup runs: the install
// folder with the panel's pages, Conn.asp and the data files; the panel
// site with its account; on SQL Server the database with its login and
// Conn.asp set to them; the three components in the system folder; the
// uninstall registry entry and Uninstall.ini. And the damage a Windows set
// up again leaves. What the progress page showed is watched at every turn
// of the message loop.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/setup/component_recipe.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/setup/helper_module.h"
#include "quorvale/setup/install_records.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/site_recipe.h"
#include "quorvale/sqlserver/catalogue.h"
#include "quorvale/sqlserver/data_files.h"
#include "quorvale/win32/ansi.h"
#include "recorded_steps.h"
#include "require.h"
#include "uninstall_run.h"

namespace quorvale::uninstall::testing {

using Lines = std::vector<std::string>;

inline constexpr const char* kSystem = "C:\\WINDOWS\\system32";
inline constexpr const char* kRegAsm = "C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe";
inline constexpr const char* kEntry =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";

// The panel's Conn.asp as the payload ships it.
inline constexpr const char* kShippedSettings =
    "<%\r\n"
    "Server.ScriptTimeout = 90\r\n"
    "DBType = \"Access\"\r\n"
    "ServerName = \"(local)\"\r\n"
    "UserName = \"\"\r\n"
    "PassWord = \"\"\r\n"
    "DataBase = \"\"\r\n"
    "%>\r\n";

// What the user chose in the setup.
struct Panel {
  bool sql_server = true;
  std::string database = "Panel", login = "PanelUser", password = "panel-pw";
  std::string domain = "panel.quorvale.cn";
};

// The parts one after another: list lines, bar widths.
template <class T>
std::vector<T> Join(std::initializer_list<std::vector<T>> parts) {
  std::vector<T> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// SQL Server's service stopped: no connection opens, not even "(local)".
inline void StopSqlServer(quorvale::testing::TempMachine& temp) {
  auto service = temp.machine().FindService("MSSQLSERVER");
  ASSERT_TRUE(service) << "no SQL Server to stop";
  service->state = "stopped";
  temp.machine().SetService(*service);
}

// SQL Server 2000, the database objects and the .NET registrar on a
// machine, as the control end needs them.
inline void PrepareForPanel(quorvale::testing::TempMachine& temp) {
  sqlserver::InstallSqlServer(temp.machine());
  RegisterDatabaseProviders(temp.machine().Registry(), PROVIDERS_PATH);
  temp.Write(kRegAsm, "the .NET registrar");
}

inline std::string SystemFile(const std::string& file) { return std::string(kSystem) + "\\" + file; }

// What the setup's unpacker leaves in folder: the panel's pages, Conn.asp
// as shipped and the data files; then the panel site with its account, as
// the setup's site steps make it. Where a Client killed after those steps
// leaves the machine: no database, components, registry entry or record.
inline setup::SiteOutcome InstallPanelSite(quorvale::testing::TempMachine& temp, const std::string& folder,
                                           const Panel& p, setup::testing::RecordedSteps& page) {
  const auto in = [&](const char* file) { return folder + "\\" + file; };
  temp.Write(in("Web\\Index.asp"), "<% Response.Write \"panel\" %>");
  temp.Write(in("Web\\Inc\\Conn.asp"), kShippedSettings);
  temp.Write(in("Data\\Quorvale.mdf"), sqlserver::NewDataFile(8192));
  temp.Write(in("Data\\Quorvale.ldf"), sqlserver::NewLogFile(2048));
  return setup::BuildSite(page, setup::kPanelSite,
                          {folder, p.domain, setup::SystemHelpers::GetLetter(32), ""});
}

// The control end installed into folder with the setup's recipes; the
// panel site it made.
inline setup::SiteOutcome InstallPanel(quorvale::testing::TempMachine& temp, const std::string& folder,
                                       const Panel& p) {
  setup::testing::RecordedSteps page;
  setup::ControlEndHelpers helpers;
  const auto site = InstallPanelSite(temp, folder, p, page);
  if (p.sql_server) {
    setup::AttachDatabase(page, helpers, {"(local)", "sa", "Sa2000"}, {p.database, p.login, p.password},
                          folder);
    setup::EditConnectionSettings(folder, "(local)", p.login, p.password, p.database);
  }
  for (const char* c : {"DodIde.dll", "Quorvale.dll", "Jmail.dll"}) temp.Write(SystemFile(c), c);
  setup::WriteUninstallEntry(helpers, setup::InstallEnd::kControl, folder);
  setup::ControlEndRecord r;
  r.DataType = p.sql_server ? "SQL" : "Access";
  if (p.sql_server) {
    r.MSSQLServer = "(local)";
    r.MSSQLUserName = "sa";
    r.MSSQLPassWord = "Sa2000";
    r.SQLDataBase = p.database;
    r.SQLUserName = p.login;
    r.SQLPassWord = p.password;
    r.SetDataFiles(folder, p.database);
  }
  r.SetupDir = folder;
  r.DomainName = p.domain;
  r.SiteNum = site.number;
  r.User = site.account;
  setup::WriteControlEndRecord(helpers, r);
  WaitForPrograms();
  EXPECT_EQ(page.FailureLines(), Lines{}) << "the install went wrong";
  return site;
}

// Windows set up again: a new SQL Server that knows neither the database
// nor its login (the data files stay with the install folder).
inline void NewSqlServer(quorvale::testing::TempMachine& temp) {
  std::filesystem::remove(sqlserver::CatalogueFile(temp.machine()));
  sqlserver::InstallSqlServer(temp.machine());
}

// Windows set up again, the install folder kept: no panel site, account,
// components or uninstall entry, and a new SQL Server.
inline void DamagePanel(quorvale::testing::TempMachine& temp, const setup::SiteOutcome& site) {
  Err err;
  setup::DeleteWebSite(err, site.number);
  setup::DeleteSiteAccount(err, site.account);
  EXPECT_FALSE(err) << err.Description();
  NewSqlServer(temp);
  for (const char* c : {"DodIde.dll", "Quorvale.dll", "Jmail.dll"})
    std::filesystem::remove(temp.Host(SystemFile(c)));
  temp.machine().Registry().DeleteTree(kEntry);
}

// The program headless on a machine with a control end.
struct PanelMachine : UninstallRun {
  explicit PanelMachine(const MachineShape& shape = {}) : UninstallRun(shape) { PrepareForPanel(temp); }

  std::string In(const std::string& file) const { return folder + "\\" + file; }

  void Install(const Panel& p = {}) {
    panel = p;
    site = InstallPanel(temp, folder, p);
    installed_programs_ = temp.machine().StartedPrograms().size();
  }
  // A Client killed after its site steps.
  void InstallKilledAfterSite(const Panel& p = {}) {
    panel = p;
    setup::testing::RecordedSteps page;
    site = InstallPanelSite(temp, folder, p, page);
    WaitForPrograms();
    EXPECT_EQ(page.FailureLines(), Lines{}) << "the site steps went wrong";
    installed_programs_ = temp.machine().StartedPrograms().size();
  }
  void Damage() { DamagePanel(temp, site); }
  void NewSqlServer() { testing::NewSqlServer(temp); }

  // The program started with the switch, confirmed, its sequence run to
  // its end (or to a stop), with every caption and width the loop saw.
  void Run(const std::string& line) {
    driver.Answer(ui::MsgResult::OK);
    Start(line);
    watching_ = true;
    Watch();
    driver.Advance(100);
    watching_ = false;
    WaitForPrograms();
  }

  // What the machine holds.
  static std::string Sys(const std::string& file) { return SystemFile(file); }
  std::optional<MetabaseKey> Key(const std::string& location) {
    const auto keys = Metabase(temp.machine()).Load();
    if (!keys) return std::nullopt;  // no IIS
    for (const auto& k : *keys)
      if (SameText(k.location, location)) return k;
    return std::nullopt;
  }
  bool SiteThere(const std::string& number) { return Key("/LM/W3SVC/" + number).has_value(); }
  std::optional<UserAccount> Account(const std::string& name) {
    return LocalAccounts(temp.machine()).FindUser(name);
  }
  sqlserver::Catalogue Catalogue() {
    return quorvale::testing::Require(sqlserver::LoadCatalogue(temp.machine()), "SQL Server's catalogue");
  }
  bool EntryThere() { return temp.machine().Registry().KeyExists(kEntry); }
  // The command lines started since the install, in order.
  Lines StartedSinceInstall() {
    const Lines all = Started();
    return Lines(all.begin() + static_cast<long>(installed_programs_), all.end());
  }
  // Uninstall.ini's keys and values.
  std::map<std::string, std::string> Record() {
    std::map<std::string, std::string> out;
    std::istringstream in(win32::FromAnsi(temp.Read(In("Uninstall.ini"))));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto eq = line.find('=');
      if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
  }
  Lines List() { return running().SetupList.Items(); }
  // The message boxes shown, prompts only.
  Lines Prompts() {
    Lines out;
    for (const auto& m : driver.Messages()) out.push_back(m.request.prompt);
    return out;
  }

  std::string folder = kInstallFolder;
  Panel panel;
  setup::SiteOutcome site;
  std::vector<int> widths;

 private:
  void Watch() {
    driver.Backend().Post([this] {
      if (!watching_) return;
      const int w = running().Loading.Width();
      if (widths.empty() || widths.back() != w) widths.push_back(w);
      Watch();
    });
  }
  bool watching_ = false;
  std::size_t installed_programs_ = 0;
};

}  // namespace quorvale::uninstall::testing
