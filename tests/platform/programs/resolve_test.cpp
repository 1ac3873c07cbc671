#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

class ResolveTest : public MachineTest {};

TEST_F(ResolveTest, FirstWordNamesTheProgram) {
  Write("C:\\Program Files\\Quorvale\\Rar.exe", "stand-in");
  Write("C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe", "stand-in");
  Write("C:\\WINDOWS\\system32\\tool.exe", "stand-in");
  Write("C:\\WINDOWS\\hh.exe", "stand-in");
  Write("C:\\Temp\\Delete.bat", "exit");
  struct Case {
    std::string line;
    std::optional<std::string> program;
    std::string arguments;
  } cases[] = {
      {"C:\\Program Files\\Quorvale\\Rar.exe x -r C:\\PROGRA~1\\QUORVA~1\\Q.rar",
       "C:\\Program Files\\Quorvale\\Rar.exe", "x -r C:\\PROGRA~1\\QUORVA~1\\Q.rar"},
      {"\"C:\\Program Files\\Quorvale\\Rar.exe\" x", "C:\\Program Files\\Quorvale\\Rar.exe", "x"},
      {"  C:\\PROGRA~1\\Quorvale\\rar x", "C:\\Program Files\\Quorvale\\Rar.exe", "x"},
      {"C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe C:\\a.dll /CodeBase",
       "C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe", "C:\\a.dll /CodeBase"},
      {"tool /x", "C:\\WINDOWS\\system32\\tool.exe", "/x"},
      {"TOOL.EXE", "C:\\WINDOWS\\system32\\tool.exe", ""},
      {"hh", "C:\\WINDOWS\\hh.exe", ""},
      {"regsvr32 C:\\x.dll /s", "C:\\WINDOWS\\system32\\regsvr32.exe", "C:\\x.dll /s"},
      {"Cacls C:\\x /e", "C:\\WINDOWS\\system32\\cacls.exe", "C:\\x /e"},
      {"notepad.exe C:\\a b.txt", "C:\\WINDOWS\\notepad.exe", "C:\\a b.txt"},
      {"C:\\WINDOWS\\system32\\notepad.exe x", "C:\\WINDOWS\\system32\\notepad.exe", "x"},
      {"C:\\TEMP\\DELETE.BAT", "C:\\Temp\\Delete.bat", ""},
      {"C:\\Program Files\\Quorvale\\Missing.exe x", std::nullopt, ""},
      {"\"C:\\Program Files\\Quorvale\\Rar\" x", "C:\\Program Files\\Quorvale\\Rar.exe", "x"},
      {"\"C:\\Program Files\\Quorvale\" x", std::nullopt, ""},
      {"nosuchtool /x", std::nullopt, ""},
      {"C:\\WINDOWS\\regsvr32.exe x", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    auto resolved = ResolveCommand(host(), c.line);
    if (!c.program) {
      EXPECT_EQ(resolved, std::nullopt) << c.line;
      continue;
    }
    ASSERT_TRUE(resolved) << c.line;
    EXPECT_EQ(resolved->program, *c.program) << c.line;
    EXPECT_EQ(resolved->arguments, c.arguments) << c.line;
  }
}

TEST(SplitArguments, FollowsWindowsQuoting) {
  struct Case {
    std::string text;
    std::vector<std::string> words;
  } cases[] = {
      {"a  b\tc", {"a", "b", "c"}},
      {"\"C:\\Program Files\\x.dll\" /s", {"C:\\Program Files\\x.dll", "/s"}},
      {"C:\\dir\\ /u", {"C:\\dir\\", "/u"}},
      {"a\\\"b \"\"", {"a\"b", ""}},
      {"x\"y z\"w", {"xy zw"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitArguments(c.text), c.words) << c.text;
}

TEST_F(ResolveTest, LaunchRefusesWhatCannotRun) {
  Write("C:\\Program Files\\Quorvale\\Quorvale.exe", "MZ stand-in");
  EXPECT_FALSE(Run("C:\\PROGRA~1\\Quorvale\\Quorvale.exe"));
  EXPECT_FALSE(Run("C:\\PROGRA~1\\Quorvale\\Missing.exe"));
  EXPECT_FALSE(Run("nosuchtool"));
  EXPECT_TRUE(Run("notepad.exe C:\\x.txt"));
}

}  // namespace
}  // namespace quorvale::testing
