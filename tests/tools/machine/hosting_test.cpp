// The hosting programs through the machine tool: which ones create puts
// where the setup looks, adding and removing them by hand, and starting the
// control end's installed uninstaller; and the default machine the programs
// make on first use.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "machine_tool.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_folder.h"
#include "quorvale/providers/registration.h"
#include "quorvale/sqlserver/catalogue.h"

namespace quorvale::tool {
namespace {

namespace fs = std::filesystem;

// The file each program is found by, as the setup's pages look for it.
const std::pair<const char*, std::vector<const char*>> kFound[] = {
    {"servu", {"C:\\Program Files\\Serv-U\\ServUDaemon.ini"}},
    {"php", {"C:\\php\\php.exe", "C:\\php\\sapi\\php4isapi.dll"}},
    {"perl", {"C:\\Perl\\bin\\perl.exe"}},
    {"imail", {"C:\\iMail\\IMail.exe", "C:\\iMail\\IAdmin.exe"}},
    {"winwebmail", {"C:\\WinWebMail\\easymail.exe", "C:\\WinWebMail\\emsvr.exe", "C:\\WinWebMail\\web"}},
};

class HostingTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    args.insert(args.begin(), {"--machine", folder_.string()});
    return RunMachineTool(args, out_, err_);
  }
  bool Exists(const std::string& windows_path) { return Machine(folder_).Resolve(windows_path).exists; }
  // sa's password, or "-" without SQL Server (service and catalogue agree).
  std::string SaPassword() {
    Machine m(folder_);
    const auto catalogue = sqlserver::LoadCatalogue(m);
    const auto service = m.FindService("MSSQLSERVER");
    EXPECT_EQ(catalogue.has_value(), service.has_value());
    if (!catalogue) return "-";
    EXPECT_EQ(service->state, "running");
    return catalogue->logins.at(0).password;
  }
  // "servu php ..." : the programs whose files are all there.
  std::string Present() {
    std::string present;
    for (const auto& [name, files] : kFound) {
      std::size_t there = 0;
      for (const char* f : files) there += Exists(f);
      EXPECT_TRUE(there == 0 || there == files.size()) << name;
      if (there) present += std::string(present.empty() ? "" : " ") + name;
    }
    return present;
  }
  void Write(const std::string& windows_path, const std::string& text) {
    const auto host = Machine(folder_).Resolve(windows_path).host;
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << text;
  }

  quorvale::testing::TempFolder temp_{"quorvale-hosting"};
  fs::path folder_ = temp_.Path() / "m";
  std::ostringstream out_, err_;
};

