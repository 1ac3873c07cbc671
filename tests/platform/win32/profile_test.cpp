#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "ansi_text.h"
#include "quorvale/machine/testing/drive_elsewhere.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/win32.h"

namespace quorvale::win32 {
namespace {

using quorvale::testing::TempMachine;

const char kIni[] = "C:\\Q\\System.ini";

// The INI helpers as the setup programs call the profile functions.
void WriteIniKey(const std::string& section, const std::string& key, const std::string& value) {
  WritePrivateProfileStringA(A(section).c_str(), A(key).c_str(), A(value).c_str(), kIni);
}
std::string GetIniKey(const std::string& section, const std::string& key) {
  std::string buf(1024, ' ');
  GetPrivateProfileStringA(A(section).c_str(), A(key).c_str(), "", buf.data(), 1024, kIni);
  auto b = buf.find_first_not_of(' '), e = buf.find_last_not_of(' ');
  std::string kept;
  if (b != std::string::npos)
    for (char c : buf.substr(b, e - b + 1))
      if (c != '\0') kept += c;
  return FromAnsi(kept);
}
void DelIniKey(const std::string& section, const std::string& key) {
  WritePrivateProfileStringA(A(section).c_str(), A(key).c_str(), nullptr, kIni);
}
void DelIniSec(const std::string& section) {
  WritePrivateProfileStringA(A(section).c_str(), nullptr, "", kIni);
}

TEST(Profile, WindowsIniRulesOnTheBytes) {
  TempMachine temp;
  temp.Write("C:\\Q\\.keep", "");
  EXPECT_EQ(GetIniKey("Uninstall", "SetupDir"), "");  // no file yet
  DelIniKey("Uninstall", "SetupDir");
  EXPECT_FALSE(temp.Exists(kIni));  // a deletion makes no file
  WriteIniKey("Uninstall", "SetupDir", "C:\\Program Files\\Quorvale\\被控端");
  WriteIniKey("Uninstall", "Mail", "NoMail");
  WriteIniKey("SCRIPT", ".asp", "x");
  EXPECT_EQ(temp.Read(kIni), "[Uninstall]\r\nSetupDir=C:\\Program Files\\Quorvale\\" + A("被控端") +
                                 "\r\nMail=NoMail\r\n[SCRIPT]\r\n.asp=x\r\n");
  WriteIniKey("uninstall", "MAIL", "WinWebMail");  // replaced in place, the key keeps its name
  WriteIniKey("Uninstall", "SiteNum", "12");
  EXPECT_EQ(temp.Read(kIni), "[Uninstall]\r\nSetupDir=C:\\Program Files\\Quorvale\\" + A("被控端") +
                                 "\r\nMail=WinWebMail\r\nSiteNum=12\r\n[SCRIPT]\r\n.asp=x\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::string value;
  } cases[] = {
      {"UNINSTALL", "setupdir", "C:\\Program Files\\Quorvale\\被控端"},
      {"Uninstall", "Missing", ""},
      {"Missing", "Mail", ""},
      {"script", ".ASP", "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetIniKey(c.section, c.key), c.value) << c.section << " " << c.key;
  DelIniKey("Uninstall", "Mail");
  DelIniKey("Uninstall", "Missing");
  EXPECT_EQ(GetIniKey("Uninstall", "Mail"), "");
  DelIniSec("Uninstall");
  EXPECT_EQ(temp.Read(kIni), "[SCRIPT]\r\n.asp=x\r\n");
}

TEST(Profile, ReadingTrimsCutsAndFallsBack) {
  TempMachine temp;
  temp.Write(kIni, "[A]\r\n  Padded =   value with blanks  \r\nQuoted=\"q\"\r\nLong=" +
                       std::string(1500, 'x') + "\n; comment=no\r\n[B]\r\nK=1");
  EXPECT_EQ(GetIniKey("A", "Padded"), "value with blanks");
  EXPECT_EQ(GetIniKey("A", "Quoted"), "q");
  EXPECT_EQ(GetIniKey("A", "Long"), std::string(1023, 'x'));
  EXPECT_EQ(GetIniKey("A", "; comment"), "");
  EXPECT_EQ(GetIniKey("B", "K"), "1");
  char buf[16];
  EXPECT_EQ(GetPrivateProfileStringA("A", "Missing", "dflt  ", buf, 16, kIni), 4u);
  EXPECT_STREQ(buf, "dflt");
  EXPECT_EQ(GetPrivateProfileStringA("A", "Quoted", "", buf, 1, kIni), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, 16, kIni), 4u);  // "A\0B\0\0"
  EXPECT_EQ(std::string(buf, 5), std::string("A\0B\0\0", 5));
  EXPECT_EQ(GetPrivateProfileStringA("A", nullptr, "", buf, 10, kIni), 8u);  // cut: "Padded\0Q\0\0"
  EXPECT_EQ(std::string(buf, 10), std::string("Padded\0Q\0\0", 10));
}

// Blanks around a section or key name are no part of it, in a call as in
// the file: what is written under a padded name reads back under either.
TEST(Profile, NamesGoWithoutTheirBlanks) {
  TempMachine temp;
  temp.Write(kIni, "");
  ASSERT_TRUE(WritePrivateProfileStringA(" Sec\t", "\tKey ", "v", kIni));
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "Key", "w", kIni));
  EXPECT_EQ(temp.Read(kIni), "[Sec]\r\nKey=w\r\n");
  char buf[16];
  for (const char* section : {"Sec", " Sec ", "\tSec"}) {
    EXPECT_EQ(GetPrivateProfileStringA(section, " Key\t", "", buf, 16, kIni), 1u) << section;
    EXPECT_STREQ(buf, "w");
  }
  ASSERT_TRUE(WritePrivateProfileStringA("Sec ", " Key", nullptr, kIni));
  EXPECT_EQ(temp.Read(kIni), "[Sec]\r\n");
  EXPECT_FALSE(WritePrivateProfileStringA(" \t", "K", "x", kIni));
  EXPECT_FALSE(WritePrivateProfileStringA("Sec", "  ", "x", kIni));
}

TEST(Profile, WhatALineCannotHoldIsRefused) {
  TempMachine temp;
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    const char* file;
    DWORD error;
  } cases[] = {
      {"A", "K", "two\r\nlines", kIni, ERROR_INVALID_PARAMETER},
      {"A", "K=V", "x", kIni, ERROR_INVALID_PARAMETER},
      {"A]B", "K", "x", kIni, ERROR_INVALID_PARAMETER},
      {"A", "K", "x", "C:\\None\\x.ini", ERROR_PATH_NOT_FOUND},
      {"A", "K", "x", "C:\\WINDOWS", ERROR_ACCESS_DENIED},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(WritePrivateProfileStringA(c.section, c.key, c.value, c.file)) << c.key;
    EXPECT_EQ(GetLastError(), c.error) << c.key;
  }
  EXPECT_TRUE(WritePrivateProfileStringA("A", "K", "x", "Quorvale.ini"));  // no folder: the Windows folder
  EXPECT_EQ(temp.Read("C:\\WINDOWS\\QUORVALE.INI"), "[A]\r\nK=x\r\n");
  SetFileAttributesA("C:\\WINDOWS\\Quorvale.ini", FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(WritePrivateProfileStringA("A", "K", "y", "C:\\WINDOWS\\Quorvale.ini"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

}  // namespace
}  // namespace quorvale::win32

namespace quorvale::win32 {
namespace {

// Processes writing keys of one INI file at once: every key is there.
TEST(Profile, ProcessesWritingOneFileLoseNoKey) {
  TempMachine temp;
  constexpr int kProcesses = 4, kEach = 10;
  temp.Write(kIni, "");
  std::vector<pid_t> pids;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0; i < kEach; ++i)
        WriteIniKey("S" + std::to_string(i % 3), "k" + std::to_string(p * kEach + i), "v");
      ::_exit(0);
    }
    pids.push_back(pid);
  }
  for (pid_t pid : pids) ::waitpid(pid, nullptr, 0);
  int found = 0;
  for (int k = 0; k < kProcesses * kEach; ++k)
    found += GetIniKey("S" + std::to_string(k % kEach % 3), "k" + std::to_string(k)) == "v";
  EXPECT_EQ(found, kProcesses * kEach);
  EXPECT_FALSE(std::filesystem::exists(temp.Folder() / "profile.tmp"));
}

// The files in a folder, by name.
std::vector<std::string> Names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A drive on the machine folder's file system and one on another: a write
// lands whole on either, and a writer killed halfway through leaves the file
// as it was and a temporary file that the next write removes.
TEST(Profile, WritesWholeOnADriveOfAnotherFileSystem) {
  TempMachine temp;
  quorvale::testing::DriveElsewhere elsewhere(temp.Folder(), 'D');
  if (!elsewhere.Why().empty()) GTEST_SKIP() << elsewhere.Why();
  for (const std::string folder : {"C:\\Q", "D:\\Q"}) {
    SCOPED_TRACE(folder);
    const std::string ini = folder + "\\System.ini";
    temp.Write(folder + "\\.keep", "");
    auto get = [&](const char* key) {
      char buf[64] = "";
      GetPrivateProfileStringA("System", key, "", buf, sizeof buf, ini.c_str());
      return std::string(buf);
    };
    EXPECT_TRUE(WritePrivateProfileStringA("System", "Type", "1", ini.c_str()));
    EXPECT_EQ(get("Type"), "1");
    EXPECT_EQ(temp.Read(ini), "[System]\r\nType=1\r\n");
    // A writer killed as it writes: a file may grow no further than 4 KB.
    const pid_t pid = ::fork();
    if (pid == 0) {
      const rlimit none{0, 0}, small{4096, 4096};
      ::setrlimit(RLIMIT_CORE, &none);
      ::setrlimit(RLIMIT_FSIZE, &small);
      WritePrivateProfileStringA("System", "Type", std::string(100000, '2').c_str(), ini.c_str());
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(get("Type"), "1");
    EXPECT_EQ(Names(temp.Host(folder)).size(), 3u);  // .keep, System.ini and what the writer left
    EXPECT_TRUE(WritePrivateProfileStringA("System", "Next", "3", ini.c_str()));
    EXPECT_EQ(temp.Read(ini), "[System]\r\nType=1\r\nNext=3\r\n");
    EXPECT_EQ(Names(temp.Host(folder)), (std::vector<std::string>{".keep", "System.ini"}));
    EXPECT_FALSE(std::filesystem::exists(temp.Folder() / "profile.tmp"));
  }
}

}  // namespace
}  // namespace quorvale::win32
