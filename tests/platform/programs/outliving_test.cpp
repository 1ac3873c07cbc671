// Programs that a program of ours starts, on the real clock, after that
// program has ended: a batch file runs to its end in a process of its own,
// and a started program's file is held for exactly as long as that program
// runs, whatever became of its starter.
#include <chrono>
#include <thread>

#include "machine_fixture.h"
#include "quorvale/machine/clock.h"

namespace quorvale::testing {
namespace {

constexpr const char* kStarter = "C:\\Tools\\Starter.exe";

class OutlivingTest : public MachineTest {
 protected:
  void SetUp() override {
    UseTestClock(false);
    Copy(STARTER_PROGRAM_PATH, kStarter);
  }
  void Copy(const char* from, const std::string& to) {
    std::filesystem::create_directories(File(to).parent_path());
    std::filesystem::copy_file(from, File(to));
  }
  // The starter run on the command line and ended.
  void StartAndEnd(const std::string& command_line) {
    ASSERT_TRUE(Launch(host(), std::string(kStarter) + " " + command_line, 0));
    ASSERT_TRUE(WaitForPrograms(std::chrono::seconds(20))) << "the starter did not end";
    EXPECT_EQ(Records().at(0).what, "started");
  }
  static bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  bool Recorded(const ProgramEvent& event) {
    for (const auto& e : Records())
      if (e == event) return true;
    return false;
  }
};

TEST_F(OutlivingTest, ABatchRunsToItsEndAfterItsStarterHasEnded) {
  Write("C:\\Target\\Uninstall.exe", "x");
  Write("C:\\Target\\Web\\Index.asp", "x");
  Write("C:\\Temp\\run.bat",
        "@echo off\r\nping 127.0.0.1 -n 3\r\nrd /s /q C:\\Target\r\ndel C:\\Temp\\run.bat\r\ncls\r\nexit");
  StartAndEnd("C:\\Temp\\run.bat");
  // The starter is gone; its batch still pauses.
  EXPECT_TRUE(Exists("C:\\Target"));
  ASSERT_TRUE(WaitFor([&] {
    return Recorded({"cmd.exe", "deleted", "C:\\Temp\\run.bat", ""});
  })) << "the batch did not run to its end";
  EXPECT_FALSE(Exists("C:\\Target"));
  EXPECT_FALSE(Exists("C:\\Temp\\run.bat"));
  EXPECT_TRUE(Recorded({"cmd.exe", "removed", "C:\\Target", ""}));
}

TEST_F(OutlivingTest, AStartedProgramsFileIsHeldWhileItRunsWhateverItsStarterDoes) {
  const std::string program = "C:\\Tools\\Long.exe";
  Copy(CHILD_PROGRAM_PATH, program);
  StartAndEnd(program + " -wait-for go");
  // Its starter has ended; the program runs on and its file cannot go.
  ASSERT_TRUE(WaitFor([&] { return Exists("C:\\Tools\\child.out"); }));
  EXPECT_TRUE(machine().IsHeld(program));
  EXPECT_TRUE(std::filesystem::exists(File(program)));
  // Once it has ended, nothing holds the file.
  Write("C:\\Tools\\go", "");
  EXPECT_TRUE(WaitFor([&] { return !machine().IsHeld(program); })) << "the file is still held";
}

}  // namespace
}  // namespace quorvale::testing