TEST_F(HostingTest, CreateOptionsChooseThePrograms) {
  const char* all = "servu php perl imail winwebmail";
  struct Case {
    std::vector<std::string> options;
    std::string present, sa_password, printed;
  } cases[] = {
      {{},
       all,
       "Sa2000",
       "Hosting programs: SQL Server 2000 (sa password Sa2000), Serv-U, PHP, Perl, iMail, WinWebMail\n"},
      {{"--bare"}, "", "-", "Hosting programs: none\n"},
      {{"--no-sqlserver", "--no-servu", "--no-imail"},
       "php perl winwebmail",
       "-",
       "Hosting programs: PHP, Perl, WinWebMail\n"},
      {{"--no-php", "--no-perl", "--no-winwebmail", "--sa-password", "Pw 2;x"},
       "servu imail",
       "Pw 2;x",
       "Hosting programs: SQL Server 2000 (sa password Pw 2;x), Serv-U, iMail\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.empty() ? "defaults" : c.options[0]);
    fs::remove_all(folder_);
    std::vector<std::string> args{"create"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(Run(args), 0) << err_.str();
    EXPECT_EQ(out_.str().substr(out_.str().find('\n') + 1), c.printed);
    EXPECT_EQ(Present(), c.present);
    EXPECT_EQ(SaPassword(), c.sa_password);
  }
  // The same options make the same machine anew.
  ASSERT_EQ(Run({"reset", "--no-perl"}), 0) << err_.str();
  EXPECT_EQ(Present(), "servu php imail winwebmail");
  // Serv-U goes where the setup's second place is when there is no C:\Program Files.
  fs::remove_all(folder_);
  ASSERT_EQ(Run({"create", "--no-program-files"}), 0) << err_.str();
  EXPECT_EQ(SaPassword(), "Sa2000");
  EXPECT_TRUE(Exists("C:\\Serv-U\\ServUDaemon.ini"));
  EXPECT_FALSE(Exists("C:\\Program Files"));
  // A choice that makes no sense makes nothing.
  fs::remove_all(folder_);
  EXPECT_EQ(Run({"create", "--no-sqlserver", "--sa-password", "x"}), 2);
  EXPECT_EQ(err_.str(),
            "quorvale-machine: --sa-password is for a machine with SQL Server (quorvale-machine --help "
            "shows the commands)\n");
  EXPECT_FALSE(Machine::Exists(folder_));
}

// Commands on one machine in turn, each with its code and what it printed
// (stdout for 0, else stderr); a refused one changes nothing.
TEST_F(HostingTest, AddAndRemoveByHand) {
  ASSERT_EQ(Run({"create"}), 0);
  const std::string usage = " (quorvale-machine --help shows the commands)\n",
                    all = "servu php perl imail winwebmail";
  struct Step {
    std::vector<std::string> args;
    int code;
    std::string printed, present = {}, sa_password = {};  // afterwards
  } steps[] = {
      {{"remove", "php"}, 0, "Removed PHP\n", "servu perl imail winwebmail", "Sa2000"},
      {{"remove", "PHP"}, 1, "quorvale-machine: the machine has no PHP\n", "", ""},
      {{"add", "php"}, 0, "Added PHP: C:\\php\\php.exe\n", all, "Sa2000"},
      {{"add", "php"}, 1, "quorvale-machine: the machine has PHP already\n", "", ""},
      {{"remove", "sqlserver"}, 0, "Removed SQL Server 2000\n", all, "-"},
      {{"add", "sqlserver", "--sa-password", ""},
       2,
       "quorvale-machine: --sa-password takes a password" + usage},
      {{"add", "sqlserver", "--sa-password", "New-Pw1"},
       0,
       "Added SQL Server 2000: sa password New-Pw1\n",
       all,
       "New-Pw1"},
      {{"add", "perl", "--sa-password", "x"}, 2, "quorvale-machine: --sa-password is for sqlserver" + usage},
      {{"add", "mysql"},
       2,
       "quorvale-machine: no program named mysql (there are: sqlserver, servu, php, perl, imail, "
       "winwebmail)" +
           usage},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.args[0] + " " + s.args[1]);
    const std::string present = Present(), sa_password = SaPassword();
    EXPECT_EQ(Run(s.args), s.code);
    EXPECT_EQ(s.code ? err_.str() : out_.str(), s.printed);
    EXPECT_EQ(Present(), s.code ? present : s.present);
    EXPECT_EQ(SaPassword(), s.code ? sa_password : s.sa_password);
  }
  // A removal takes what the machine kept about the files along.
  Write("C:\\WinWebMail\\web\\MailCtrl.asp", "page");
  Machine(folder_).SetAttributes("C:\\WinWebMail\\web\\MailCtrl.asp", kAttrHidden);
  ASSERT_EQ(Run({"remove", "winwebmail"}), 0) << err_.str();
  ASSERT_EQ(Run({"show", "files"}), 0);
  EXPECT_EQ(out_.str().find("WinWebMail"), std::string::npos) << out_.str();
  // A damaged catalogue goes with its server, and a new one can come.
  std::ofstream(folder_ / "sqlserver" / "catalogue.txt") << "counters\t51\n";
  EXPECT_EQ(Run({"show", "system"}), 1);
  ASSERT_EQ(Run({"remove", "sqlserver"}), 0) << err_.str();
  ASSERT_EQ(Run({"add", "sqlserver"}), 0) << err_.str();
  ASSERT_EQ(Run({"show", "system"}), 0) << err_.str();
  EXPECT_NE(out_.str().find(
                "Hosting programs\n  SQL Server 2000  (local), service MSSQLSERVER running, sa password "
                "Sa2000\n  Serv-U           C:\\Program Files\\Serv-U\\ServUDaemon.ini\n"),
            std::string::npos)
      << out_.str();
}

// A program in use is not pulled from under it: nothing changes.
TEST_F(HostingTest, RemoveRefusesWhatIsInUse) {
  ASSERT_EQ(Run({"create"}), 0);
  const std::string self = std::to_string(::getpid());
  {
    Machine m(folder_);
    auto hold = m.Hold("C:\\php\\sapi\\php4isapi.dll", "w3wp.exe");
    EXPECT_EQ(Run({"remove", "php"}), 1);
    EXPECT_EQ(err_.str(),
              "quorvale-machine: C:\\php\\sapi\\php4isapi.dll is held open by w3wp.exe (process " + self +
                  "): end that program first\n");
    EXPECT_EQ(Present(), "servu php perl imail winwebmail");
  }
  ASSERT_TRUE(sqlserver::UpdateCatalogue(Machine(folder_), [&](sqlserver::Catalogue& c) {
    c.processes.push_back({51, ::getpid(), 1, "sa"});
    c.processes.push_back({52, 999999999, 1, "sa"});  // a program that has ended
    return true;
  }));
  EXPECT_EQ(Run({"remove", "sqlserver"}), 1);
  EXPECT_EQ(err_.str(), "quorvale-machine: SQL Server has a connection open (spid 51 of process " + self +
                            "): end that program first\n");
  EXPECT_EQ(SaPassword(), "Sa2000");
  EXPECT_TRUE(Exists("C:\\Program Files\\Microsoft SQL Server\\MSSQL\\Binn\\sqlservr.exe"));
}

// uninstall starts what the control end's entry names, as Windows' list of
// installed programs does, in a normal window, and returns once it ended.
TEST_F(HostingTest, UninstallStartsTheEntrysProgramAndWaits) {
  ASSERT_EQ(Run({"create", "--bare"}), 0);
  EXPECT_EQ(Run({"uninstall", "-delete"}), 1);
  EXPECT_EQ(err_.str(),
            "quorvale-machine: the control end is not installed on this machine (it has no uninstall entry "
            "Quorvalec): install it with Client (tools/wizard Client)\n");
  const std::string key =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";
  Machine m(folder_);
  m.Registry().CreateKey(key);
  m.Registry().SetValue(key, "UninstallString", RegValue::Text("C:\\Q\\gone.exe -delete"));
  EXPECT_EQ(Run({"uninstall", "-delete"}), 1);
  EXPECT_EQ(
      err_.str(),
      "quorvale-machine: the control end's uninstall entry names C:\\Q\\gone.exe -delete, and that program "
      "is not on the machine\n");
  // Each program takes a second, then removes its mark: gone once the tool returns.
  for (const char* name : {"remove", "repair"})
    Write(std::string("C:\\Q Q\\") + name + ".bat",
          std::string("@echo off\r\nping 127.0.0.1 -n 2\r\ndel \"C:\\Q Q\\") + name + ".mark\"\r\n");
  m.Registry().SetValue(key, "UninstallString", RegValue::Text("C:\\Q Q\\remove.bat -delete"));
  m.Registry().SetValue(key, "ModifyPath", RegValue::Text("C:\\Q Q\\repair.bat -modify"));
  struct Case {
    std::vector<std::string> args;
    const char *started, *mark;
  } cases[] = {
      {{"uninstall", "-delete"}, "C:\\Q Q\\remove.bat -delete", "C:\\Q Q\\remove.mark"},
      {{"uninstall", "-MODIFY"}, "C:\\Q Q\\repair.bat -modify", "C:\\Q Q\\repair.mark"},
      {{"uninstall"}, "C:\\Q Q\\remove.bat", "C:\\Q Q\\remove.mark"},
  };
  std::size_t count = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.started);
    Write(c.mark, "x");
    ASSERT_EQ(Run(c.args), 0) << err_.str();
    EXPECT_EQ(out_.str(),
              std::string("Starting ") + c.started + " and waiting for it to end\nIt has ended\n");
    EXPECT_FALSE(Exists(c.mark));
    const auto started = m.StartedPrograms();
    ASSERT_EQ(started.size(), ++count);
    EXPECT_EQ(started.back().command_line, c.started);
    EXPECT_EQ(started.back().show, 1);
  }
  EXPECT_EQ(Run({"uninstall", "-delete", "-modify"}), 2);
  EXPECT_EQ(Run({"uninstall", "/delete"}), 2);
  EXPECT_EQ(
      err_.str(),
      "quorvale-machine: uninstall takes -modify, -delete or nothing (quorvale-machine --help shows the "
      "commands)\n");
}

// The programs make the default machine on first use as a hosting server;
// a machine they find is kept as it is.
TEST_F(HostingTest, TheDefaultMachineIsAHostingServer) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const std::optional<std::string> kept = xdg ? std::optional<std::string>(xdg) : std::nullopt;
  ::setenv("XDG_DATA_HOME", temp_.Path().c_str(), 1);
  folder_ = temp_.Path() / "quorvale" / "machine";
  std::vector<std::string> args;
  for (const char* remove : {"perl", "imail"}) {
    ::unsetenv("QUORVALE_MACHINE");  // Run sets it
    EXPECT_EQ(StartOnMachine(args, PROVIDERS_PATH)->Folder(), folder_);
    ASSERT_EQ(Run({"remove", remove}), 0) << err_.str();  // a machine found stays as it is
  }
  EXPECT_EQ(Present(), "servu php winwebmail");
  EXPECT_EQ(SaPassword(), "Sa2000");
  if (kept)
    ::setenv("XDG_DATA_HOME", kept->c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace quorvale::tool
