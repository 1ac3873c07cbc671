#include "quorvale/win32/vb_random.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "quorvale/machine/clock.h"

namespace quorvale::win32 {
namespace {

// Prints five numbers and the last one again, as the runtime shows singles.
void DrawFive() {
  float drawn[5];
  for (float& x : drawn) x = Rnd();
  std::fprintf(stderr, "%.7g %.7g %.7g %.7g %.7g / %.7g", drawn[0], drawn[1], drawn[2], drawn[3], drawn[4],
               Rnd(0));
  std::exit(0);
}

// A fresh process: the death-test child is started anew (not forked from a
// process that already drew), so it sees the generator's first state.
TEST(Rnd, AFreshProcessDrawsTheSameNumbersEveryTime) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(DrawFive(), ::testing::ExitedWithCode(0),
              "^0.7055475 0.533424 0.5795186 0.2895625 0.301948 / 0.301948$");
}

TEST(Rnd, NegativeSeedsZeroRepeatsPositiveAdvances) {
  struct Case {
    float argument;
    float expected;
  } cases[] = {
      {-1.0f, 0.224007f},  {-1.0f, 0.224007f}, {0.0f, 0.224007f},   {1.0f, 0.03584582f},
      {0.0f, 0.03584582f}, {-0.5f, 0.724007f}, {-2.0f, 0.7133257f}, {-123456.0f, 0.3128728f},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FLOAT_EQ(Rnd(cases[i].argument), cases[i].expected);
  }
}

TEST(Randomize, MixesTheNumberIntoTheMiddleBytesOfTheState) {
  // After Rnd(-1) the state is 0x395886; Randomize keeps its low byte 0x86.
  struct Case {
    double seed;
    float next;
  } cases[] = {
      {0.0, 0.3328429f},                // state 0x000086
      {1.0, 0.3335753f},                // 0x3FF086
      {12.345000267028809, 0.435855f},  // 0xF08B86: Timer's 12.345 as a single
      {3723.5, 0.2585173f},             // 0x57AD86
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    Rnd(-1);
    Randomize(c.seed);
    EXPECT_FLOAT_EQ(Rnd(), c.next);
  }
}

TEST(Randomize, WithoutANumberSeedsFromTimerOnTheMachinesClock) {
  UseTestClock(true);
  ResetTestClock();
  struct Case {
    std::uint32_t advance_ms;
    float timer;
    float next;  // after Rnd(-1) and Randomize
  } cases[] = {
      {12345, 12.345f, 0.435855f},
      {3723500 - 12345, 3723.5f, 0.2585173f},
      {86400000 - 3723500, 0.0f, 0.3328429f},  // midnight: the count starts again
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timer);
    ClockSleep(c.advance_ms);
    EXPECT_FLOAT_EQ(Timer(), c.timer);
    Rnd(-1);
    Randomize();
    EXPECT_FLOAT_EQ(Rnd(), c.next);
  }
  UseTestClock(false);
}

TEST(Timer, OnTheRealClockCountsSecondsSinceMidnight) {
  const float t = Timer();
  EXPECT_GE(t, 0.0f);
  EXPECT_LT(t, 86400.0f);
}

}  // namespace
}  // namespace quorvale::win32
