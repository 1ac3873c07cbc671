#include "quorvale/ui/fltk_backend.h"

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "dialogs.h"
#include "fl.h"
#include "form_window.h"
#include "quorvale/core/wait_hook.h"
#include "quorvale/machine/machine.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"
#include "text_area.h"
#include "widgets.h"

namespace quorvale::ui {

using fltk::FormWindow;

namespace {

FltkBackend* g_backend = nullptr;

std::int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sees every event before FLTK delivers it: the form windows take their
// keys here, and a click that moved the focus tells the form.
int Dispatch(int event, Fl_Window* window) {
  const bool key = event == FL_KEYBOARD || event == FL_SHORTCUT;
  // While a box or dialog is open the keyboard is its own: a key that
  // reaches another window (typed before the box took the focus, or sent to
  // the window under the pointer on a display without a window manager) is
  // the box's, never the page's below it. (A menu open in the box has the
  // keys through FLTK's grab.)
  if (Fl_Window* modal = Fl::modal(); key && modal && window != modal && !Fl::grab())
    return Fl::handle_(event, modal);
  auto* fw = dynamic_cast<FormWindow*>(window);
  if (!fw || !g_backend) return Fl::handle_(event, window);
  if (key && fw->HandleKey(event)) return 1;
  Fl_Widget* before = Fl::focus();
  const int used = Fl::handle_(event, window);
  if (event == FL_PUSH && Fl::focus() != before && Fl::focus() && Fl::focus()->window() == fw) {
    if (Control* c = fw->ControlOf(Fl::focus())) {
      Application& app = c->Owner().App();
      g_backend->Post([&app, c] { input::Focus(app, *c); });
    }
  }
  if (event == FL_FOCUS) g_backend->FormChanged(fw->GetForm());  // put the form's focus back
  return used;
}

// What a window needs to be painted again: its exposed parts, its place and
// size, its showing. Input (keys, the mouse, focus, the close box) is not.
Bool IsPaintEvent(Display*, XEvent* event, XPointer) {
  switch (event->type) {
    case Expose:
    case GraphicsExpose:
    case ConfigureNotify:
    case MapNotify:
    case UnmapNotify:
    case ReparentNotify: return True;
    default: return False;
  }
}

}  // namespace

bool DisplayAvailable() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  XCloseDisplay(d);
  return true;
}

FltkBackend::FltkBackend() : FltkBackend(Options{}) {}

FltkBackend::FltkBackend(Options options)
    : options_(std::move(options)), throttle_(options_.poll_interval_ms), start_ms_(SteadyMs()) {
  if (options_.machine.empty()) options_.machine = MachineFolder();
  // Every face the widgets use is the CJK font: labels, boxes, lists, dialogs.
  Fl::set_font(fltk::kFont, " WenQuanYi Micro Hei");
  Fl::set_font(fltk::kBoldFont, "BWenQuanYi Micro Hei");
  FL_NORMAL_SIZE = fltk::kFontSize;
  Fl::background(212, 208, 200);
  Fl::visible_focus(1);
  g_backend = this;
  Fl::event_dispatch(Dispatch);
  SetWaitHook(&FltkBackend::PaintWhileWaiting);
}

FltkBackend::~FltkBackend() {
  SetWaitHook(nullptr);
  Fl::event_dispatch(nullptr);
  if (g_backend == this) g_backend = nullptr;
  for (auto& [form, window] : windows_) window->hide();
  windows_.clear();
  Fl::check();
}

void FltkBackend::FormShown(Form& form) {
  auto& window = windows_[&form];
  if (!window) window = std::make_unique<FormWindow>(*this, form);
  window->Sync();
  if (!window->placed) {
    window->placed = true;
    if (form.Left() == 0 && form.Top() == 0) {
      fltk::CentreOn(*window, nullptr);
    } else {
      window->position(fltk::TwipsToPixels(form.Left()), fltk::TwipsToPixels(form.Top()));
    }
  }
  window->show();
  // The focus is given once the window exists.
  dirty_.insert(&form);
  throttle_.Force();
}

void FltkBackend::FormHidden(Form& form) {
  dirty_.erase(&form);
  if (auto it = windows_.find(&form); it != windows_.end()) {
    if (keyboard_ == it->second.get()) keyboard_ = nullptr;
    it->second->hide();
  }
}

void FltkBackend::FormChanged(Form& form) {
  if (form.Visible()) dirty_.insert(&form);
}

void FltkBackend::FocusChanged(Form& form, Control*) { FormChanged(form); }

Fl_Window* FltkBackend::OwnerWindow(const std::string& form_name) const {
  for (const auto& [form, window] : windows_) {
    if (form->Name() == form_name && window->shown()) return window.get();
  }
  return nullptr;
}

std::optional<double> FltkBackend::ModalIdle(Application& app) {
  if (app.Ended()) return std::nullopt;
  const double wait = RunTimers(app, 0.05);
  if (app.Ended()) return std::nullopt;
  return wait;
}

double FltkBackend::RunTimers(Application& app, double longest) {
  if (auto due = app.NextTimerDue(); due && NowMs() >= *due) app.FireDueTimers();
  SyncDirty();
  auto due = app.NextTimerDue();
  if (!due) return longest;
  return std::clamp(static_cast<double>(*due - NowMs()) / 1000.0, 0.0, longest);
}

MsgResult FltkBackend::ShowMessage(Application& app, const MessageRequest& request) {
  Flush();
  const std::string& title = request.title.empty() ? options_.app_title : request.title;
  const MsgResult answer = fltk::RunMessageBox(request, title, OwnerWindow(request.owner),
                                               [this, &app] { return ModalIdle(app); });
  ModalClosed(app);
  return answer;
}

