// The Service page walked with the keyboard only, from Welcome: the mail
// options are one group (the arrows select, one Tab stop), the check boxes
// a Tab stop each. The same keys headless and on real windows, typed at the
// display.
#include <gtest/gtest.h>

#include "key_walk.h"
#include "program_windows.h"
#include "quorvale/server/server_end.h"
#include "test_program.h"

namespace quorvale::server {
namespace {

using ui::fltk::testing::Key;
using ui::fltk::testing::KeyStep;

const std::vector<KeyStep> kServiceWalk = {
    {Key::Enter, "Agreement.Agree", ""},
    {Key::Enter, "Service.NET", "NoMail"},  // HTM and ASP are disabled
    {Key::Tab, "Service.PHP", "NoMail"},
    {Key::Tab, "Service.CGI", "NoMail"},
    {Key::Tab, "Service.WAP", "NoMail"},
    {Key::Right, "Service.WAP", "NoMail"},  // a check box's arrows do nothing
    {Key::Tab, "Service.NoMail", "NoMail"},
    {Key::Right, "Service.iMail", "iMail"},
    {Key::Down, "Service.WinWebMail", "WinWebMail"},
    {Key::Right, "Service.NoMail", "NoMail"},  // round the group's end
    {Key::Up, "Service.WinWebMail", "WinWebMail"},
    {Key::Tab, "Service.SQLServer", "WinWebMail"},  // one stop for the three
    {Key::Tab, "Service.MySQL", "WinWebMail"},
    {Key::ShiftTab, "Service.SQLServer", "WinWebMail"},
    {Key::ShiftTab, "Service.WinWebMail", "WinWebMail"},  // in again at the selected one
    {Key::ShiftTab, "Service.WAP", "WinWebMail"},
    {Key::ShiftTab, "Service.CGI", "WinWebMail"},
};

TEST(ServiceKeys, TheMailOptionsAreOneGroupHeadless) {
  setup::testing::Wizard wizard(ServerEnd::Profile());
  wizard.Start();
  ui::fltk::testing::WalkHeadless(wizard.driver, kServiceWalk);
}

class ServiceKeysWindows : public setup::testing::ProgramWindows {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    StartProgram(ServerEnd::Profile());
  }
};

TEST_F(ServiceKeysWindows, TheMailOptionsAreOneGroupTypedAtTheDisplay) {
  ui::fltk::testing::WalkOnDisplay(*backend_, *app_, kServiceWalk);
}

}  // namespace
}  // namespace quorvale::server
