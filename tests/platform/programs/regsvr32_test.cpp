#include <fstream>

#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

constexpr const char* kClassKey = "HKEY_CLASSES_ROOT\\CLSID\\{0A0B0C0D-1111-2222-3333-444455556666}";

class Regsvr32Test : public MachineTest {
 protected:
  void CopyServer(const std::string& windows_path) {
    std::filesystem::create_directories(File(windows_path).parent_path());
    std::filesystem::copy_file(REGISTERING_SERVER_PATH, File(windows_path));
  }
};

TEST_F(Regsvr32Test, RegistersAndUnregistersAServerOfOurs) {
  CopyServer("C:\\Program Files\\Quorvale\\Test Server.dll");
  ASSERT_TRUE(Run("regsvr32 \"C:\\Program Files\\Quorvale\\Test Server.dll\" /s"));
  auto library = host().Registry().GetValue(std::string(kClassKey) + "\\InprocServer32", "");
  ASSERT_TRUE(library);
  EXPECT_EQ(library->AsText(), "C:\\Program Files\\Quorvale\\Test Server.dll");
  EXPECT_TRUE(host().Registry().KeyExists("HKEY_CLASSES_ROOT\\Test.Registered\\CLSID"));

  ASSERT_TRUE(Run("regsvr32 C:\\PROGRA~1\\Quorvale\\TESTSE~1.DLL /u /s"));
  EXPECT_FALSE(host().Registry().KeyExists(kClassKey));
  EXPECT_FALSE(host().Registry().KeyExists("HKEY_CLASSES_ROOT\\Test.Registered"));
  auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0],
            (ProgramEvent{"regsvr32.exe", "registered", "C:\\Program Files\\Quorvale\\Test Server.dll",
                          "DllRegisterServer 0x00000000"}));
  EXPECT_EQ(records[1].what, "unregistered");
}

TEST_F(Regsvr32Test, TheServerSeesTheHostsMachineWhateverTheEnvironmentSays) {
  ::setenv("QUORVALE_MACHINE", "/nonexistent/other-machine", 1);
  CopyServer("C:\\WINDOWS\\system32\\Quorvale.dll");
  Run("regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /s");
  EXPECT_STREQ(std::getenv("QUORVALE_MACHINE"), "/nonexistent/other-machine");
  ::unsetenv("QUORVALE_MACHINE");
  EXPECT_TRUE(host().Registry().KeyExists(kClassKey));
}

TEST_F(Regsvr32Test, StandInsAreRecordedAndMissingFilesFail) {
  Write("C:\\WINDOWS\\system32\\MSCOMCTL.OCX", "MZ not a library of ours");
  std::filesystem::copy_file(COM_TEST_SERVER_PATH, File("C:\\WINDOWS\\system32\\Jmail.dll"));
  Run("regsvr32 C:\\WINDOWS\\system32\\MSCOMCTL.OCX /s");
  Run("regsvr32 C:\\WINDOWS\\system32\\mscomctl.ocx /u /s");
  Run("regsvr32 C:\\WINDOWS\\system32\\Jmail.dll /s");
  {
    std::ifstream in(REGISTERING_SERVER_PATH, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    Write("C:\\WINDOWS\\system32\\Broken.dll", head);  // a library of ours, cut short
  }
  Run("regsvr32 C:\\WINDOWS\\system32\\Broken.dll /s");
  Run("regsvr32 C:\\WINDOWS\\system32\\Missing.dll /s");
  Run("regsvr32 /s");
  const std::vector<ProgramEvent> expected = {
      {"regsvr32.exe", "registered", "C:\\WINDOWS\\system32\\MSCOMCTL.OCX", "stand-in"},
      {"regsvr32.exe", "unregistered", "C:\\WINDOWS\\system32\\MSCOMCTL.OCX", "stand-in"},
      {"regsvr32.exe", "registered", "C:\\WINDOWS\\system32\\Jmail.dll", "stand-in"},
      {"regsvr32.exe", "failed", "C:\\WINDOWS\\system32\\Broken.dll", "damaged library"},
      {"regsvr32.exe", "failed", "C:\\WINDOWS\\system32\\Missing.dll", "file not found"},
      {"regsvr32.exe", "failed", "", "no file named"},
  };
  EXPECT_EQ(Records(), expected);
}

}  // namespace
}  // namespace quorvale::testing