void FltkBackend::ModalClosed(Application& app) {
  keyboard_ = nullptr;
  if (Form* active = app.ActiveForm()) FormChanged(*active);
  throttle_.Force();
}

namespace {

// The machine the dialogs show; nothing when the folder holds none.
std::unique_ptr<Machine> OpenMachine(const std::filesystem::path& folder) {
  if (!Machine::Exists(folder)) return nullptr;
  try {
    return std::make_unique<Machine>(folder);
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

std::optional<std::string> FltkBackend::BrowseForFolder(Application& app, const FolderRequest& request) {
  Flush();
  const auto machine = OpenMachine(options_.machine);
  auto answer = fltk::RunFolderDialog(request, machine.get(), OwnerWindow(request.owner),
                                      [this, &app] { return ModalIdle(app); });
  ModalClosed(app);
  return answer;
}

std::optional<std::string> FltkBackend::OpenFile(Application& app, const FileRequest& request) {
  Flush();
  const auto machine = OpenMachine(options_.machine);
  auto answer = fltk::RunFileDialog(request, machine.get(), OwnerWindow(request.owner),
                                    [this, &app] { return ModalIdle(app); });
  ModalClosed(app);
  return answer;
}

std::int64_t FltkBackend::NowMs() { return SteadyMs() - start_ms_; }

void FltkBackend::PumpInput(Application& app) {
  if (throttle_.Due(NowMs())) {
    Poll(app);
  } else if (!input_.empty()) {
    DeliverInput();
  }
}

void FltkBackend::Poll(Application&) {
  SyncDirty();
  Fl::check();
  ++polls_;
  DeliverInput();
}

void FltkBackend::Post(std::function<void()> input) { input_.push_back(std::move(input)); }

void FltkBackend::DeliverInput() {
  if (input_.empty()) return;
  // Only what was waiting now; input that these handlers cause waits for
  // the next round.
  for (std::size_t n = input_.size(); n > 0 && !input_.empty(); --n) {
    auto input = std::move(input_.front());
    input_.pop_front();
    input();
  }
  // The widgets may have changed on their own (an option button clicked
  // off): the forms say again what they show.
  for (auto& [form, window] : windows_) {
    if (window->shown()) dirty_.insert(const_cast<Form*>(form));
  }
  throttle_.Force();
}

void FltkBackend::SyncDirty() {
  if (dirty_.empty()) return;
  auto dirty = std::move(dirty_);
  dirty_.clear();
  for (Form* form : dirty) {
    if (auto it = windows_.find(form); it != windows_.end() && form->Visible()) it->second->Sync();
  }
}

void FltkBackend::PaintWhileWaiting(std::uint32_t ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  if (!g_backend || !fl_display) {
    std::this_thread::sleep_until(end);
    return;
  }
  // What the forms hold now is what a repaint shows.
  g_backend->SyncDirty();
  for (;;) {
    // Input waits in the display's queue, in order, for the loop's next turn
    // after the wait, as Windows keeps what was typed during a Sleep.
    XEventsQueued(fl_display, QueuedAfterReading);
    XEvent event;
    while (XCheckIfEvent(fl_display, &event, IsPaintEvent, nullptr)) fl_handle(event);
    Fl::flush();
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0) return;
    pollfd display{ConnectionNumber(fl_display), POLLIN, 0};
    ::poll(&display, 1, static_cast<int>(left));
  }
}

void FltkBackend::ProgramEnded() {
  input_.clear();
  dirty_.clear();
  Fl::check();
}

void FltkBackend::RunUntilEnd(Application& app) {
  while (!app.Ended()) {
    SyncDirty();
    if (app.VisibleForms().empty() && input_.empty()) break;
    Fl::wait(input_.empty() ? RunTimers(app, 0.1) : 0.0);
    ++polls_;
    DeliverInput();
  }
}

void FltkBackend::Flush() {
  SyncDirty();
  for (auto& [form, window] : windows_) {
    if (window->shown()) window->wait_for_expose();
  }
  Fl::flush();
  if (fl_display) XSync(fl_display, False);
}

Fl_Window* FltkBackend::WindowOf(const Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second.get();
}

Fl_Widget* FltkBackend::WidgetOf(const Control& control) const {
  auto it = windows_.find(&control.Owner());
  return it == windows_.end() ? nullptr : it->second->WidgetOf(&control);
}

std::vector<std::string> FltkBackend::ShownLines(const Control& control) const {
  if (control.Kind() == ControlKind::Label)
    return fltk::LayOutLabel(static_cast<const Label&>(control)).text.lines;
  if (auto* area = dynamic_cast<fltk::TextArea*>(WidgetOf(control))) return area->Lines();
  return {};
}

std::optional<fltk::RgbImage> FltkBackend::Capture(Fl_Window& window) {
  if (!window.shown()) return std::nullopt;
  window.wait_for_expose();
  Fl::flush();
  if (fl_display) XSync(fl_display, False);
  window.make_current();
  fltk::RgbImage image;
  image.width = window.w();
  image.height = window.h();
  image.rgb.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
  if (!fl_read_image(image.rgb.data(), 0, 0, image.width, image.height)) return std::nullopt;
  return image;
}

std::optional<fltk::RgbImage> FltkBackend::Capture(const Form& form) {
  Flush();
  Fl_Window* w = WindowOf(form);
  return w ? Capture(*w) : std::nullopt;
}

}  // namespace quorvale::ui
