#include "machine_tool.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "quorvale/machine/machine.h"
#include "quorvale/providers/shell_link.h"

namespace quorvale::tool {
namespace {

class MachineToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quorvale-tool-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(tmpl.data()));
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    args.insert(args.begin(), {"--machine", (dir_ / "m").string()});
    return RunMachineTool(args, out_, err_);
  }
  std::filesystem::path dir_;
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
       {"Windows XP", "C:  0.01 GB free", "D:  1.00 GB free"}},
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
  EXPECT_EQ(Run({"set-free", "C", "2G"}), 0);
  Run({"show", "system"});
  EXPECT_NE(out_.str().find("C:  2.00 GB free"), std::string::npos) << out_.str();
  Machine(dir_ / "m").RecordStart({"regsvr32 C:\\x.dll /s", 0, true});
  Run({"show", "programs"});
  EXPECT_NE(out_.str().find("1. hidden: regsvr32 C:\\x.dll /s"), std::string::npos) << out_.str();
}

TEST_F(MachineToolTest, ADamagedStateFileIsNamed) {
  ASSERT_EQ(Run({"create"}), 0);
  std::ofstream(dir_ / "m" / "services.txt", std::ios::app) << "W3SVC\trunning";
  EXPECT_EQ(Run({"show", "services"}), 1);
  EXPECT_NE(err_.str().find((dir_ / "m" / "services.txt").string()), std::string::npos) << err_.str();
  EXPECT_EQ(Run({"show"}), 1);
  std::filesystem::remove(dir_ / "m" / "machine.ini");
  EXPECT_EQ(Run({"show"}), 1);
  EXPECT_NE(err_.str().find("machine.ini"), std::string::npos) << err_.str();
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
