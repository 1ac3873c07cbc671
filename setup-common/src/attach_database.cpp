// The attach recipe of the setup and the repair, with what differs for each
// as one table.
#include "ansi_text.h"
#include "quorvale/core/text.h"
#include "quorvale/core/variant.h"
#include "quorvale/setup/ado_calls.h"
#include "quorvale/setup/odbc_connection.h"
#include "quorvale/setup/panel_database.h"
#include "quorvale/setup/sql_statements.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::setup {

namespace {

using detail::Close;
using detail::Connect;
using detail::Execute;

// Bar widths (0: the bar does not move there) and failure lines of one caller.
struct AttachVariant {
  bool waits_for_files;  // the unpacker may still be writing them; the bar moves first
  int files_width, connect_width, opened_width, attached_width, login_width, db_opened_width, grant_width,
      owner_width, tested_width;
  const char* attach_failed;
  const char* login_failed;
  const char* db_open_failed;  // nullptr: cleared at once, not reported
  bool orphan_fallback;        // a failed grant is followed by binding the orphaned user
  const char* grant_failed;
  const char* owner_failed;
  const char* test_failed;
};

constexpr AttachVariant kSetup{
    .waits_for_files = true,
    .files_width = 3800,
    .connect_width = 3900,
    .opened_width = 4000,
    .attached_width = 4100,
    .login_width = 4200,
    .db_opened_width = 0,
    .grant_width = 4300,
    .owner_width = 4400,
    .tested_width = 4500,
    .attach_failed = "网站数据库建立失败...",
    .login_failed = "网站数据库帐号建立失败...",
    .db_open_failed = "网站数据库帐号访问权限设置失败...",
    .orphan_fallback = false,
    .grant_failed = "网站数据库帐号访问权限设置失败...",
    .owner_failed = "网站数据库帐号访问权限设置失败...",
    .test_failed = "网站数据库建立失败...",
};

constexpr AttachVariant kRepair{
    .waits_for_files = false,
    .files_width = 2300,
    .connect_width = 2500,
    .opened_width = 2600,
    .attached_width = 2800,
    .login_width = 3000,
    .db_opened_width = 3200,
    .grant_width = 3400,
    .owner_width = 3600,
    .tested_width = 3800,
    .attach_failed = "网站数据库附加失败...",
    .login_failed = "网站数据库帐号修复失败...",
    .db_open_failed = nullptr,
    .orphan_fallback = true,
    .grant_failed = "网站数据库孤立帐号修复失败...",
    .owner_failed = "网站数据库帐号访问权限修复失败...",
    .test_failed = "网站数据库修复失败,无法正常连接...",
};

// The files take the database's name unless they have it already (in any
// letter case). What the moves give is not looked at: when a file of the
// new name is there, the attach names that one.
void NameDataFiles(const DataFilePair& from, const DataFilePair& to) {
  if (SameText(from.mdf, to.mdf)) return;
  win32::MoveFileA(detail::AnsiText(from.mdf).c_str(), detail::AnsiText(to.mdf).c_str());
  win32::MoveFileA(detail::AnsiText(from.ldf).c_str(), detail::AnsiText(to.ldf).c_str());
}

void Attach(StepReporter& page, const AttachVariant& v, const SystemHelpers* helpers,
            const ServerLogin& admin, const PanelDatabase& db, const std::string& folder,
            const DataFilePair& files) {
  Err& err = page.SequenceErr();
  page.ShowStep("正在设置站点数据库文件...");
  if (v.waits_for_files) {
    page.MoveBar(v.files_width);
    err.Resume([&] { helpers->SleepFile(files.mdf); });
    err.Resume([&] { helpers->SleepFile(files.ldf); });
  }
  NameDataFiles(files, DataFilesNamed(folder, db.name));
  if (!v.waits_for_files) page.MoveBar(v.files_width);

  page.ShowStep("正在建立站点数据库...");
  page.MoveBar(v.connect_width);
  ComPtr<IDispatch> c;
  Connect(err, c, SqlServerConnection(admin.server, admin.uid, admin.pwd, "master"));
  page.MoveBar(v.opened_width);
  Execute(err, c.get(), AttachStatement(db.name, folder));
  page.MoveBar(v.attached_width);
  page.CheckStep(v.attach_failed);
  Execute(err, c.get(), CreateLoginStatement(db.login, db.password, db.name));
  Close(err, c.get());
  page.MoveBar(v.login_width);
  page.CheckStep(v.login_failed);

  Connect(err, c, SqlServerConnection(admin.server, admin.uid, admin.pwd, db.name));
  if (v.db_open_failed)
    page.CheckStep(v.db_open_failed);
  else
    err.Clear();
  if (v.db_opened_width) page.MoveBar(v.db_opened_width);
  if (!Execute(err, c.get(), GrantAccessStatement(db.login)) && v.orphan_fallback) {
    err.Clear();
    Execute(err, c.get(), FixOrphanedUserStatement(db.login));
  }
  page.MoveBar(v.grant_width);
  page.CheckStep(v.grant_failed);
  Execute(err, c.get(), MakeOwnerStatement(db.login));
  page.MoveBar(v.owner_width);
  page.CheckStep(v.owner_failed);

  ComPtr<IDispatch> test;
  Connect(err, test, SqlServerConnection(admin.server, db.login, db.password, db.name));
  page.CheckStep(v.test_failed);
  Close(err, test.get());  // fails when the open did; that is reported above
  test = ComPtr<IDispatch>();
  err.Clear();
  page.MoveBar(v.tested_width);
}

}  // namespace

DataFilePair DataFilesNamed(const std::string& folder, const std::string& name) {
  return {folder + "\\Data\\" + name + ".mdf", folder + "\\Data\\" + name + ".ldf"};
}

void AttachDatabase(StepReporter& page, const SystemHelpers& helpers, const ServerLogin& admin,
                    const PanelDatabase& db, const std::string& folder) {
  Attach(page, kSetup, &helpers, admin, db, folder, DataFilesNamed(folder, "Quorvale"));
}

void RepairDatabase(StepReporter& page, IDispatch* administrator, const ServerLogin& admin,
                    const PanelDatabase& db, const std::string& folder, const DataFilePair& found) {
  Err& err = page.SequenceErr();
  err.Clear();
  // A query that fails counts as no row; its error is reported with the attach.
  Variant rs;
  const bool listed =
      Execute(err, administrator, DatabasePresentQuery(db.name), &rs) && !detail::AtEnd(err, rs);
  if (listed) {
    page.ListLine("网站数据库正常...");
    page.MoveBar(kRepair.tested_width);
  } else {
    Attach(page, kRepair, nullptr, admin, db, folder, found);
  }
  rs = Variant();
  err.Clear();
}

}  // namespace quorvale::setup
