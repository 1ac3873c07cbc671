// The control end's whole life on one machine, as its user lives it:
// Server installs the server end with WinWebMail and Client the control
// end (headless, on the test clock); Windows is set up
// again and leaves no panel site, account, database, login, components or
// registry entry; the install folder's Uninstall.exe -modify, started by
// hand as a real process, repairs it, and the machine holds what the
// install left; then the command line of the restored UninstallString, run
// as Windows' list of installed programs runs it, removes the control end,
// and its batch removes the install folder; the server end stays as it
// was. Once with SQL Server, once with Access. The user's Enter reaches the program's windows through the
// X server: needs an X display.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "install_run.h"
#include "machine_state.h"
#include "metabase_reads.h"
#include "quorvale/machine/clock.h"
#include "quorvale/machine/testing/temp_folder.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/setup/site_recipe.h"
#include "quorvale/win32/win32.h"
#include "window_test.h"
#include "x_client.h"

namespace quorvale::uninstall {
namespace {

using testing::WaitFor;

using testing::MachineState;
using testing::StateLines;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\主控端";
constexpr const char* kProgram = "C:\\Program Files\\Quorvale\\主控端\\Uninstall.exe";
constexpr const char* kSystem = "C:\\WINDOWS\\system32";
constexpr const char* kEntry =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";
constexpr const char* kServerEntry =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";
constexpr const char* kCaption = "Quorvale虚拟主机管理系统v3.0主控端";

std::vector<std::string> Paths(const MachineState& state) {
  std::vector<std::string> out;
  for (const auto& [path, bytes] : state.files) out.push_back(path);
  return out;
}

bool IsComponent(const std::string& line) {
  for (const char* c : {"\\dodide.dll", "\\quorvale.dll", "\\jmail.dll"})
    if (LowerCase(line).find(std::string("system32") + c) != std::string::npos) return true;
  return false;
}

class LifeCycle : public ui::fltk::testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(x);
    // The server end, installed by a program of its own on a machine the
    // control end's installs start from.
    const std::string command = std::string("'") + SERVER_END_INSTALLER + "' '" + server_end_.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  void TearDown() override {
    WaitForPrograms(std::chrono::seconds(60));
    WindowTest::TearDown();
  }

  // The program run as a person runs it: the command line started, Enter
  // on the question, then, once the sequence is done, Enter on the page
  // until the program has ended.
  void RunByHand(const std::string& command_line, const char* question, const std::function<bool()>& done) {
    const auto ansi = win32::ToAnsi(command_line);
    ASSERT_TRUE(ansi) << command_line;
    ASSERT_GT(win32::WinExec(ansi->c_str(), win32::SW_SHOWNORMAL), 31u) << command_line;
    ASSERT_TRUE(WaitFor([&] { return x.CountShown(question) > 0; })) << "no question " << question;
    x.PressEnter(question);
    ASSERT_TRUE(WaitFor(done)) << "the sequence did not run to its end";
    ASSERT_TRUE(WaitFor([&] {
      x.PressEnter(kCaption);
      return WaitForPrograms(std::chrono::milliseconds(200));
    })) << "the program did not end";
  }

  // How many registrars (RegAsm.exe, regsvr32) have ended since from, as
  // what they recorded says; a registrar that found its file gone already
  // records a failure.
  std::size_t RegistrarsDone(Machine& m, std::size_t from) {
    const auto events = m.ProgramEvents();
    std::size_t n = 0;
    for (std::size_t i = from; i < events.size(); ++i)
      n += events[i].program == "RegAsm.exe" || events[i].program == "regsvr32.exe";
    return n;
  }

  // Windows set up again, the install folder kept: the panel site and its
  // account, the components with their registration and access, the
  // uninstall entry, and SQL Server's knowledge of the database and its
  // login are gone.
  void Damage(client::testing::InstallRun& install, bool sql_server, const MachineState& before,
              const MachineState& installed) {
    Err err;
    const std::string number = install.SiteNumber();
    setup::DeleteWebSite(err, number);
    setup::DeleteSiteAccount(err, "IUSR_" + number);
    ASSERT_FALSE(err) << err.Description();
    for (const char* c : {"DodIde.dll", "Quorvale.dll", "Jmail.dll"})
      ASSERT_TRUE(win32::DeleteFileA((std::string(kSystem) + "\\" + c).c_str())) << c;
    for (const auto& key : testing::NewKeys(before, installed))
      ASSERT_TRUE(install.temp.machine().Registry().DeleteTree(key)) << key;
    if (!sql_server) return;
    std::filesystem::remove(sqlserver::CatalogueFile(install.temp.machine()));
    sqlserver::InstallSqlServer(install.temp.machine());
  }

