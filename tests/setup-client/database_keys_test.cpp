// The DataBase page walked with the keyboard only, from Welcome: the two
// options are one group (the arrows select, and the frames come and go with
// the selection), one Tab stop. The same keys headless and on real windows,
// typed at the display.
#include <gtest/gtest.h>

#include "key_walk.h"
#include "program_windows.h"
#include "quorvale/client/client_end.h"
#include "test_program.h"

namespace quorvale::client {
namespace {

using ui::fltk::testing::Key;
using ui::fltk::testing::KeyStep;

const std::vector<KeyStep> kDataBaseWalk = {
    {Key::Enter, "Agreement.Agree", ""},
    {Key::Enter, "DataBase.Access", "Access"},
    {Key::Down, "DataBase.SQLServer", "SQLServer"},
    {Key::Tab, "DataBase.MSSQLServer", "SQLServer"},  // its Click enabled the boxes
    {Key::ShiftTab, "DataBase.SQLServer", "SQLServer"},
    {Key::ShiftTab, "DataBase.CancelButton", "SQLServer"},  // one stop for both options
    {Key::Tab, "DataBase.SQLServer", "SQLServer"},          // in again at the selected one
    {Key::Up, "DataBase.Access", "Access"},
    {Key::Tab, "DataBase.StepButton", "Access"},  // its Click put the boxes away
    {Key::ShiftTab, "DataBase.Access", "Access"},
    {Key::Left, "DataBase.SQLServer", "SQLServer"},  // round the group's end
    {Key::Right, "DataBase.Access", "Access"},
    {Key::Tab, "DataBase.StepButton", "Access"},
    {Key::Down, "DataBase.StepButton", "Access"},  // a button's arrows do nothing
};

TEST(DataBaseKeys, TheOptionsAreOneGroupHeadless) {
  setup::testing::Wizard wizard(ClientEnd::Profile());
  wizard.Start();
  ui::fltk::testing::WalkHeadless(wizard.driver, kDataBaseWalk);
}

class DataBaseKeysWindows : public setup::testing::ProgramWindows {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    StartProgram(ClientEnd::Profile());
  }
};

TEST_F(DataBaseKeysWindows, TheOptionsAreOneGroupTypedAtTheDisplay) {
  ui::fltk::testing::WalkOnDisplay(*backend_, *app_, kDataBaseWalk);
  // The last Click put the frames away.
  const ui::Form* page = app_->ActiveForm();
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(page->FindControl("Frame2")->Visible());
  EXPECT_FALSE(page->FindControl("Frame3")->Visible());
}

}  // namespace
}  // namespace quorvale::client
