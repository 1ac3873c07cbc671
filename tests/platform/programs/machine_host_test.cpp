#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

class MachineHostTest : public MachineTest {};

TEST_F(MachineHostTest, PathsGoThroughTheMachinesNames) {
  Write("C:\\Program Files\\Quorvale\\Quorvale.rar", "x");
  const auto drive = Folder() / "drives" / "C";
  struct Case {
    std::string windows;
    std::optional<std::filesystem::path> host;
    std::string long_path;
  } cases[] = {
      {"C:\\PROGRA~1\\QUORVALE\\quorvale.RAR", drive / "Program Files/Quorvale/Quorvale.rar",
       "C:\\Program Files\\Quorvale\\Quorvale.rar"},
      {"c:\\program files\\quorvale", drive / "Program Files/Quorvale", "C:\\Program Files\\Quorvale"},
      {"C:/Program Files/Quorvale/New.txt", drive / "Program Files/Quorvale/New.txt",
       "C:\\Program Files\\Quorvale\\New.txt"},
      {"C:\\..\\..\\..\\etc\\passwd", drive / "etc/passwd", "C:\\etc\\passwd"},
      {"C:\\WINDOWS\\.\\system32\\..\\..\\WINDOWS", drive / "WINDOWS", "C:\\WINDOWS"},
      {"C:", drive, "C:\\"},
      {"\\\\server\\share\\x", std::nullopt, "\\\\server\\share\\x"},
      {"relative\\x", std::nullopt, "relative\\x"},
      {"Q:\\x", std::nullopt, "Q:\\x"},
      {"C:\\a?b", std::nullopt, "C:\\a?b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(host().HostPathOf(c.windows), c.host) << c.windows;
    EXPECT_EQ(host().LongPathOf(c.windows), c.long_path) << c.windows;
  }
  EXPECT_EQ(host().WindowsPathOf(drive / "Program Files"), "C:\\Program Files");
  EXPECT_EQ(host().SystemFolder(), "C:\\WINDOWS\\system32");
  EXPECT_EQ(host().WindowsFolder(), "C:\\WINDOWS");
}

TEST_F(MachineHostTest, GrantsReachTheMachinesAccessList) {
  Write("C:\\Web\\Inc\\Conn.asp", "x");
  Write("C:\\Web\\Index.asp", "x");
  machine().Grant("C:\\Web\\Index.asp", "Everyone", "R");
  host().AddAccessEntry({"C:\\Web", "IUSR_1", "F", true, false});
  host().AddAccessEntry({"C:\\Web\\Index.asp", "Administrators", "F", false, true});
  std::vector<std::string> lines;
  for (const auto& e : machine().AccessList()) lines.push_back(e.path + " " + e.principal + ":" + e.right);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"C:\\Web IUSR_1:F", "C:\\Web\\Inc IUSR_1:F",
                                             "C:\\Web\\Inc\\Conn.asp IUSR_1:F",
                                             "C:\\Web\\Index.asp Administrators:F"}));
}

TEST_F(MachineHostTest, HoldsServicesAndTheClock) {
  Write("C:\\a.txt", "x");
  {
    FileHold hold = host().Hold(File("C:\\A.TXT"), "test");
    EXPECT_TRUE(host().IsHeld(File("c:\\a.txt")));
    EXPECT_TRUE(machine().IsHeld("C:\\a.txt"));
  }
  EXPECT_FALSE(host().IsHeld(File("C:\\a.txt")));
  ServiceRecord service{"Quorvale", "Quorvale", "C:\\s.exe", "auto", "stopped"};
  EXPECT_TRUE(host().RegisterService(service));
  EXPECT_FALSE(host().RegisterService({"quorvale", "Other", "C:\\o.exe", "demand", "stopped"}));
  EXPECT_EQ(machine().FindService("Quorvale"), service);
  host().Sleep(std::chrono::seconds(3));
  EXPECT_EQ(ClockNow(), 3000u);
}

}  // namespace
}  // namespace quorvale::testing
