// The built Client run as a process, as a person starts it: how each way
// of ending it ends, in its last line on standard error and its exit code.
// A person at the display answers it (another X client). Needs an X
// display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#include <gtest/gtest.h>

#include <functional>

#include "outcome_windows.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale::client {
namespace {

using namespace setup::testing;

constexpr const char* kCaption = "Quorvale虚拟主机管理系统v3.0主控端";

using ClientOutcome = setup::testing::OutcomeWindows;

TEST_F(ClientOutcome, EachEndSaysHowItEndedAndExitsWithItsCode) {
  if (IsSkipped() || HasFatalFailure()) return;
  struct Case {
    const char* name;
    bool iis;
    // What the person does while the program runs.
    std::function<void(XClient&, ProgramProcess&)> act;
    int code;
    std::string line;
  };
  const Case cases[] = {
      {"no IIS", false,
       [](XClient& x, ProgramProcess&) { WaitFor([&] { return x.PressEnter("安装") > 0; }); }, 3,
       "Client: refused: 您的操作系统中未安装IIS，请您先安装IIS!"},
      {"the exit question answered OK", true,
       [](XClient& x, ProgramProcess&) {
         WaitFor([&] { return x.Close(kCaption) > 0; });
         WaitFor([&] { return x.PressEnter("安装") > 0; });
       },
       4, "Client: cancelled: the exit question answered OK on Welcome"},
      // Enter through the pages with Access and no host name, the install
      // on the real clock, and Complete's button.
      {"an install through to Complete", true,
       [](XClient& x, ProgramProcess& p) {
         WaitFor(
             [&] {
               x.PressEnter(kCaption);
               std::this_thread::sleep_for(std::chrono::milliseconds(200));
               return p.Ended().has_value();
             },
             std::chrono::seconds(90));
       },
       0, "Client: completed: installed in C:\\Program Files\\Quorvale\\主控端"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MachineShape shape;
    shape.iis = c.iis;
    testing::TempMachine temp(shape);
    if (c.iis) {
      // The default site takes a host name of its own, so the panel's site
      // may take every name on port 80.
      Metabase(temp.machine()).Update([](std::vector<MetabaseKey>& keys) {
        for (auto& k : keys)
          if (SameLocation(k.location, "/LM/W3SVC/1")) k.Set("ServerBindings", ":80:www.default.test");
        return true;
      });
    }
    ProgramProcess client(CLIENT_PROGRAM, {}, temp.Folder());
    ASSERT_TRUE(client.Started());
    c.act(x, client);
    ASSERT_TRUE(client.Wait()) << client.Said();
    EXPECT_EQ(*client.Ended(), c.code) << client.Said();
    EXPECT_EQ(client.LastLine(), c.line);
  }
}

}  // namespace
}  // namespace quorvale::client
