// The real-window backend: every form a top-level FLTK window, its controls
// FLTK widgets placed by their twips (15 to a pixel), texts in a CJK font,
// message boxes and the folder and file dialogs over the machine's drives.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "quorvale/ui/application.h"
#include "quorvale/ui/backend.h"
#include "quorvale/ui/fltk/poll_throttle.h"
#include "quorvale/ui/form.h"

class Fl_Widget;
class Fl_Window;

namespace quorvale::ui::fltk {

class FormWindow;

// What the screen shows: 8-bit RGB, rows top to bottom.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
};

}  // namespace quorvale::ui::fltk

namespace quorvale::ui {

// The CJK font the windows use, by its fontconfig name.
inline constexpr const char* kCjkFontName = "WenQuanYi Micro Hei";

// DISPLAY is set and an X display can be opened there.
bool DisplayAvailable();

class FltkBackend : public Backend {
 public:
  struct Options {
    // Title of message boxes that have none of their own.
    std::string app_title = "Quorvale";
    // The machine whose drives the dialogs show; empty: MachineFolder().
    std::filesystem::path machine;
    // The display is polled at most this often by DoEvents.
    std::int64_t poll_interval_ms = 5;
  };

  FltkBackend();
  explicit FltkBackend(Options options);
  ~FltkBackend() override;
  FltkBackend(const FltkBackend&) = delete;
  FltkBackend& operator=(const FltkBackend&) = delete;

  void FormShown(Form& form) override;
  void FormHidden(Form& form) override;
  void FormChanged(Form& form) override;
  void FocusChanged(Form& form, Control*) override;
  MsgResult ShowMessage(Application& app, const MessageRequest& request) override;
  std::optional<std::string> BrowseForFolder(Application& app, const FolderRequest& request) override;
  std::optional<std::string> OpenFile(Application& app, const FileRequest& request) override;
  // Polls the display when the poll interval has passed since the last
  // poll, then runs the input that was waiting.
  void PumpInput(Application& app) override;
  std::int64_t NowMs() override;
  void ProgramEnded() override;

  // The message loop of a program started on this backend: waits for input
  // and timers until the program ends or no window is left shown.
  void RunUntilEnd(Application& app);
  // Repaints every window from its form now and waits until the display
  // has drawn it.
  void Flush();
  // Polls the display once and runs the input that was waiting.
  void Poll(Application& app);

  // Input to run as one event at the next poll, as a widget hands it over.
  void Post(std::function<void()> input);
  std::size_t PollCount() const { return polls_; }
  const Options& GetOptions() const { return options_; }

  // The window of a form (nullptr before its first show) and the widget of
  // a control, for checks of what the screen shows.
  Fl_Window* WindowOf(const Form& form) const;
  Fl_Widget* WidgetOf(const Control& control) const;
  // The lines a label or a multi-line text box shows, broken as its window
  // breaks them (empty for other controls).
  std::vector<std::string> ShownLines(const Control& control) const;
  // What a window shows now, read back from the display.
  static std::optional<fltk::RgbImage> Capture(Fl_Window& window);
  std::optional<fltk::RgbImage> Capture(const Form& form);

 private:
  friend class fltk::FormWindow;
  void DeliverInput();
  void SyncDirty();
  // The wait hook of the thread the backend was made on: a Sleep of the
  // program paints the windows until it ends, and does nothing else.
  static void PaintWhileWaiting(std::uint32_t ms);
  // Fires the timers that are due; the seconds until the next one is due,
  // at most longest.
  double RunTimers(Application& app, double longest);
  // The loop of a modal window, between its waits.
  std::optional<double> ModalIdle(Application& app);
  Fl_Window* OwnerWindow(const std::string& form_name) const;
  // After a box or dialog: the active form's window takes the keyboard
  // back, and its focused control the focus.
  void ModalClosed(Application& app);

  Options options_;
  fltk::PollThrottle throttle_;
  std::int64_t start_ms_ = 0;
  std::size_t polls_ = 0;
  std::map<const Form*, std::unique_ptr<fltk::FormWindow>> windows_;
  std::set<Form*> dirty_;
  // The window that last took the keyboard as the active form's.
  const fltk::FormWindow* keyboard_ = nullptr;
  std::deque<std::function<void()>> input_;
};

}  // namespace quorvale::ui
