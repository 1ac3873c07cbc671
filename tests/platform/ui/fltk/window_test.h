// The ground of every test on real windows: skips without an X display
// (fails instead when QUORVALE_REQUIRE_DISPLAY=1), makes the real-window
// backend and an application on it, captures what the windows show and
// keeps the captures under build/screenshots for a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "image_checks.h"
#include "quorvale/ui/application.h"
#include "quorvale/ui/fltk_backend.h"

class Fl_Window;

namespace quorvale::ui::fltk::testing {

class WindowTest : public ::testing::Test {
 protected:
  // Derived fixtures call it first and return when IsSkipped().
  void SetUp() override;
  void TearDown() override;

  // The backend, its dialogs showing the machine in folder, and the
  // application on it.
  void StartBackend(const std::filesystem::path& machine_folder);
  // Lets the loop run, timers included, until done() holds (at most 5 s).
  bool RunUntil(const std::function<bool()>& done);
  RgbImage Shot(const Form& form);
  // Saves a capture as build/screenshots/<name>.png ("Uninstall/Welcome":
  // in the folder Uninstall).
  void Save(const RgbImage& shot, const std::string& name);

  std::unique_ptr<FltkBackend> backend_;
  std::unique_ptr<Application> app_;
};

// The backend on forms of the test's own, its dialogs showing no machine.
class FormWindowTest : public WindowTest {
 protected:
  void SetUp() override;
};

// Lets the loop of app run, timers included, until done() holds (at most
// 5 s); whether it holds.
bool RunUntil(FltkBackend& backend, Application& app, const std::function<bool()>& done);

// A key pressed on a window, as the X server would hand it to FLTK, with
// the text it types.
void PressKey(Fl_Window& window, int key, int state = 0, const char* text = "");

// Runs act on the modal window (a message box or dialog) once it is open
// and ready() holds, from inside its loop; act may answer it.
void WhenModal(std::function<bool()> ready, std::function<void(Fl_Window&)> act);
inline void WhenModalOpens(std::function<void(Fl_Window&)> act) {
  WhenModal([] { return true; }, std::move(act));
}

// The captions of a form's labels that its window cannot show whole: each
// entry names the label and says what does not fit (a line wider than the
// label, or more lines than its height holds). Empty when every caption
// shows whole. Needs the backend's fonts, so a backend must exist:
//   EXPECT_EQ(CutCaptions(page), std::vector<std::string>{});
std::vector<std::string> CutCaptions(const Form& form);

}  // namespace quorvale::ui::fltk::testing
