// The ground of the tests that run a built program as a process on real
// windows: a display (the test skips without one unless
// QUORVALE_REQUIRE_DISPLAY=1) and a person at it, another X client that
// finds the program's windows by their title and answers them.
#pragma once

#include "program_process.h"
#include "window_test.h"
#include "x_client.h"

namespace quorvale::setup::testing {

using uninstall::testing::WaitFor;
using uninstall::testing::XClient;

class OutcomeWindows : public ui::fltk::testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(x);
  }
  XClient x;
};

}  // namespace quorvale::setup::testing
