#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "quorvale/machine/clock.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/win32.h"

namespace quorvale::win32 {
namespace {

using quorvale::testing::TempMachine;

TEST(SystemInfo, VersionRecordOfEachEdition) {
  struct Case {
    WindowsEdition edition;
    DWORD major, minor, build, platform;
    const char* csd;
  } cases[] = {
      {WindowsEdition::kWindows98, 4, 10, 67766446, 1, " A "},
      {WindowsEdition::kWindows2000, 5, 0, 2195, 2, "Service Pack 4"},
      {WindowsEdition::kWindowsXP, 5, 1, 2600, 2, "Service Pack 2"},
      {WindowsEdition::kWindowsServer2003, 5, 2, 3790, 2, "Service Pack 1"},
  };
  for (const auto& c : cases) {
    MachineShape shape;
    shape.edition = c.edition;
    TempMachine temp(shape);
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(GetVersionExA(&v));
    EXPECT_EQ(v.dwMajorVersion, c.major);
    EXPECT_EQ(v.dwMinorVersion, c.minor);
    EXPECT_EQ(v.dwBuildNumber, c.build);
    EXPECT_EQ(v.dwPlatformId, c.platform);
    EXPECT_STREQ(v.szCSDVersion, c.csd);
  }
  TempMachine temp;
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&v));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(SystemInfo, BufferSizesAsWindowsCountsThem) {
  TempMachine temp;
  char buf[80];
  EXPECT_EQ(GetWindowsDirectoryA(buf, 80), 10u);
  EXPECT_STREQ(buf, "C:\\WINDOWS");
  EXPECT_EQ(GetSystemDirectoryA(buf, 80), 19u);
  EXPECT_STREQ(buf, "C:\\WINDOWS\\system32");
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(GetSystemDirectoryA(buf, 19), 20u);  // too small: the size needed, NUL counted; nothing written
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(GetTempPathA(80, buf), 35u);
  EXPECT_STREQ(buf, "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\");

  DWORD size = 255;
  ASSERT_TRUE(GetComputerNameA(buf, &size));
  EXPECT_STREQ(buf, "QUORVALE");
  EXPECT_EQ(size, 8u);
  size = 8;
  EXPECT_FALSE(GetComputerNameA(buf, &size));
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
}

TEST(SystemInfo, FreeSpaceInClustersAsTheFreeSpaceFormulaReadsThem) {
  MachineShape shape;
  shape.drives['C'] = 40ull << 30;
  shape.drives['D'] = 5'368'709;  // 0.005 GB
  TempMachine temp(shape);
  struct Case {
    const char* root;
    double gigabytes;
  } cases[] = {{"C:\\", 40}, {"d:\\", 0.005}, {"D:", 0.005}};
  for (const auto& c : cases) {
    DWORD spc = 0, bps = 0, free = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA(c.root, &spc, &bps, &free, &total)) << c.root;
    // free clusters / 1024 * sectors per cluster * bytes per sector = free KB
    double kb = static_cast<std::int32_t>(free) / 1024.0 * static_cast<std::int32_t>(spc) *
                static_cast<std::int32_t>(bps);
    EXPECT_NEAR(kb / (1024.0 * 1024.0), c.gigabytes, 1e-5) << c.root;
    EXPECT_GE(total, free);
  }
  temp.machine().SetFreeSpace('C', 1ull << 50);  // more than 32 bits of clusters hold
  DWORD spc, bps, free, total;
  ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &free, &total));
  EXPECT_GT(static_cast<std::int32_t>(free), 0);
  EXPECT_FALSE(GetDiskFreeSpaceA("E:\\", &spc, &bps, &free, &total));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(GetDiskFreeSpaceA("C:\\WINDOWS", &spc, &bps, &free, &total));
}

