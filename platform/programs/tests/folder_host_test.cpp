#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

TEST(ShortNameOf, FollowsTheEightThreeRules) {
  struct Case {
    std::string name;
    std::vector<std::string> siblings;
    std::string alias;
  } cases[] = {
      {"Program Files", {"Program Files", "WINDOWS"}, "PROGRA~1"},
      {"Microsoft.NET", {}, "MICROS~1.NET"},
      {"v1.1.4322", {}, "V11~1.432"},
      {"Framework", {}, "FRAMEW~1"},
      {"ntsvc.ocx", {}, "ntsvc.ocx"},
      {"Quorvale.rar", {}, "Quorvale.rar"},
      {"Quorvale.mdf.bak", {}, "QUORVA~1.BAK"},
      {"说明.txt", {}, "说明.txt"},
      {"Program Files", {"Program Data", "Program Files"}, "PROGRA~2"},
      {"a+b c.html", {}, "A_BC~1.HTM"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShortNameOf(c.name, c.siblings), c.alias) << c.name;
}

class FolderHostTest : public MachineTest {};

TEST_F(FolderHostTest, ResolvesLongShortAndOddPaths) {
  Write("C:\\Program Files\\Quorvale\\Quorvale.rar", "x");
  const auto drive = machine_ / "drives" / "C";
  struct Case {
    std::string windows;
    std::filesystem::path host;
  } cases[] = {
      {"C:\\PROGRA~1\\QUORVALE\\quorvale.RAR", drive / "Program Files/Quorvale/Quorvale.rar"},
      {"c:\\program files\\quorvale", drive / "Program Files/Quorvale"},
      {"C:/Program Files/Quorvale/New.txt", drive / "Program Files/Quorvale/New.txt"},
      {"C:\\..\\..\\..\\etc\\passwd", drive / "etc/passwd"},
      {"C:\\WINDOWS\\.\\system32\\..\\..\\WINDOWS", drive / "WINDOWS"},
      {"C:", drive},
  };
  for (const auto& c : cases) EXPECT_EQ(host().HostPathOf(c.windows), c.host) << c.windows;
  EXPECT_EQ(host().HostPathOf("\\\\server\\share\\x"), std::nullopt);
  EXPECT_EQ(host().HostPathOf("relative\\x"), std::nullopt);
  EXPECT_EQ(host().ShortPathOf("C:\\Program Files\\Quorvale\\Quorvale.rar"),
            "C:\\PROGRA~1\\Quorvale\\Quorvale.rar");
  EXPECT_EQ(host().WindowsPathOf(drive / "Program Files"), "C:\\Program Files");
}

}  // namespace
}  // namespace quorvale::testing
