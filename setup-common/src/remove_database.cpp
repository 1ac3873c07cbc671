// The administrator connection of the repair and the uninstall, and the
// uninstall's removal of the database and its login.
#include "quorvale/setup/ado_calls.h"
#include "quorvale/setup/odbc_connection.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/sql_statements.h"

namespace quorvale::setup {

using detail::Connect;
using detail::Execute;

namespace {

// Kills every process the server lists as using the database. A query that
// cannot run, or a row that cannot be read, ends the round: nothing may hold
// up the drop that follows.
void EndProcesses(Err& err, IDispatch* administrator, const std::string& db) {
  Variant rs;
  if (!Execute(err, administrator, DatabaseProcessesQuery(db), &rs)) return;
  while (!detail::AtEnd(err, rs)) {
    if (auto spid = detail::WholeNumber(detail::FieldValue(err, rs, "spid")))
      Execute(err, administrator, KillStatement(*spid));
    if (!detail::MoveNext(err, rs)) return;
  }
}

}  // namespace

ComPtr<IDispatch> OpenAdministrator(StepReporter& page, ServerLogin& admin, int opened_width) {
  Err& err = page.SequenceErr();
  ComPtr<IDispatch> c;
  bool open = Connect(err, c, SqlServerConnection(admin.server, admin.uid, admin.pwd, "master"));
  if (opened_width) page.MoveBar(opened_width);
  if (!open) {
    err.Clear();
    detail::Close(err, c.get());
    open = Connect(err, c, LocalSqlServerConnection());
    if (open) admin = {"(local)", "", ""};
  }
  err.Clear();
  return open ? c : ComPtr<IDispatch>();
}

void RemoveDatabase(StepReporter& page, IDispatch* administrator, const PanelDatabase& db) {
  Err& err = page.SequenceErr();
  page.ShowStep("正在结束访问数据库的进程...");
  EndProcesses(err, administrator, db.name);
  err.Clear();  // the ends are not reported
  page.MoveBar(2000);
  page.ShowStep("正在删除数据库...");
  Execute(err, administrator, DropDatabaseStatement(db.name));
  page.MoveBar(2000);
  page.CheckStep("数据库删除失败...");
  page.ShowStep("正在删除数据库帐号...");
  Execute(err, administrator, DropLoginStatement(db.login));
  page.MoveBar(2500);
  page.CheckStep("数据库帐号删除失败...");
}

}  // namespace quorvale::setup
