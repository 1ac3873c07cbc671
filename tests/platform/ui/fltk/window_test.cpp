#include "window_test.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "png_file.h"
#include "quorvale/ui/controls.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/form.h"

namespace quorvale::ui::fltk::testing {

namespace {

bool DisplayRequired() {
  const char* v = std::getenv("QUORVALE_REQUIRE_DISPLAY");
  return v && std::string(v) == "1";
}

struct PendingCheck {
  std::function<bool()> ready;
  std::function<void(Fl_Window&)> act;
};
PendingCheck* pending_check = nullptr;

void LookForModal(void*) {
  Fl_Window* modal = Fl::modal();
  if (!modal || !modal->shown() || !pending_check->ready()) {
    Fl::repeat_timeout(0.01, LookForModal);
    return;
  }
  const auto act = std::move(pending_check->act);
  delete pending_check;
  pending_check = nullptr;
  act(*modal);
}

void DropPendingCheck() {
  Fl::remove_timeout(LookForModal);
  delete pending_check;
  pending_check = nullptr;
}

}  // namespace

void WindowTest::SetUp() {
  if (DisplayAvailable()) return;
  if (DisplayRequired()) FAIL() << "QUORVALE_REQUIRE_DISPLAY=1 but no X display can be opened";
  GTEST_SKIP() << "no X display (DISPLAY unset or unreachable): run under xvfb-run to check the windows";
}

void WindowTest::TearDown() {
  DropPendingCheck();
  app_.reset();
  backend_.reset();
}

void FormWindowTest::SetUp() {
  WindowTest::SetUp();
  if (IsSkipped() || HasFatalFailure()) return;
  StartBackend(std::filesystem::temp_directory_path() / "quorvale-no-machine");
}

void WindowTest::StartBackend(const std::filesystem::path& machine_folder) {
  FltkBackend::Options o;
  o.machine = machine_folder;
  backend_ = std::make_unique<FltkBackend>(o);
  app_ = std::make_unique<Application>(*backend_);
}

bool WindowTest::RunUntil(const std::function<bool()>& done) {
  return testing::RunUntil(*backend_, *app_, done);
}

bool RunUntil(FltkBackend& backend, Application& app, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done() && std::chrono::steady_clock::now() < end) {
    backend.Poll(app);
    if (auto due = app.NextTimerDue(); due && app.Now() >= *due) app.FireDueTimers();
    Fl::wait(0.005);
  }
  return done();
}

RgbImage WindowTest::Shot(const Form& form) {
  auto shot = backend_->Capture(form);
  EXPECT_TRUE(shot.has_value()) << form.Name();
  return shot.value_or(RgbImage{});
}

void WindowTest::Save(const RgbImage& shot, const std::string& name) {
  const auto path = std::filesystem::path(QUORVALE_SCREENSHOT_DIR) / (name + ".png");
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);  // a program's own folder of captures
  EXPECT_TRUE(WritePng(path, shot)) << path;
}

void PressKey(Fl_Window& window, int key, int state, const char* text) {
  Fl::e_keysym = key;
  Fl::e_state = state;
  Fl::e_text = const_cast<char*>(text);
  Fl::e_length = static_cast<int>(std::strlen(text));
  Fl::handle(FL_KEYBOARD, &window);
}

void WhenModal(std::function<bool()> ready, std::function<void(Fl_Window&)> act) {
  DropPendingCheck();
  pending_check = new PendingCheck{std::move(ready), std::move(act)};
  Fl::add_timeout(0.01, LookForModal);
}

std::vector<std::string> CutCaptions(const Form& form) {
  std::vector<std::string> cut;
  for (const Control* c : form.Controls()) {
    if (c->Kind() != ControlKind::Label) continue;
    const auto& label = static_cast<const Label&>(*c);
    if (label.Caption().empty()) continue;
    const LabelLayout layout = LayOutLabel(label);
    const std::string name = form.Name() + "." + label.Name();
    for (std::size_t i = 0; i < layout.text.lines.size(); ++i) {
      if (layout.text.widths[i] <= layout.box.w) continue;
      std::ostringstream s;
      s << name << ": line " << i + 1 << " \"" << layout.text.lines[i] << "\" is " << layout.text.widths[i]
        << " px wide, the label " << layout.box.w << " px";
      cut.push_back(s.str());
    }
    if (layout.text.Height() > layout.box.h) {
      std::ostringstream s;
      const auto whole = static_cast<std::size_t>(layout.box.h / layout.text.line_height);
      s << name << ": " << layout.text.lines.size() << " lines of " << layout.text.line_height << " px need "
        << layout.text.Height() << " px, the label is " << layout.box.h << " px high; from line " << whole + 1
        << " \"" << layout.text.lines[whole] << "\" on the text is cut";
      cut.push_back(s.str());
    }
  }
  return cut;
}

}  // namespace quorvale::ui::fltk::testing
