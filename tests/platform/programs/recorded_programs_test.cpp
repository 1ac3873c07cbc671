#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

class RecordedProgramsTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    Write("C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe", "stand-in");
    Write("C:\\WINDOWS\\system32\\DodIde.dll", "stand-in");
    Write("C:\\WINDOWS\\system32\\Jmail.dll", "stand-in");
    Write("C:\\Program Files\\Quorvale\\Web\\Index.asp", "x");
    Write("C:\\Program Files\\Quorvale\\Service.exe", "stand-in");
    Write("C:\\Program Files\\Quorvale\\说明.txt", "x");
  }
};

TEST_F(RecordedProgramsTest, CaclsLinesBecomeAccessEntries) {
  Run("Cacls C:\\PROGRA~1\\Quorvale\\Web /t /e /c /g IUSR_123:F");
  Run("Cacls C:\\WINDOWS\\system32\\DodIde.dll /e /c /g IUSR_123:R");
  Run("Cacls C:\\WINDOWS\\system32\\jmail.dll /e /c /g Everyone:r");
  Run("Cacls C:\\WINDOWS\\system32\\Jmail.dll /g Administrators:F /g \"Power Users:C\"");
  Run("Cacls C:\\WINDOWS\\system32\\Missing.dll /e /c /g Everyone:R");
  Run("Cacls C:\\WINDOWS\\system32\\Jmail.dll /e /c /g Everyone:Q");
  Run("Cacls C:\\WINDOWS\\system32\\Jmail.dll /e /g");
  // /t reaches what lies below; a command without /e replaces the list.
  const std::vector<AccessEntry> expected = {
      {"C:\\Program Files\\Quorvale\\Web", "IUSR_123", "F"},
      {"C:\\Program Files\\Quorvale\\Web\\Index.asp", "IUSR_123", "F"},
      {"C:\\WINDOWS\\system32\\DodIde.dll", "IUSR_123", "R"},
      {"C:\\WINDOWS\\system32\\Jmail.dll", "Administrators", "F"},
      {"C:\\WINDOWS\\system32\\Jmail.dll", "Power Users", "C"},
  };
  EXPECT_EQ(machine().AccessList(), expected);
  auto records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].detail, "file not found");
  EXPECT_EQ(records[1].detail, "invalid grant Everyone:Q");
  EXPECT_EQ(records[2].detail, "invalid option /g");
}

TEST_F(RecordedProgramsTest, RegAsmServiceAndNotepadAreRecorded) {
  const std::string regasm = "C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe ";
  Run(regasm + "C:\\WINDOWS\\system32\\DodIde.dll /CodeBase");
  Run(regasm + "C:\\WINDOWS\\system32\\DodIde.dll /u");
  Run(regasm + "C:\\WINDOWS\\system32\\Missing.dll /CodeBase");
  Run("C:\\PROGRA~1\\Quorvale\\Service.exe -install");
  Run("C:\\PROGRA~1\\Quorvale\\Service.exe -install");
  Run("C:\\PROGRA~1\\Quorvale\\Service.exe -start");
  Run("notepad.exe C:\\PROGRA~1\\Quorvale\\说明.txt");
  const std::string service = "C:\\Program Files\\Quorvale\\Service.exe";
  const std::vector<ProgramEvent> expected = {
      {"RegAsm.exe", "registered", "C:\\WINDOWS\\system32\\DodIde.dll", "/CodeBase"},
      {"RegAsm.exe", "unregistered", "C:\\WINDOWS\\system32\\DodIde.dll", ""},
      {"RegAsm.exe", "failed", "C:\\WINDOWS\\system32\\Missing.dll", "file not found"},
      {"Service.exe", "installed", service, "Quorvale"},
      {"Service.exe", "failed", service, "service exists"},
      {"Service.exe", "skipped", service, "-start"},
      {"notepad.exe", "opened", "C:\\Program Files\\Quorvale\\说明.txt", ""},
  };
  EXPECT_EQ(Records(), expected);
  EXPECT_EQ(machine().FindService("Quorvale"),
            (ServiceRecord{"Quorvale", "Quorvale", service, "auto", "stopped"}));
}

}  // namespace
}  // namespace quorvale::testing
