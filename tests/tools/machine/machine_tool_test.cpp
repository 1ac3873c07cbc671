#include "machine_tool.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <sstream>

#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_folder.h"
#include "quorvale/providers/shell_link.h"

namespace quorvale::tool {
namespace {

class MachineToolTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    args.insert(args.begin(), {"--machine", (dir_ / "m").string()});
    return RunMachineTool(args, out_, err_);
  }
  quorvale::testing::TempFolder temp_{"quorvale-tool"};
  const std::filesystem::path dir_ = temp_.Path();
  std::ostringstream out_, err_;
};

TEST_F(MachineToolTest, CreatesTheShapeAsked) {
  struct Case {
    std::vector<std::string> options;
    std::vector<std::string> shown;
  } cases[] = {
      {{},
       {"Windows Server 2003 (5.2 build 3790", "IIS installed", "Program Files\\  [PROGRA~1]",
        "W3SVC  running"}},
      {{"--windows", "2000", "--no-iis"}, {"Windows 2000 (5.0", "no IIS", "C:\\WINNT"}},
      {{"--windows", "98", "--no-program-files"}, {"Windows 98 (4.10", "C:\\WINDOWS\\SYSTEM"}},
      {{"--windows", "xp", "--free", "C=10M", "--drive", "D=1G"},
       {"Windows XP", "C:  10.00 MB free", "D:  1.00 GB free"}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir_ / "m");
    std::vector<std::string> args{"create"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(Run(args), 0) << err_.str();
    ASSERT_EQ(Run({"show"}), 0) << err_.str();
    for (const auto& s : c.shown) EXPECT_NE(out_.str().find(s), std::string::npos) << s << "\n" << out_.str();
    if (c.options.empty()) {
      EXPECT_EQ(Run({"create"}), 1);  // a machine is already there
    }
  }
  EXPECT_EQ(Run({"create", "--windows", "95"}), 2);
  ASSERT_EQ(Run({"reset", "--windows", "2000"}), 0) << err_.str();
  Run({"show", "system"});
  EXPECT_NE(out_.str().find("Windows 2000"), std::string::npos) << out_.str();
  std::filesystem::create_directories(dir_ / "other");
  std::ofstream(dir_ / "other" / "keep.txt") << "x";
  EXPECT_EQ(RunMachineTool({"--machine", (dir_ / "other").string(), "reset"}, out_, err_), 1);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "other" / "keep.txt"));
  Machine(dir_ / "m").RecordStart({"regsvr32 C:\\x.dll /s", 0, true});
  Run({"show", "programs"});
  EXPECT_NE(out_.str().find("1. hidden: regsvr32 C:\\x.dll /s"), std::string::npos) << out_.str();
}

