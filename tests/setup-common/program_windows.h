// A wizard program on real windows for the programs' window tests: a fresh
// machine, the real-window backend, the program started on it; one page at
// a time on the screen, captured and checked as a person would look at it.
// Needs an X display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/controls.h"
#include "window_test.h"

namespace quorvale::setup::testing {

class ProgramWindows : public ui::fltk::testing::WindowTest {
 protected:
  // Call from the derived SetUp after WindowTest::SetUp, unless it skipped.
  // before_start readies the machine and the program just before it starts.
  void StartProgram(ProgramProfile profile, const MachineShape& shape = {},
                    const std::string& command_line = "",
                    const std::function<void(SetupProgram&)>& before_start = {}) {
    temp_ = std::make_unique<quorvale::testing::TempMachine>(shape);
    RegisterProviders(temp_->machine().Registry(), PROVIDERS_PATH);
    StartBackend(temp_->Folder());
    program_ = std::make_unique<SetupProgram>(*app_, std::move(profile));
    program_->SetCommandLine(command_line);
    if (before_start) before_start(*program_);
    app_->RunEvent([&] { program_->Start(); });
    backend_->Flush();
  }
  void TearDown() override {
    program_.reset();
    WindowTest::TearDown();
    temp_.reset();
  }

  // The page alone on the screen, as the wizard leaves it after a switch.
  void ShowOnly(ui::Form& page) {
    app_->RunEvent([&] {
      page.Show();
      for (ui::Form* f : app_->VisibleForms()) {
        if (f != &page) f->Hide();
      }
    });
    backend_->Flush();
  }

  // Not blank, several colours, and saved for a person to look at.
  ui::fltk::RgbImage ShotOfPage(const ui::Form& page, const std::string& name) {
    using namespace ui::fltk::testing;
    constexpr Rgb kFace{212, 208, 200};
    const ui::fltk::RgbImage shot = Shot(page);
    EXPECT_GT(shot.width, 400) << name;
    EXPECT_GT(shot.height, 300) << name;
    EXPECT_GE(DistinctColours(shot), 8u) << name << ": too few colours, the window looks blank";
    EXPECT_GT(CountOther(shot, kFace), static_cast<std::size_t>(shot.width * shot.height / 50))
        << name << ": hardly anything drawn";
    Save(shot, name);
    return shot;
  }

  std::unique_ptr<quorvale::testing::TempMachine> temp_;
  std::unique_ptr<SetupProgram> program_;
};

// A hidden form whose timer runs look until it says it is done, also while
// a sequence runs (the loop's turns fire due timers).
class Watch : public ui::Form {
 public:
  Watch(ui::Application& app, std::function<bool()> look, int interval_ms = 10) : Form(app, "Watch") {
    Timer.SetInterval(interval_ms);
    Timer.OnTimer([this, look] {
      if (look()) Timer.SetEnabled(false);
    });
    app.RunEvent([this] {
      Load();
      Timer.SetEnabled(true);
    });
  }
  ui::Timer Timer{*this, "Timer"};
};

}  // namespace quorvale::setup::testing
