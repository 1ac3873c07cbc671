#include "quorvale/machine/machine_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale {
namespace {

TEST(MachineFolder, EnvironmentNamesTheFolder) {
  ::setenv("QUORVALE_MACHINE", "/tmp/some-machine", 1);
  EXPECT_EQ(MachineFolder(), std::filesystem::path("/tmp/some-machine"));
  ::unsetenv("QUORVALE_MACHINE");
  ::setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(MachineFolder(), std::filesystem::path("/tmp/xdg/quorvale/machine"));
  ::unsetenv("XDG_DATA_HOME");
}

TEST(MachineFolder, WindowsPathsMapOntoDrives) {
  const std::filesystem::path m = "/tmp/m";
  struct Case {
    std::string windows;
    std::string host;
  } cases[] = {
      {"C:\\WINDOWS\\system32\\Quorvale.dll", "/tmp/m/drives/C/WINDOWS/system32/Quorvale.dll"},
      {"d:\\", "/tmp/m/drives/D"},
      {"C:\\Program Files\\\\a\\", "/tmp/m/drives/C/Program Files/a"},
      {"/usr/lib/x.so", "/usr/lib/x.so"},
  };
  for (const auto& c : cases) EXPECT_EQ(HostPathOf(m, c.windows), std::filesystem::path(c.host)) << c.windows;
  EXPECT_EQ(WindowsPathOf(m, "/tmp/m/drives/C/WINDOWS/system32/Quorvale.dll"),
            "C:\\WINDOWS\\system32\\Quorvale.dll");
  EXPECT_EQ(WindowsPathOf(m, "/tmp/m/drives/D"), "D:\\");
  EXPECT_EQ(WindowsPathOf(m, "/usr/lib/x.so"), std::nullopt);
  EXPECT_EQ(WindowsPathOf(m, "/tmp/m/registry.reg"), std::nullopt);
}

TEST(MachineFolder, HostPathsFollowWindowsNamesOnAMachine) {
  testing::TempMachine temp;
  const auto& m = temp.Folder();
  struct Case {
    std::string windows;
    std::filesystem::path host;
  } cases[] = {
      {"c:\\windows\\SYSTEM32\\Quorvale.dll", m / "drives/C/WINDOWS/system32/Quorvale.dll"},
      {"C:\\PROGRA~1\\common files", m / "drives/C/Program Files/Common Files"},
      {"C:\\New\\Folder", m / "drives/C/New/Folder"},
      // ".." stops at the drive root, also where the machine cannot look
      // the path up (a drive it lacks, a name Windows refuses).
      {"C:\\..\\..\\..\\etc\\passwd", m / "drives/C/etc/passwd"},
      {"Q:\\..\\..\\..\\etc\\passwd", m / "drives/Q/etc/passwd"},
      {"Q:/etc/passwd", m / "drives/Q/etc/passwd"},
      {"C:\\..\\..\\x?\\..\\..\\etc", m / "drives/C/etc"},
      {"C:\\WINDOWS\\.\\system32\\..\\..\\WINDOWS", m / "drives/C/WINDOWS"},
  };
  for (const auto& c : cases) EXPECT_EQ(HostPathOf(m, c.windows), c.host) << c.windows;
}

TEST(MachineFolder, TheMachineArgument) {
  struct Case {
    std::vector<std::string> args, rest;
    bool taken;
  } cases[] = {
      {{"show", "--machine", "/tmp/x"}, {"show"}, true},
      {{"--machine=/tmp/x", "a"}, {"a"}, true},
      {{"a", "b"}, {"a", "b"}, false},
  };
  for (auto& c : cases) {
    ::unsetenv("QUORVALE_MACHINE");
    EXPECT_EQ(TakeMachineArgument(c.args), c.taken);
    EXPECT_EQ(c.args, c.rest);
    if (c.taken) {
      EXPECT_EQ(MachineFolder(), std::filesystem::path("/tmp/x"));
    }
  }
  // Without its folder the option is refused, not taken for a command.
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--machine"}, {"--machine", "--help"}, {"--machine="}}) {
    EXPECT_THROW(TakeMachineArgument(args), std::invalid_argument) << args[0];
  }
  ::unsetenv("QUORVALE_MACHINE");
}

}  // namespace
}  // namespace quorvale