// What each command prints, on stdout (code 0) or as one error line.
TEST_F(MachineToolTest, MessagesSayWhatHappened) {
  ASSERT_EQ(Run({"create", "--bare", "--no-iis", "--drive", "D"}), 0) << err_.str();
  std::ofstream(dir_ / "file") << "x";
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string printed;  // on stdout for 0, else on stderr
  } cases[] = {
      {{"set-free", "C", "5M"}, 0, "C: now reports 5.00 MB free\n"},
      {{"set-free", "c", "1536"}, 0, "C: now reports 1.50 KB free\n"},
      {{"set-free", "C", "100"}, 0, "C: now reports 100 bytes free\n"},
      {{"set-free", "D", "2G"}, 0, "D: now reports 2.00 GB free\n"},
      {{"set-free", "C", "real"}, 0, "C: now reports its real free space\n"},
      {{"set-free", "E", "1G"}, 1, "quorvale-machine: the machine has no drive E:\n"},
      {{"set-free", "C", "lots"},
       2,
       "quorvale-machine: bad size lots (quorvale-machine --help shows the commands)\n"},
      {{"show", "nothing"},
       2,
       "quorvale-machine: show has no part nothing (quorvale-machine --help shows the commands)\n"},
      {{"frobnicate"},
       2,
       "quorvale-machine: unknown command frobnicate (quorvale-machine --help shows the commands)\n"},
      {{"create", "--bogus"},
       2,
       "quorvale-machine: unknown option --bogus (quorvale-machine --help shows the commands)\n"},
      {{"show", "shortcuts"}, 0, "Shortcuts\n  (none)\n"},
      {{"show", "access"}, 0, "Access lists (granted rights)\n  (none)\n"},
      {{"show", "services"}, 0, "Services\n  (none)\n"},
      {{"show", "holds"}, 0, "Files held open\n  (none)\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.code) << c.args[0];
    const std::string printed = c.code == 0 ? out_.str() : err_.str();
    EXPECT_EQ(printed.substr(0, c.printed.size()), c.printed) << printed;
    if (c.code) {
      EXPECT_TRUE(out_.str().empty());
    }
  }
  Run({"show", "files"});
  EXPECT_NE(out_.str().find("  D:\\\n    (none)\n"), std::string::npos) << out_.str();
  // Folders that are no machine, and a missing folder argument.
  const std::string file = (dir_ / "file").string(), none = (dir_ / "none").string();
  struct Plain {
    std::vector<std::string> args;
    int code;
    std::string error;
  } plain[] = {
      {{"--machine", file, "create"}, 1, "quorvale-machine: " + file + " is a file, not a folder\n"},
      {{"--machine", none, "show"},
       1,
       "quorvale-machine: " + none + " holds no machine; make one with: quorvale-machine --machine " + none +
           " create\n"},
      {{"show", "--machine"},
       2,
       "quorvale-machine: --machine needs a folder: --machine DIR (quorvale-machine --help shows the "
       "commands)\n"},
  };
  for (const auto& c : plain) {
    out_.str("");
    err_.str("");
    EXPECT_EQ(RunMachineTool(c.args, out_, err_), c.code);
    EXPECT_EQ(err_.str(), c.error);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none"));  // show made nothing there
}

// show reads only: not a byte of the machine changes, and no file appears.
TEST_F(MachineToolTest, ShowChangesNothing) {
  ASSERT_EQ(Run({"create"}), 0);
  std::filesystem::create_directories(dir_ / "m" / "drives" / "C" / "A Long Folder Name");
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_ / "m"))
      if (e.is_regular_file() && e.path().parent_path().filename() != ".locks") {
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[e.path().string()] = bytes.str();
      } else if (e.is_directory()) {
        files[e.path().string()] = "(folder)";
      }
    return files;
  };
  const auto before = snapshot();
  ASSERT_EQ(Run({"show"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("A Long Folder Name\\\n"), std::string::npos);
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace quorvale::tool

namespace quorvale::tool {
namespace {

TEST_F(MachineToolTest, ShowsSitesAccountsAndShortcuts) {
  ASSERT_EQ(Run({"create", "--computer", "HOST1"}), 0);
  ShellLink link;
  link.description = "Quorvale虚拟主机管理系统 v3.0 被控端";
  link.target_path = "C:\\Quorvale\\Quorvale.exe";
  link.show_command = 4;
  const auto desktop = dir_ / "m" / "drives" / "C" / "Documents and Settings" / "Administrator" / "桌面";
  std::filesystem::create_directories(desktop);
  std::ofstream(desktop / "Quorvale.lnk", std::ios::binary) << WriteShellLink(link);
  std::ofstream(desktop / "broken.lnk", std::ios::binary) << "not a link";
  ASSERT_EQ(Run({"show", "iis"}), 0);
  for (const char* shown :
       {"/LM/W3SVC/1  IIsWebServer", "ServerComment = Default Web Site", "ServerBindings = :80:"})
    EXPECT_NE(out_.str().find(shown), std::string::npos) << shown << "\n" << out_.str();
  ASSERT_EQ(Run({"show", "accounts"}), 0);
  for (const char* shown :
       {"IUSR_HOST1", "Guests: Guest IUSR_HOST1 IWAM_HOST1", "Administrators: Administrator"})
    EXPECT_NE(out_.str().find(shown), std::string::npos) << shown << "\n" << out_.str();
  ASSERT_EQ(Run({"show", "shortcuts"}), 0);
  for (const char* shown : {"C:\\Documents and Settings\\Administrator\\桌面\\Quorvale.lnk",
                            "target       C:\\Quorvale\\Quorvale.exe", "Quorvale虚拟主机管理系统 v3.0 被控端",
                            "window       style 4", "broken.lnk\n    (not a shell link)"})
    EXPECT_NE(out_.str().find(shown), std::string::npos) << shown << "\n" << out_.str();
  ASSERT_EQ(Run({"create", "--no-iis"}), 1);
}

}  // namespace
}  // namespace quorvale::tool