  uninstall::testing::XClient x;
  quorvale::testing::TempFolder folder_{"quorvale-server-end"};
  std::filesystem::path server_end_ = folder_.Path() / "machine";
};

struct LifeCase {
  const char* name;
  bool sql_server;
};

const LifeCase kLives[] = {{"SQL Server", true}, {"Access", false}};

TEST_F(LifeCycle, InstallDamageRepairUninstall) {
  if (IsSkipped() || HasFatalFailure()) return;
  for (const auto& c : kLives) {
    SCOPED_TRACE(c.name);
    client::testing::InstallRun install(false, server_end_);
    auto& temp = install.temp;
    Machine& m = temp.machine();
    // What every program's start makes sure of, made sure of once here.
    EnsurePlatformObjects(m, PROVIDERS_PATH);
    const std::vector<std::string> folders = {kFolder, kSystem};
    const MachineState before = testing::TakeState(temp, folders);
    ASSERT_TRUE(m.Registry().KeyExists(kServerEntry));

    install.InstallWith({.sql_server = c.sql_server, .database = "Panel", .login = "PanelUser"});
    ASSERT_EQ(install.driver.ShownForms(), std::vector<std::string>{"Complete"});
    const std::string number = install.SiteNumber(), account = "IUSR_" + number;
    ASSERT_FALSE(number.empty());
#if defined(__SANITIZE_ADDRESS__)
    // The program the payload carries is built without sanitizers; it
    // cannot load this build's libraries, so this build's own takes its place.
    std::filesystem::copy_file(UNINSTALL_PROGRAM, temp.Host(kProgram),
                               std::filesystem::copy_options::overwrite_existing);
#endif
    const MachineState installed = testing::TakeState(temp, folders, {.site_passwords = true});
    // What is compared below is there to compare.
    EXPECT_EQ(installed.metabase.size(), before.metabase.size() + 2);  // the panel site and its root
    EXPECT_EQ(installed.users.size(), before.users.size() + 1);
    EXPECT_EQ(installed.databases.size(), before.databases.size() + (c.sql_server ? 1 : 0));
    EXPECT_GT(installed.registry.size(), before.registry.size());
    EXPECT_GT(installed.files.size(), before.files.size() + 8);
    Damage(install, c.sql_server, before, installed);
    ASSERT_FALSE(m.Registry().KeyExists(kEntry));
    ASSERT_FALSE(temp.Exists(std::string(kSystem) + "\\Quorvale.dll"));

    // The repair, started by hand from the install folder.
    UseTestClock(false);
    const std::size_t repair_events = m.ProgramEvents().size();
    RunByHand(std::string("\"") + kProgram + "\" -modify", "修复",
              [&] { return m.Registry().KeyExists(kEntry) && RegistrarsDone(m, repair_events) == 3; });
    if (HasFatalFailure()) return;
    const MachineState repaired = testing::TakeState(temp, folders, {.site_passwords = true});
    testing::ExpectSameSystem(repaired, installed);
    // The site account now has full control of the components, where the
    // install gave it (and Everyone, for jmail.dll) read access.
    EXPECT_EQ(testing::Without(repaired.access, IsComponent),
              testing::Without(installed.access, IsComponent));
    EXPECT_EQ(testing::Without(repaired.access, [](const std::string& l) { return !IsComponent(l); }),
              (StateLines{std::string(kSystem) + "\\DodIde.dll " + account + ":F",
                          std::string(kSystem) + "\\Quorvale.dll " + account + ":F",
                          std::string(kSystem) + "\\jmail.dll " + account + ":F"}));
    // Every file as the install left it, the components byte for byte; the
    // data file's header holds its users with the new server's numbers, and
    // the repair writes the connection settings anew, to the same values.
    const std::string conn = LowerCase(std::string(kFolder) + "\\Web\\Inc\\Conn.asp");
    const std::string mdf = LowerCase(std::string(kFolder) + "\\Data\\Panel.mdf");
    ASSERT_EQ(repaired.files.size(), installed.files.size());
    for (const auto& [path, bytes] : installed.files) {
      SCOPED_TRACE(path);
      ASSERT_TRUE(repaired.files.count(path));
      if (path == mdf) continue;
      if (path == conn) {
        const auto a = setup::ReadConnectionSettings(win32::FromAnsi(bytes));
        const auto b = setup::ReadConnectionSettings(win32::FromAnsi(repaired.files.at(path)));
        EXPECT_EQ(std::vector<std::string>({a.type, a.server, a.login, a.pw, a.db}),
                  std::vector<std::string>({b.type, b.server, b.login, b.pw, b.db}));
        continue;
      }
      EXPECT_TRUE(repaired.files.at(path) == bytes) << "differs";
    }
    // The account's new password is the site's.
    const auto site = setup::testing::MetabaseKeyAt(m, "/LM/W3SVC/" + number);
    const auto user = LocalAccounts(m).FindUser(account);
    ASSERT_TRUE(site);
    ASSERT_TRUE(user);
    EXPECT_EQ(setup::testing::PropertyOf(*site, "AnonymousUserPass"), user->password);

    // The uninstall, as Windows' list of installed programs starts it.
    const auto entry = m.Registry().GetValue(kEntry, "UninstallString");
    ASSERT_TRUE(entry);
    const std::string uninstall = entry->data;
    EXPECT_EQ(win32::FromAnsi(uninstall), std::string(kFolder) + "\\Uninstall.exe -delete");
    const std::size_t uninstall_events = m.ProgramEvents().size();
    RunByHand(win32::FromAnsi(uninstall), "卸载",
              [&] { return !m.Registry().KeyExists(kEntry) && RegistrarsDone(m, uninstall_events) == 3; });
    if (HasFatalFailure()) return;
    // The batch outlives the program and removes the install folder.
    EXPECT_TRUE(WaitFor([&] { return !temp.Exists(kFolder); })) << "the install folder is still there";
    const MachineState removed = testing::TakeState(temp, folders);
    testing::ExpectSameSystem(removed, before);
    EXPECT_EQ(removed.access, before.access);
    EXPECT_EQ(Paths(removed), Paths(before));
    EXPECT_TRUE(temp.Exists("C:\\Program Files\\Quorvale"));
  }
}

}  // namespace
}  // namespace quorvale::uninstall
