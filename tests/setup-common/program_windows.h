// A wizard program on real windows for the programs' window tests: a fresh
// machine, the real-window backend, the program started on it; one page at
// a time on the screen, captured and checked as a person would look at it.
// Needs an X display; skips without one unless QUORVALE_REQUIRE_DISPLAY=1.
#pragma once

#include <memory>
#include <string>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "window_test.h"

namespace quorvale::setup::testing {

class ProgramWindows : public ui::fltk::testing::WindowTest {
 protected:
  // Call from the derived SetUp after WindowTest::SetUp, unless it skipped.
  void StartProgram(ProgramProfile profile, const MachineShape& shape = {},
                    const std::string& command_line = "") {
    temp_ = std::make_unique<quorvale::testing::TempMachine>(shape);
    RegisterProviders(temp_->machine().Registry(), PROVIDERS_PATH);
    StartBackend(temp_->Folder());
    program_ = std::make_unique<SetupProgram>(*app_, std::move(profile));
    program_->SetCommandLine(command_line);
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

}  // namespace quorvale::setup::testing