TEST(WinExec, RecordsEveryStartThenHandsItToTheLauncher) {
  TempMachine temp;
  const std::string cmd = "regsvr32 C:\\PROGRA~1\\" + *ToAnsi("被控端") + "\\a.ocx /s";
  EXPECT_GT(WinExec(cmd.c_str(), SW_HIDE), 31u);  // no launcher: only recorded

  std::vector<std::pair<std::string, int>> seen;
  SetProgramLauncher([&](const std::string& line, int show) {
    seen.emplace_back(line, show);
    return line.rfind("notepad", 0) == 0;
  });
  EXPECT_GT(WinExec("notepad.exe C:\\x.txt", SW_SHOWNORMAL), 31u);
  EXPECT_EQ(WinExec("missing.exe", SW_HIDE), ERROR_FILE_NOT_FOUND);
  SetProgramLauncher(nullptr);

  EXPECT_EQ(seen,
            (std::vector<std::pair<std::string, int>>{{"notepad.exe C:\\x.txt", 1}, {"missing.exe", 0}}));
  auto started = temp.machine().StartedPrograms();
  ASSERT_EQ(started.size(), 3u);
  EXPECT_EQ(started[0].command_line, "regsvr32 C:\\PROGRA~1\\被控端\\a.ocx /s");
  EXPECT_EQ(started[0].show, 0);
  EXPECT_EQ(started[1].show, 1);
  EXPECT_FALSE(started[2].launched);
}

// The file-wait helper of the setup programs: 20 tries 500 ms apart.
bool SleepFile(const std::string& file) {
  for (int i = 0; i < 20; ++i) {
    if (!Dir(file).empty()) return true;
    Sleep(500);
  }
  return false;
}

TEST(Sleep, TheTestClockMakesWaitsInstant) {
  TempMachine temp;
  AtMoment(3000, [&] { temp.Write("C:\\Quorvale\\MailCtrl.asp", "x"); });
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(SleepFile("C:\\Quorvale\\MailCtrl.asp"));
  EXPECT_EQ(GetTickCount(), 3000u);
  EXPECT_FALSE(SleepFile("C:\\Quorvale\\Never.asp"));
  EXPECT_EQ(GetTickCount(), 13000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// The delete helper: 20 rounds of DeleteFileA and a 500 ms sleep.
bool ToDeleteFile(const std::string& file) {
  if (Dir(file).empty()) return false;
  for (int i = 0; i < 20; ++i) {
    if (Dir(file).empty()) return true;
    DeleteFileA(file.c_str());
    Sleep(500);
  }
  return false;
}

TEST(Sleep, AHeldFileGoesOnceItsHolderLetsGo) {
  TempMachine temp;
  temp.Write("C:\\Q\\Quorvale.rar", "x");
  auto hold = std::make_shared<FileHold>(temp.machine().Hold("C:\\Q\\Quorvale.rar", "Rar.exe"));
  AtMoment(2000, [hold] { hold->Release(); });
  EXPECT_TRUE(ToDeleteFile("C:\\Q\\Quorvale.rar"));
  EXPECT_EQ(GetTickCount(), 2500u);  // deleted in the round after the release, seen one sleep later

  temp.Write("C:\\Q\\Rar.exe", "x");
  FileHold forever = temp.machine().Hold("C:\\Q\\Rar.exe", "another program");
  EXPECT_FALSE(ToDeleteFile("C:\\Q\\Rar.exe"));
  EXPECT_EQ(GetTickCount(), 12500u);
  EXPECT_FALSE(ToDeleteFile("C:\\Q\\Missing.exe"));
  EXPECT_EQ(GetTickCount(), 12500u);  // a missing file: no wait
}

TEST(Sleep, OnTheRealClockAFileFromAnotherThreadIsWaitedFor) {
  TempMachine temp;
  UseTestClock(false);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    temp.Write("C:\\Q\\MailCtrl.asp", "x");
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(SleepFile("C:\\Q\\MailCtrl.asp"));
  auto took = std::chrono::steady_clock::now() - start;
  writer.join();
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_LT(took, std::chrono::milliseconds(3000));
}

}  // namespace
}  // namespace quorvale::win32
