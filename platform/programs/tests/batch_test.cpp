#include <future>

#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

constexpr const char* kBatch = "C:\\Temp\\Delete.bat";

class BatchTest : public MachineTest {
 protected:
  // A virtual clock: each pause is noted with what the machine held then.
  void SetUp() override {
    MachineTest::SetUp();
    host().SetSleep([this](std::chrono::milliseconds d) {
      pauses_.push_back(d);
      folder_during_pause_ = Exists("C:\\Program Files\\Quorvale");
    });
  }
  void WriteBatch(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() ? "\r\n" : "");
    Write(kBatch, text);
  }
  std::vector<std::chrono::milliseconds> pauses_;
  bool folder_during_pause_ = false;
};

TEST_F(BatchTest, RemovesTheFolderAfterItsPauseAndDeletesItself) {
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", "x");
  Write("C:\\Program Files\\Quorvale\\Web\\Inc\\Conn.asp", "x");
  Write("C:\\Temp\\other.txt", "stays");
  WriteBatch({"@echo off", "ping 127.0.0.1 -n 2", "rd /s /q C:\\PROGRA~1\\Quorvale", "del Delete.bat", "cls",
              "exit"});
  ASSERT_TRUE(Run("C:\\Temp\\Delete.bat"));
  EXPECT_EQ(pauses_, std::vector<std::chrono::milliseconds>{std::chrono::seconds(1)});
  EXPECT_TRUE(folder_during_pause_);
  EXPECT_FALSE(Exists("C:\\Program Files\\Quorvale"));
  EXPECT_TRUE(Exists("C:\\Program Files"));
  EXPECT_FALSE(Exists(kBatch));
  EXPECT_TRUE(Exists("C:\\Temp\\other.txt"));
}

TEST_F(BatchTest, HeldFilesStayAndADriveIsNeverRemoved) {
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", "x");
  Write("C:\\Program Files\\Quorvale\\Web\\a.asp", "x");
  host().Hold(File("C:\\Program Files\\Quorvale\\Uninstall.exe"));
  WriteBatch({"@echo off", "rd /s /q C:\\PROGRA~1\\Quorvale", "rd /s /q C:\\", "rd /s /q C:\\WINDOWS\\..",
              "start notepad.exe", "del \"C:\\Program Files\\Quorvale\\Uninstall.exe\"", "exit",
              "del Delete.bat"});
  Run(kBatch);
  EXPECT_TRUE(Exists("C:\\Program Files\\Quorvale\\Uninstall.exe"));
  EXPECT_FALSE(Exists("C:\\Program Files\\Quorvale\\Web"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\system32"));
  EXPECT_TRUE(Exists(kBatch));  // after exit nothing runs
  const std::vector<ProgramRecord> expected = {
      {"cmd.exe", "failed", "C:\\Program Files\\Quorvale", "rd: not everything could go"},
      {"cmd.exe", "refused", "C:\\", "rd: a drive is not removed"},
      {"cmd.exe", "refused", "C:\\", "rd: a drive is not removed"},
      {"cmd.exe", "skipped", kBatch, "start notepad.exe"},
      {"cmd.exe", "failed", "C:\\Program Files\\Quorvale\\Uninstall.exe", "del: the file is in use"},
  };
  EXPECT_EQ(host().Records(), expected);
}

TEST_F(BatchTest, PingCountsBecomePausesOfOneSecondLess) {
  WriteBatch({"ping 127.0.0.1 -n 5", "ping 127.0.0.1", "ping -n 1 127.0.0.1"});
  Run(kBatch);
  EXPECT_EQ(pauses_,
            (std::vector<std::chrono::milliseconds>{std::chrono::seconds(4), std::chrono::seconds(3)}));
}

TEST_F(BatchTest, RunsInParallelWithItsCaller) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  host().SetSleep([released](std::chrono::milliseconds) { released.wait(); });
  WriteBatch({"ping 127.0.0.1 -n 2", "del Delete.bat"});
  ASSERT_TRUE(Launch(host(), kBatch, 0));  // returns while the batch pauses
  EXPECT_FALSE(WaitForPrograms(std::chrono::milliseconds(50)));
  EXPECT_TRUE(Exists(kBatch));
  release.set_value();
  EXPECT_TRUE(WaitForPrograms(std::chrono::seconds(10)));
  EXPECT_FALSE(Exists(kBatch));
}

}  // namespace
}  // namespace quorvale::testing
