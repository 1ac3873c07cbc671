#include <fstream>
#include <future>
#include <iterator>

#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

constexpr const char* kBatch = "C:\\Temp\\Delete.bat";

class BatchTest : public MachineTest {
 protected:
  void WriteBatch(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() ? "\r\n" : "");
    Write(kBatch, text);
  }
};

TEST_F(BatchTest, RemovesTheFolderAfterItsPauseAndDeletesItself) {
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", "x");
  Write("C:\\Program Files\\Quorvale\\Web\\Inc\\Conn.asp", "x");
  Write("C:\\Temp\\other.txt", "stays");
  // What the machine keeps about the files goes with them.
  machine().Grant("C:\\Program Files\\Quorvale\\Web\\Inc\\Conn.asp", "IUSR_7", "F");
  machine().Grant("C:\\Temp\\Delete.bat", "Everyone", "R");
  machine().Grant("C:\\Temp\\other.txt", "Everyone", "R");
  WriteBatch({"@echo off", "ping 127.0.0.1 -n 2", "rd /s /q C:\\PROGRA~1\\Quorvale", "del Delete.bat", "cls",
              "exit"});
  bool folder_during_pause = false;
  AtMoment(999, [&] { folder_during_pause = Exists("C:\\Program Files\\Quorvale"); });
  ASSERT_TRUE(Run("C:\\Temp\\Delete.bat"));
  EXPECT_EQ(ClockNow(), 1000u);  // the machine's clock: no real wait
  EXPECT_TRUE(folder_during_pause);
  EXPECT_FALSE(Exists("C:\\Program Files\\Quorvale"));
  EXPECT_TRUE(Exists("C:\\Program Files"));
  EXPECT_FALSE(Exists(kBatch));
  EXPECT_TRUE(Exists("C:\\Temp\\other.txt"));
  EXPECT_EQ(machine().AccessList(), (std::vector<AccessEntry>{{"C:\\Temp\\other.txt", "Everyone", "R"}}));
}

TEST_F(BatchTest, HeldFilesStayAndADriveIsNeverRemoved) {
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", "x");
  Write("C:\\Program Files\\Quorvale\\Web\\a.asp", "x");
  FileHold hold = machine().Hold("C:\\Program Files\\Quorvale\\Uninstall.exe", "Uninstall.exe");
  WriteBatch({"@echo off", "rd /s /q C:\\PROGRA~1\\Quorvale", "rd /s /q C:\\", "rd /s /q C:\\WINDOWS\\..",
              "start notepad.exe", "del \"C:\\Program Files\\Quorvale\\Uninstall.exe\"", "exit",
              "del Delete.bat"});
  Run(kBatch);
  EXPECT_TRUE(Exists("C:\\Program Files\\Quorvale\\Uninstall.exe"));
  EXPECT_FALSE(Exists("C:\\Program Files\\Quorvale\\Web"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\system32"));
  EXPECT_TRUE(Exists(kBatch));  // after exit nothing runs
  const std::vector<ProgramEvent> expected = {
      {"cmd.exe", "failed", "C:\\Program Files\\Quorvale", "rd: not everything could go"},
      {"cmd.exe", "refused", "C:\\", "rd: a drive is not removed"},
      {"cmd.exe", "refused", "C:\\", "rd: a drive is not removed"},
      {"cmd.exe", "skipped", kBatch, "start notepad.exe"},
      {"cmd.exe", "failed", "C:\\Program Files\\Quorvale\\Uninstall.exe", "del: the file is in use"},
  };
  EXPECT_EQ(Records(), expected);
}

TEST_F(BatchTest, PingCountsBecomePausesOfOneSecondLess) {
  WriteBatch({"ping 127.0.0.1 -n 5", "ping 127.0.0.1", "ping -n 1 127.0.0.1"});
  std::vector<std::uint64_t> moments;
  for (std::uint64_t t : {3999, 4001, 6999, 7001}) AtMoment(t, [&moments, t] { moments.push_back(t); });
  Run(kBatch);
  EXPECT_EQ(ClockNow(), 7000u);  // 4 s, 3 s and none
  EXPECT_EQ(moments, (std::vector<std::uint64_t>{3999, 4001, 6999}));
}

// ping refuses a count outside 1 to 4294967295, or no number at all, and
// then sends nothing: no pause.
TEST_F(BatchTest, RefusedPingCountsMakeNoPause) {
  WriteBatch({"ping 127.0.0.1 -n 0", "ping 127.0.0.1 -n -3", "ping 127.0.0.1 -n 5x", "ping 127.0.0.1 -n x",
              "ping 127.0.0.1 -n 4294967296", "ping 127.0.0.1 -n 99999999999999999999",
              "ping 127.0.0.1 -n 3"});
  Run(kBatch);
  EXPECT_EQ(ClockNow(), 2000u);  // only the last one
}

TEST_F(BatchTest, RunsInParallelWithItsCaller) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  AtMoment(500, [released] { released.wait(); });  // the batch's pause stops here
  WriteBatch({"ping 127.0.0.1 -n 2", "del Delete.bat"});
  ASSERT_TRUE(Launch(host(), kBatch, 0));  // returns while the batch pauses
  EXPECT_FALSE(WaitForPrograms(std::chrono::milliseconds(50)));
  EXPECT_TRUE(Exists(kBatch));
  release.set_value();
  EXPECT_TRUE(WaitForPrograms(std::chrono::seconds(10)));
  EXPECT_FALSE(Exists(kBatch));
}

// Before a program ends it waits for the programs on its threads, which
// stand in for processes of their own, and not for its programs that run
// as processes.
TEST_F(BatchTest, AProgramAboutToEndWaitsOnlyForThoseOnItsThreads) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  AtMoment(500, [released] { released.wait(); });
  WriteBatch({"ping 127.0.0.1 -n 2"});
  std::ifstream child(CHILD_PROGRAM_PATH, std::ios::binary);
  Write("C:\\Tools\\Long.exe", std::string(std::istreambuf_iterator<char>(child), {}));
  ASSERT_TRUE(Launch(host(), kBatch, 0));
  ASSERT_TRUE(Launch(host(), "C:\\Tools\\Long.exe -wait-for go", 0));
  EXPECT_FALSE(WaitForProgramsOnThreads(std::chrono::milliseconds(50)));
  release.set_value();
  EXPECT_TRUE(WaitForProgramsOnThreads(std::chrono::seconds(10)));
  EXPECT_FALSE(WaitForPrograms(std::chrono::milliseconds(50)));  // Long.exe runs on
  Write("C:\\Tools\\go", "");
  EXPECT_TRUE(WaitForPrograms(std::chrono::seconds(20)));
}

}  // namespace
}  // namespace quorvale::testing
