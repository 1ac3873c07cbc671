// The panel's SQL Server database: attached from the data files the payload
// ships, with the panel's own login as its owner (setup); attached again
// when the server no longer lists it (repair); removed with its login
// (uninstall). Every statement runs with resume-on-error under the page's
// error state; a failure shows only as its list line, and the run goes on.
#pragma once

#include <string>

#include "quorvale/com/unknown.h"
#include "quorvale/setup/step_reporter.h"
#include "quorvale/setup/system_helpers.h"

namespace quorvale::setup {

// The server and its administrator login (S, U, W).
struct ServerLogin {
  std::string server, uid, pwd;
};

// The panel's database, its login and that login's password.
struct PanelDatabase {
  std::string name, login, password;
};

struct DataFilePair {
  std::string mdf, ldf;
};

// folder\Data\<name>.mdf and folder\Data\<name>.ldf.
DataFilePair DataFilesNamed(const std::string& folder, const std::string& name);

// The setup's (SQL Server chosen): waits for the shipped Data\Quorvale.mdf
// and .ldf, names them after the database, attaches them, creates the
// login, lets it into the database as its owner and connects as it. Steps
// "正在设置站点数据库文件..." and "正在建立站点数据库...", bar 3800 to 4500.
void AttachDatabase(StepReporter& page, const SystemHelpers& helpers, const ServerLogin& admin,
                    const PanelDatabase& db, const std::string& folder);

// The repair's and the uninstall's administrator connection to master:
// with the given login, else with the machine's own server and the Windows
// login ("(local)" and empty uid and pwd, which admin then holds). The bar
// takes opened_width after the first try (none for 0). Null when neither
// opens. The error state is clear afterwards.
ComPtr<IDispatch> OpenAdministrator(StepReporter& page, ServerLogin& admin, int opened_width);

// The repair's: asks the server on the administrator connection whether it
// lists the database; "网站数据库正常..." when it does, else the found data
// files are named after the database and attached as the setup attaches
// them, a user left without its login being bound to it again. Bar 3800 at
// the end.
void RepairDatabase(StepReporter& page, IDispatch* administrator, const ServerLogin& admin,
                    const PanelDatabase& db, const std::string& folder, const DataFilePair& found);

// The uninstall's: ends every process using the database, drops it and
// drops the login. Bar 2000 to 2500.
void RemoveDatabase(StepReporter& page, IDispatch* administrator, const PanelDatabase& db);

}  // namespace quorvale::setup
