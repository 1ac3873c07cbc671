// The built Server run as a process, as a person starts it: how each way
// of ending it ends, in its last line on standard error and its exit code.
// A person at the display answers its boxes (another X client). Needs an X
// display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "outcome_windows.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/server/server_end.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::server {
namespace {

using namespace setup::testing;

constexpr const char* kCaption = "Quorvale虚拟主机管理系统v3.0被控端";
constexpr const char* kEntry =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";
constexpr const char* kUninstaller = "C:\\Program Files\\Quorvale\\被控端\\Uninstall.exe";

class ServerOutcome : public setup::testing::OutcomeWindows {
 protected:
  // An earlier installation of the server end whose uninstaller is bytes.
  static void Installed(testing::TempMachine& temp, const std::string& bytes) {
    temp.machine().Registry().CreateKey(kEntry);
    temp.machine().Registry().SetValue(
        kEntry, "UninstallString",
        RegValue::Text(win32::ToAnsi(std::string(kUninstaller) + " -delete").value()));
    temp.Write(kUninstaller, bytes);
  }
};

std::string FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ServerOutcome, EachEndSaysHowItEndedAndExitsWithItsCode) {
  if (IsSkipped() || HasFatalFailure()) return;
  struct Case {
    const char* name;
    MachineShape shape;
    std::function<void(testing::TempMachine&)> ready;
    // What the person does, until the program has ended.
    std::function<void(XClient&)> act;
    int code;
    std::function<std::string(testing::TempMachine&)> line;
  };
  MachineShape xp;
  xp.edition = WindowsEdition::kWindowsXP;
  MachineShape no_iis;
  no_iis.iis = false;
  auto enter = [](const char* title) {
    return [=](XClient& x) { WaitFor([&] { return x.PressEnter(title) > 0; }); };
  };
  auto fixed = [](std::string line) { return [=](testing::TempMachine&) { return line; }; };
  const Case cases[] = {
      {"Windows XP",
       xp,
       {},
       enter("安装"),
       3,
       fixed("Server: refused: Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!")},
      {"no IIS",
       no_iis,
       {},
       enter("安装"),
       3,
       fixed("Server: refused: 您的操作系统中未安装IIS，请您先安装IIS!")},
      {"a damaged machine",
       {},
       [](testing::TempMachine& t) { std::filesystem::resize_file(t.Folder() / "registry.reg", 100); },
       enter("Server"),
       1,
       [](testing::TempMachine& t) {
         return "Server: failed: machine file " + (t.Folder() / "registry.reg").string() + ": ";
       }},
      {"the exit question answered OK",
       {},
       {},
       [](XClient& x) {
         WaitFor([&] { return x.Close(kCaption) > 0; });
         WaitFor([&] { return x.PressEnter("安装") > 0; });
       },
       4,
       fixed("Server: cancelled: the exit question answered OK on Welcome")},
      {"an earlier installation whose uninstaller cannot start",
       {},
       [](testing::TempMachine& t) { Installed(t, "the text stand-in of older payloads"); },
       enter("安装"),
       1,
       [](testing::TempMachine& t) {
         return std::string(
                    "Server: failed: 这台机器上已经安装了Quorvale虚拟主机管理系统v3.0 被控端，"
                    "但它的卸载程序无法启动： ") +
                kUninstaller +
                " 安装程序现在退出。要重新安装，请先让这台机器回到没有安装被控端的状态，例如： "
                "quorvale-machine --machine " +
                t.Folder().string() + " reset";
       }},
      {"an earlier installation with the payload's uninstaller",
       {},
       [](testing::TempMachine& t) { Installed(t, FileBytes(SERVER_UNINSTALLER)); },
       [](XClient&) {},
       0,
       fixed(std::string("Server: handed-over: ") + kUninstaller)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempMachine temp(c.shape);
    if (c.ready) c.ready(temp);
    ProgramProcess server(SERVER_PROGRAM, {}, temp.Folder());
    ASSERT_TRUE(server.Started());
    c.act(x);
    ASSERT_TRUE(server.Wait()) << server.Said();
    EXPECT_EQ(*server.Ended(), c.code) << server.Said();
    const std::string line = c.line(temp);
    if (line.back() == ' ')  // the damaged file's own words follow
      EXPECT_EQ(server.LastLine().rfind(line, 0), 0u) << server.LastLine();
    else
      EXPECT_EQ(server.LastLine(), line);
    if (c.code != 0) continue;
    // The uninstaller it handed over to runs: the stand-in's box says what
    // it stands for, and the person closes it.
    ASSERT_TRUE(WaitFor([&] { return x.CountShown("卸载") > 0; })) << "the uninstaller shows nothing";
    if (auto shot = x.Capture("卸载")) Save(*shot, "ServerEndUninstaller");
    bool started = false;
    for (const auto& e : temp.machine().ProgramEvents())
      started |= e.what == "started" && e.path == kUninstaller;
    EXPECT_TRUE(started);
    x.PressEnter("卸载");
    EXPECT_TRUE(WaitFor([&] { return x.CountShown("卸载") == 0; }));
  }
}

// The box of a hand-over that cannot start, as the person sees it: its
// title, its one button, and every line of its text inside it.
TEST_F(ServerOutcome, TheBoxOfAHandOverThatCannotStart) {
  if (IsSkipped() || HasFatalFailure()) return;
  testing::TempMachine temp;
  RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
  Installed(temp, "the text stand-in of older payloads");
  InstallLauncher();  // WinExec starts what the machine can run
  StartBackend(temp.Folder());
  struct Seen {
    std::string title;
    int buttons = 0, widest = 0, box_w = 0;
    ui::fltk::RgbImage shot;
  } seen;
  ui::fltk::testing::WhenModalOpens([&](Fl_Window& box) {
    seen.title = box.label() ? box.label() : "";
    seen.box_w = box.w();
    for (int i = 0; i < box.children(); ++i) {
      if (dynamic_cast<Fl_Button*>(box.child(i)))
        ++seen.buttons;
      else
        seen.widest = std::max(seen.widest, box.child(i)->x() + box.child(i)->w());
    }
    seen.shot = ui::FltkBackend::Capture(box).value_or(ui::fltk::RgbImage{});
    ui::fltk::testing::PressKey(box, FL_Enter);
  });
  setup::SetupProgram program(*app_, ServerEnd::Profile());
  app_->RunEvent([&] { program.Start(); });
  EXPECT_TRUE(app_->Ended());
  EXPECT_EQ(seen.title, "安装");
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_LE(seen.widest, seen.box_w);
  ASSERT_GT(seen.shot.width, 0);
  Save(seen.shot, "WelcomeHandOverFailed");
  EXPECT_EQ(program.EndedWith().outcome, setup::Outcome::kFailed);
  const auto layout = ui::fltk::LayOutText(program.EndedWith().detail, 380, false, false);
  for (std::size_t i = 0; i < layout.lines.size(); ++i) EXPECT_LE(layout.widths[i], 380) << layout.lines[i];
}

// Complete after an install that did not happen, with the most it can miss:
// its text shows whole where the boxes were; captured as
// Complete-failed.png.
TEST_F(ServerOutcome, TheFailurePageShowsItsTextWhole) {
  if (IsSkipped() || HasFatalFailure()) return;
  testing::TempMachine temp;
  StartBackend(temp.Folder());
  setup::SetupProgram program(*app_, ServerEnd::Profile());
  auto& complete = program.Page<setup::CompletePage>();
  app_->RunEvent([&] {
    complete.ShowFailure(
        "Quorvale.exe、Service.exe、System.ini、Uninstall.exe、WinWebMail.dll、"
        "C:\\WINDOWS\\system32\\mswinsck.ocx、C:\\WINDOWS\\system32\\ntsvc.ocx、"
        "C:\\WINDOWS\\system32\\TABCTL32.OCX、C:\\WINDOWS\\system32\\MSCOMCTL.OCX、反安装注册表项、Uninstall."
        "ini",
        "C:\\Program Files\\Quorvale\\被控端");
    complete.Show();
  });
  backend_->Flush();
  EXPECT_EQ(ui::fltk::testing::CutCaptions(complete), std::vector<std::string>{});
  Save(Shot(complete), "Complete-failed");
}

}  // namespace
}  // namespace quorvale::server
