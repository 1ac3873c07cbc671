#include "quorvale/setup/system_helpers.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/setup/helper_module.h"

namespace quorvale::setup {
namespace {

using quorvale::testing::TempMachine;

TEST(SystemHelpers, FactsOfTheMachine) {
  TempMachine temp;
  EXPECT_EQ(SystemHelpers::ComputerName(), "QUORVALE");
  EXPECT_EQ(SystemHelpers::GetWindowsFolder(), "C:\\WINDOWS");
  EXPECT_EQ(SystemHelpers::GetSystemFolder(), "C:\\WINDOWS\\system32");
  EXPECT_EQ(SystemHelpers::GetWindowTempPath(), temp.machine().Info().temp_path);
  EXPECT_EQ(SystemHelpers::GetWindowTempPath().back(), '\\');

  MachineInfo info = temp.machine().Info();
  info.computer_name = "主控端";
  info.windows_directory = "C:\\" + std::string(76, 'W');  // 79 bytes: fits the buffer with its NUL
  info.system_directory = "C:\\" + std::string(77, 'S');   // 80 bytes: does not
  temp.machine().SetInfo(info);
  EXPECT_EQ(SystemHelpers::ComputerName(), "主控端");
  EXPECT_EQ(SystemHelpers::GetWindowsFolder(), info.windows_directory);
  EXPECT_EQ(SystemHelpers::GetSystemFolder(), "");
}

TEST(SystemHelpers, CreateDirAnswersForTheLastLevel) {
  TempMachine temp;
  struct Case {
    const char* path;
    bool made;
  } cases[] = {
      {"C:\\A\\B", true},
      {"C:\\A\\B", false},
      {"C:\\A\\B\\", false},
      {"c:\\a\\b\\C\\D\\E", true},
      {"C:\\Program Files\\Quorvale虚拟主机管理系统", true},
      {"Q:\\A", false},  // no such drive
  };
  for (const auto& c : cases) EXPECT_EQ(ControlEndHelpers::CreateDir(c.path), c.made) << c.path;
  EXPECT_TRUE(temp.machine().Resolve("C:\\A\\B\\C\\D\\E").is_directory);
  EXPECT_TRUE(temp.Exists("C:\\Program Files\\Quorvale虚拟主机管理系统"));
}

TEST(SystemHelpers, ShortPathOfExistingPathsOnly) {
  TempMachine temp;
  temp.Write("C:\\Program Files\\Quorvale虚拟主机管理系统\\Web\\Index.asp", "x");
  struct Case {
    const char *path, *short_path;
  } cases[] = {
      {"C:\\Program Files\\Quorvale虚拟主机管理系统", "C:\\PROGRA~1\\QUORVA~1"},
      {"C:\\Program Files\\Quorvale虚拟主机管理系统\\Web\\Index.asp",
       "C:\\PROGRA~1\\QUORVA~1\\Web\\Index.asp"},
      {"C:\\Program Files\\Missing.txt", ""},
      {"C:\\Missing\\Index.asp", ""},
      {"C:\\\xF0\x9F\x98\x80", ""},  // no such character in the code page
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemHelpers::ShortPath(c.path), c.short_path) << c.path;
}

TEST(SystemHelpers, GetLetterCountsAndGuards) {
  struct Case {
    int count;
    std::size_t length;
  } cases[] = {{32, 32}, {1, 1}, {0, 0}, {-1, 0}, {-32, 0}, {1000, 1000}};
  for (const auto& c : cases) EXPECT_EQ(SystemHelpers::GetLetter(c.count).size(), c.length) << c.count;
}

// Passwords drawn in one instant (the test clock does not move) are all
// different, never one character repeated, and every one of the 62
// characters comes about equally often.
TEST(SystemHelpers, GetLetterDrawsUniformlyWithoutTheClock) {
  TempMachine temp;
  constexpr int kPasswords = 2000;
  std::set<std::string> seen;
  std::map<char, int> counts;
  for (int i = 0; i < kPasswords; ++i) {
    const std::string password = SystemHelpers::GetLetter(32);
    ASSERT_EQ(password.size(), 32u);
    EXPECT_NE(password.find_first_not_of(password[0]), std::string::npos) << password;
    EXPECT_TRUE(seen.insert(password).second) << password;
    for (char ch : password) {
      ASSERT_NE(std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890").find(ch),
                std::string_view::npos)
          << password;
      ++counts[ch];
    }
  }
  ASSERT_EQ(counts.size(), 62u);
  // Expected 1032 of each, standard deviation about 32: five deviations
  // either way. A modulo-256 draw gives the first eight about 1250.
  for (auto [ch, n] : counts) {
    EXPECT_GT(n, 870) << ch;
    EXPECT_LT(n, 1195) << ch;
  }
}

}  // namespace
}  // namespace quorvale::setup
