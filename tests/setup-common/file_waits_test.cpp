// SleepFile and ToDeleteFile on the test clock: files appear and holds go
// at chosen virtual moments, and the clock tells how long a wait took.
#include <gtest/gtest.h>

#include "quorvale/core/err.h"
#include "quorvale/machine/clock.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::setup {
namespace {

using quorvale::testing::TempMachine;

constexpr const char* kFile = "C:\\Q\\Quorvale.rar";

enum class Setup { kNone, kAppearsAt3s, kPresent, kHidden, kHeld, kReleasedAt2s };

enum class Call { kSleepFile, kToDeleteFile };

struct Case {
  Call call;
  const char* what;
  FileWait wait;
  Setup setup;
  const char* file;
  bool result;
  std::uint64_t moment;  // virtual ms at the answer
  bool remains = false;  // the file is still there afterwards
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

// Builds the case on the machine; the hold lives in hold.
void Arrange(TempMachine& temp, const Case& c, FileHold& hold) {
  switch (c.setup) {
    case Setup::kNone: break;
    case Setup::kAppearsAt3s: AtMoment(3000, [&temp] { temp.Write(kFile, "rar"); }); break;
    case Setup::kPresent: temp.Write(kFile, "rar"); break;
    case Setup::kHidden:
      temp.Write(kFile, "rar");
      win32::SetFileAttributesA(kFile, win32::FILE_ATTRIBUTE_HIDDEN);
      break;
    case Setup::kHeld:
    case Setup::kReleasedAt2s:
      temp.Write(kFile, "rar");
      hold = temp.machine().Hold(temp.machine().Resolve(kFile).long_path, "Rar.exe");
      if (c.setup == Setup::kReleasedAt2s) AtMoment(2000, [&hold] { hold.Release(); });
      break;
  }
}

class FileWaits : public ::testing::TestWithParam<Case> {};

TEST_P(FileWaits, AnswerMomentAndWhatRemains) {
  const Case& c = GetParam();
  TempMachine temp;
  FileHold hold;
  Arrange(temp, c, hold);
  const SystemHelpers helpers(c.wait);
  EXPECT_EQ(c.call == Call::kSleepFile ? helpers.SleepFile(c.file) : helpers.ToDeleteFile(c.file), c.result);
  EXPECT_EQ(ClockNow(), c.moment);
  EXPECT_EQ(temp.Exists(kFile), c.remains);
}

const auto kSetup = kSetupFileWait;
const auto kRepair = kRepairFileWait;

constexpr auto kSleep = Call::kSleepFile;
constexpr auto kDelete = Call::kToDeleteFile;

INSTANTIATE_TEST_SUITE_P(
    SleepFile, FileWaits,
    ::testing::Values(
        Case{kSleep, "setup, appears after 3 s", kSetup, Setup::kAppearsAt3s, kFile, true, 3000, true},
        Case{kSleep, "repair, appears after 3 s: fourth round", kRepair, Setup::kAppearsAt3s, kFile, true,
             3000, true},
        Case{kSleep, "setup, never", kSetup, Setup::kNone, kFile, false, 10000},
        Case{kSleep, "repair, never", kRepair, Setup::kNone, kFile, false, 10000},
        Case{kSleep, "setup, there already", kSetup, Setup::kPresent, kFile, true, 0, true},
        Case{kSleep, "setup, hidden counts as absent", kSetup, Setup::kHidden, kFile, false, 10000, true},
        Case{kSleep, "setup, empty name", kSetup, Setup::kNone, "", false, 0},
        Case{kSleep, "repair, empty name", kRepair, Setup::kNone, "", false, 0}));

INSTANTIATE_TEST_SUITE_P(
    ToDeleteFile, FileWaits,
    ::testing::Values(
        Case{kDelete, "setup, goes at once: one sleep", kSetup, Setup::kPresent, kFile, true, 500},
        Case{kDelete, "repair, goes at once", kRepair, Setup::kPresent, kFile, true, 1000},
        Case{kDelete, "setup, missing", kSetup, Setup::kNone, kFile, false, 0},
        Case{kDelete, "setup, hidden counts as absent", kSetup, Setup::kHidden, kFile, false, 0, true},
        Case{kDelete, "setup, held throughout", kSetup, Setup::kHeld, kFile, false, 10000, true},
        Case{kDelete, "repair, held throughout", kRepair, Setup::kHeld, kFile, false, 10000, true},
        Case{kDelete, "setup, released after 2 s", kSetup, Setup::kReleasedAt2s, kFile, true, 2500},
        Case{kDelete, "repair, released after 2 s", kRepair, Setup::kReleasedAt2s, kFile, true, 3000},
        Case{kDelete, "setup, empty name", kSetup, Setup::kNone, "", false, 0}));

TEST(FileWaitErrors, TheSetupPassesABadNameOnTheRepairAnswersNo) {
  TempMachine temp;
  const std::string bad = "C:\\\xF0\x9F\x98\x80.txt";  // no such character in the code page
  EXPECT_THROW(SystemHelpers(kSetupFileWait).SleepFile(bad), RaisedError);
  EXPECT_THROW(SystemHelpers(kSetupFileWait).ToDeleteFile(bad), RaisedError);
  EXPECT_FALSE(SystemHelpers(kRepairFileWait).ToDeleteFile(bad));
  EXPECT_EQ(ClockNow(), 0u);
}

}  // namespace
}  // namespace quorvale::setup
