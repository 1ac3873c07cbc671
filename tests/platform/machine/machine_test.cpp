#include "quorvale/machine/machine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "quorvale/core/wait_hook.h"
#include "quorvale/machine/clock.h"
#include "quorvale/machine/short_names.h"
#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale {
namespace {

using testing::TempMachine;

TEST(MachineShape, EditionsHaveTheirVersionAndFolders) {
  struct Case {
    WindowsEdition edition;
    std::uint32_t major, minor, platform;
    const char* windows;
    const char* system;
    const char* temp;
  } cases[] = {
      {WindowsEdition::kWindows98, 4, 10, 1, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\TEMP\\"},
      {WindowsEdition::kWindows2000, 5, 0, 2, "C:\\WINNT", "C:\\WINNT\\system32",
       "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\"},
      {WindowsEdition::kWindowsXP, 5, 1, 2, "C:\\WINDOWS", "C:\\WINDOWS\\system32",
       "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\"},
      {WindowsEdition::kWindowsServer2003, 5, 2, 2, "C:\\WINDOWS", "C:\\WINDOWS\\system32",
       "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\"},
  };
  for (const auto& c : cases) {
    MachineShape shape;
    shape.edition = c.edition;
    TempMachine temp(shape);
    MachineInfo info = temp.machine().Info();
    EXPECT_EQ(info.version.major, c.major);
    EXPECT_EQ(info.version.minor, c.minor);
    EXPECT_EQ(info.version.platform_id, c.platform);
    EXPECT_EQ(info.windows_directory, c.windows);
    EXPECT_EQ(info.system_directory, c.system);
    EXPECT_EQ(info.temp_path, c.temp);
    EXPECT_TRUE(temp.Exists(c.temp)) << c.temp;
    EXPECT_TRUE(temp.Exists(c.system));
  }
}

TEST(MachineShape, ProgramFilesIisAndASecondDrive) {
  MachineShape shape;
  shape.iis = false;
  shape.program_files = false;
  shape.drives['D'] = 5'000'000;
  TempMachine temp(shape);
  Machine& m = temp.machine();
  EXPECT_FALSE(temp.Exists("C:\\Program Files"));
  EXPECT_FALSE(m.Info().iis);
  EXPECT_FALSE(m.FindService("w3svc"));
  EXPECT_TRUE(m.AddService({"Quorvale", "Quorvale", "C:\\s.exe", "auto", "stopped"}));
  EXPECT_FALSE(m.AddService({"QUORVALE", "Other", "C:\\o.exe", "demand", "running"}));
  ASSERT_EQ(m.Services().size(), 1u);
  EXPECT_EQ(m.Services()[0].binary_path, "C:\\s.exe");
  EXPECT_EQ((std::vector<char>{'C', 'D'}), m.Drives());
  const auto set = m.FreeSpace('d');
  ASSERT_TRUE(set);
  EXPECT_EQ(set->free_bytes, 5'000'000u);
  EXPECT_FALSE(m.FreeSpace('E'));
  m.SetFreeSpace('D', std::nullopt);
  const auto unset = m.FreeSpace('D');
  ASSERT_TRUE(unset);
  EXPECT_NE(unset->free_bytes, 5'000'000u);
  EXPECT_THROW(Machine::Create(temp.Folder(), shape), MachineStateError);
}

TEST(ShortNames, FitAndMake) {
  struct Case {
    const char* name;
    bool fits;
    const char* made;
  } cases[] = {
      {"Program Files", false, "PROGRA~1"},
      {"Quorvale", true, ""},
      {"system32", true, ""},
      {"readme.txt", true, ""},
      {"Microsoft.NET", false, "MICROS~1.NET"},
      {"a.b.c", false, "AB~1.C"},
      {"Quorvale.html", false, "QUORVA~1.HTM"},
      {"被控端", true, ""},                             // 6 bytes in code page 936
      {"Quorvale虚拟主机管理系统", false, "QUORVA~1"},  // 24 bytes
      {"说明文档.txt", true, ""},                       // 8 + 3 bytes
      {"虚拟主机管理.txt", false, "虚拟主~1.TXT"},      // a character is never split
      {"a+b", false, "A_B~1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitsShortName(c.name), c.fits) << c.name;
    if (!c.fits) {
      EXPECT_EQ(MakeShortName(c.name, [](const std::string&) { return false; }), c.made) << c.name;
    }
  }
  std::vector<std::string> taken{"PROGRA~1", "PROGRA~2"};
  EXPECT_EQ(MakeShortName("Program Files (x86)",
                          [&](const std::string& s) {
                            return std::find(taken.begin(), taken.end(), s) != taken.end();
                          }),
            "PROGRA~3");
}

TEST(MachineFiles, ShortNamesAreStableAndResolve) {
  TempMachine temp;
  Machine& m = temp.machine();
  temp.Write("C:\\Program Files\\Quorvale\\被控端\\Setup.ini", "x");
  temp.Write("C:\\Program Files\\Program Data\\x", "x");
  EXPECT_EQ(m.ShortPath("C:\\Program Files\\Quorvale\\被控端\\Setup.ini"),
            "C:\\PROGRA~1\\Quorvale\\被控端\\Setup.ini");
  EXPECT_EQ(m.ShortPath("c:\\program files\\program data"), "c:\\PROGRA~1\\PROGRA~1");
  EXPECT_EQ(m.ShortPath("C:\\Program Files\\Program Data"),
            "C:\\PROGRA~1\\PROGRA~1");  // asked again: the same
  ResolvedPath r = m.Resolve("c:\\progra~1\\QUORVALE\\被控端\\setup.INI");
  EXPECT_TRUE(r.exists);
  EXPECT_EQ(r.long_path, "C:\\Program Files\\Quorvale\\被控端\\Setup.ini");
  EXPECT_FALSE(m.ShortPath("C:\\Program Files\\Missing"));
  EXPECT_EQ(m.Resolve("C:\\a|b").error, 123u);
  EXPECT_EQ(m.Resolve("Q:\\x").error, 3u);
  EXPECT_EQ(m.Resolve("C:\\WINDOWS\\..\\Program Files\\.\\Quorvale").long_path,
            "C:\\Program Files\\Quorvale");
}

TEST(MachineFiles, RecordsFollowAMoveAndGoWithTheFile) {
  TempMachine temp;
  Machine& m = temp.machine();
  temp.Write("C:\\A\\b.txt", "x");
  m.SetAttributes("C:\\A\\b.txt", kAttrHidden);
  m.Grant("C:\\A", "IUSR_1", "F");
  m.MovePath("C:\\A", "C:\\Z");
  EXPECT_EQ(m.Attributes({0, {}, "C:\\Z\\b.txt", true, true, false}), kAttrHidden);
  EXPECT_EQ(m.Attributes({0, {}, "C:\\A\\b.txt", true, true, false}), kAttrArchive);
  ASSERT_EQ(m.AccessList().size(), 1u);
  EXPECT_EQ(m.AccessList()[0].path, "C:\\Z");
  m.Grant("c:\\z", "iusr_1", "R");  // the principal's grant is replaced
  ASSERT_EQ(m.AccessList().size(), 1u);
  EXPECT_EQ(m.AccessList()[0].right, "R");
  m.ForgetPath("C:\\Z");
  EXPECT_TRUE(m.AccessList().empty());
  EXPECT_EQ(m.Attributes({0, {}, "C:\\Z\\b.txt", true, true, false}), kAttrArchive);
}

TEST(MachineFiles, HoldsLastAsLongAsTheirObject) {
  TempMachine temp;
  Machine& m = temp.machine();
  {
    FileHold hold = m.Hold("C:\\WINDOWS\\notepad.exe", "test");
    EXPECT_TRUE(m.IsHeld("c:\\windows\\NOTEPAD.EXE"));
    FileHold moved = std::move(hold);
    EXPECT_TRUE(m.IsHeld("C:\\WINDOWS\\notepad.exe"));
  }
  EXPECT_FALSE(m.IsHeld("C:\\WINDOWS\\notepad.exe"));
}

TEST(MachineState, DamagedFilesNameThemselves) {
  const auto registry = [](Machine& m) { m.Registry().KeyExists("HKEY_USERS"); };
  struct Case {
    const char* file;
    std::string contents;
    std::function<void(Machine&)> use;
  } cases[] = {
      {"machine.ini", "[Version]\r\nMajorVersion=5\r\nMinorVer", [](Machine& m) { m.Info(); }},
      {"machine.ini", "[Version]\r\nMajorVersion=5\r\n", [](Machine& m) { m.Info(); }},
      {"machine.ini", "[Version]\r\nMajorVersion=five\r\n", [](Machine& m) { m.Info(); }},
      {"attributes.txt", "H\tC:\\boot.ini\nHS", [](Machine& m) { m.Attributes(m.Resolve("C:\\boot.ini")); }},
      {"services.txt", "W3SVC\trunning\n", [](Machine& m) { m.Services(); }},
      {"registry.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFT",
       [](Machine& m) { m.Registry().KeyExists("HKEY_USERS"); }},
      {"registry.reg", "REGEDIT4\r\n\r\n[HKEY_USERS\\A]\r\n\"v\"=hex:0\r\n\r\n", registry},
      {"registry.reg", "REGEDIT4\r\n\r\n[HKEY_USERS\\A]\r\n\"v\"=\"cut\r\n\r\n", registry},
      {"registry.reg", "REGEDIT4\r\n\r\n[HKEY_USERS\\A]\r\n\"v\"=\"x\"\r\n", registry},
      {"registry.reg", "[HKEY_USERS\\A]\r\n\r\n", registry},
  };
  for (const auto& c : cases) {
    TempMachine temp;
    std::ofstream(temp.Folder() / c.file, std::ios::binary | std::ios::trunc) << c.contents;
    try {
      Machine m(temp.Folder());
      c.use(m);
      ADD_FAILURE() << c.file << " " << c.contents << ": no error";
    } catch (const MachineStateError& e) {
      EXPECT_EQ(e.File(), temp.Folder() / c.file);
      EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
    }
  }
}

TEST(TestClock, SleepRunsWhatIsDueInOrder) {
  TempMachine temp;  // the test clock is on
  std::vector<std::uint64_t> seen;
  AtMoment(1500, [&] { seen.push_back(ClockNow()); });
  AtMoment(700, [&] { seen.push_back(ClockNow()); });
  AtMoment(20'000, [&] { seen.push_back(ClockNow()); });
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) ClockSleep(500);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(seen, (std::vector<std::uint64_t>{700, 1500}));
  EXPECT_EQ(ClockNow(), 10'000u);
}

// A machine made and dropped while the test's own lives (a probe) leaves
// the test clock on, at its time, with what is due at it; the last machine
// to go turns it off.
TEST(TestClock, AMachineInsideAnotherLeavesItsClockAlone) {
  bool ran = false;
  {
    TempMachine outer;
    ClockSleep(300);
    AtMoment(1000, [&] { ran = true; });
    { TempMachine probe; }
    EXPECT_TRUE(OnTestClock());
    EXPECT_EQ(ClockNow(), 300u);
    ClockSleep(1000);
    EXPECT_TRUE(ran);
  }
  EXPECT_FALSE(OnTestClock());
}

// A real-clock sleep of the thread that set a wait hook goes through it
// (its windows are painted meanwhile); another thread's sleep and a sleep on
// the test clock do not, so programs on threads and tests keep their waits.
std::vector<std::uint32_t> hooked_waits;
void RecordWait(std::uint32_t ms) { hooked_waits.push_back(ms); }

TEST(ClockSleep, GoesThroughTheWaitHookOfItsOwnThreadOnTheRealClock) {
  hooked_waits.clear();
  SetWaitHook(&RecordWait);
  ClockSleep(3);
  std::thread other([] { ClockSleep(4); });
  other.join();
  {
    TempMachine temp;  // the test clock is on
    ClockSleep(10'000);
  }
  SetWaitHook(nullptr);
  ClockSleep(5);
  EXPECT_EQ(hooked_waits, (std::vector<std::uint32_t>{3}));
}

TEST(MachineState, ConcurrentRecordWritersLoseNothing) {
  TempMachine temp;
  constexpr int kThreads = 4, kEach = 20;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      Machine m(temp.Folder());
      for (int i = 0; i < kEach; ++i) {
        m.RecordStart({"prog " + std::to_string(t) + " " + std::to_string(i), 0, true});
        m.RecordEvent({"prog", "line\twith a tab\r\nand 100%", "C:\\a b", "50% done"});
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(temp.machine().StartedPrograms().size(), std::size_t{kThreads * kEach});
  auto events = temp.machine().ProgramEvents();
  ASSERT_EQ(events.size(), std::size_t{kThreads * kEach});
  EXPECT_EQ(events[0],
            (ProgramEvent{"prog", "line\twith a tab\r\nand 100%", "C:\\a b", "50% done"}));  // kept exactly
}

}  // namespace
}  // namespace quorvale

namespace quorvale {
namespace {

TEST(MachineState, ProcessesSharingAMachineLoseNothing) {
  testing::TempMachine temp;
  constexpr int kProcesses = 3, kEach = 15;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Machine m(temp.Folder());
      for (int i = 0; i < kEach; ++i) {
        m.Grant("C:\\P" + std::to_string(p), "user" + std::to_string(i), "R");
        m.Registry().CreateKey("HKEY_USERS\\P" + std::to_string(p) + "\\" + std::to_string(i));
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(temp.machine().AccessList().size(), std::size_t{kProcesses * kEach});
  for (int p = 0; p < kProcesses; ++p)
    EXPECT_EQ(temp.machine().Registry().SubKeys("HKEY_USERS\\P" + std::to_string(p)).size(),
              std::size_t{kEach});
}

}  // namespace
}  // namespace quorvale
