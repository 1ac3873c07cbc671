#include <algorithm>
#include <vector>

#include "dialogs.h"
#include "fixed_window.h"
#include "fl.h"
#include "quorvale/core/text.h"
#include "quorvale/ui/caption.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/label_text.h"
#include "widgets.h"

namespace quorvale::ui::fltk {

std::string ButtonText(MsgResult button) {
  switch (button) {
    case MsgResult::OK: return "确定";
    case MsgResult::Cancel: return "取消";
    case MsgResult::Yes: return "是(&Y)";
    case MsgResult::No: return "否(&N)";
    case MsgResult::Retry: return "重试(&R)";
  }
  return "确定";
}

std::optional<MsgResult> EscapeAnswer(MsgButtons buttons) {
  const auto all = ButtonsOf(buttons);
  if (std::find(all.begin(), all.end(), MsgResult::Cancel) != all.end()) return MsgResult::Cancel;
  if (all.size() == 1 && all.front() == MsgResult::OK) return MsgResult::OK;
  return std::nullopt;
}

void CentreOn(Fl_Window& dialog, Fl_Window* owner) {
  int x, y, w, h;
  if (owner && owner->shown()) {
    x = owner->x();
    y = owner->y();
    w = owner->w();
    h = owner->h();
  } else {
    Fl::screen_xywh(x, y, w, h);
  }
  dialog.position(x + (w - dialog.w()) / 2, y + (h - dialog.h()) / 2);
}

namespace {

// The box's icon, drawn: a red disc with a cross, a blue disc with "?" or
// "i", a yellow triangle with "!".
class IconBox : public Fl_Box {
 public:
  IconBox(int x, int y, MsgIcon icon) : Fl_Box(x, y, 32, 32), icon_(icon) {}
  void draw() override {
    const char* mark = "";
    switch (icon_) {
      case MsgIcon::None: return;
      case MsgIcon::Critical:
        fl_color(fl_rgb_color(204, 0, 0));
        fl_pie(x(), y(), 32, 32, 0, 360);
        fl_color(FL_WHITE);
        fl_line_style(FL_SOLID, 4);
        fl_line(x() + 10, y() + 10, x() + 22, y() + 22);
        fl_line(x() + 22, y() + 10, x() + 10, y() + 22);
        fl_line_style(0);
        return;
      case MsgIcon::Question:
      case MsgIcon::Information:
        fl_color(fl_rgb_color(0, 70, 200));
        fl_pie(x(), y(), 32, 32, 0, 360);
        mark = icon_ == MsgIcon::Question ? "?" : "i";
        break;
      case MsgIcon::Exclamation:
        fl_color(fl_rgb_color(250, 200, 0));
        fl_polygon(x() + 16, y(), x() + 32, y() + 30, x(), y() + 30);
        mark = "!";
        break;
    }
    fl_color(icon_ == MsgIcon::Exclamation ? FL_BLACK : FL_WHITE);
    fl_font(kBoldFont, 20);
    fl_draw(mark, x(), y() + 2, 32, 30, FL_ALIGN_CENTER);
  }

 private:
  MsgIcon icon_;
};

struct BoxState {
  std::vector<MsgResult> answers;
  std::vector<Fl_Button*> buttons;
  std::optional<MsgResult> escape;
  std::optional<MsgResult> chosen;
  // The first answer stands: keys, buttons or the close box after it, before
  // the box is gone, change nothing.
  void Choose(MsgResult answer) {
    if (!chosen) chosen = answer;
  }
};

class MessageWindow : public FixedWindow {
 public:
  MessageWindow(int w, int h, BoxState& state) : FixedWindow(w, h, Kind::Dialog), state_(state) {}
  int handle(int event) override {
    if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
      const int key = Fl::event_key();
      if (key == FL_Enter || key == FL_KP_Enter) {
        // The focused button, else the first (the default answer).
        std::size_t i = 0;
        for (std::size_t k = 0; k < state_.buttons.size(); ++k) {
          if (Fl::focus() == state_.buttons[k]) i = k;
        }
        state_.Choose(state_.answers[i]);
        return 1;
      }
      if (key == FL_Escape) {
        if (state_.escape) state_.Choose(*state_.escape);
        return 1;
      }
      if (key < 128 && std::isalpha(key)) {
        const char k = UpperChar(static_cast<char>(key));
        for (std::size_t i = 0; i < state_.answers.size(); ++i) {
          if (AccessKey(ButtonText(state_.answers[i])) == k) {
            state_.Choose(state_.answers[i]);
            return 1;
          }
        }
      }
    }
    return FixedWindow::handle(event);
  }

 private:
  BoxState& state_;
};

}  // namespace

void RunModal(Fl_Window& window, const std::function<bool()>& answered, const ModalIdle& idle) {
  while (!answered() && window.shown()) {
    const std::optional<double> wait = idle();
    if (!wait) return;
    Fl::wait(*wait);
  }
}

MsgResult RunMessageBox(const MessageRequest& request, const std::string& title, Fl_Window* owner,
                        const ModalIdle& idle) {
  BoxState state;
  state.answers = ButtonsOf(request.buttons);
  state.escape = EscapeAnswer(request.buttons);

  // The prompt wraps within 380 pixels; the box is as wide as its longest line.
  const TextLayout layout = LayOutText(request.prompt, 380, false, false);
  double widest = 0;
  for (double line_w : layout.widths) widest = std::max(widest, line_w);
  const int tw = std::max(static_cast<int>(widest) + 1, 60);
  const int th = std::max(layout.Height(), 32);
  const int icon_w = request.icon == MsgIcon::None ? 0 : 32 + 14;
  const int bw = 75, bh = 23, gap = 8;
  const int buttons_w = static_cast<int>(state.answers.size()) * (bw + gap) - gap;
  const int w = std::max(12 + icon_w + tw + 16, buttons_w + 24);
  const int h = 14 + th + 18 + bh + 12;

  MessageWindow win(w, h, state);
  win.copy_label(title.c_str());
  win.color(ToFlColor(kColorButtonFace));
  if (request.icon != MsgIcon::None) new IconBox(12, 14, request.icon);
  auto* prompt = new LabelWidget(12 + icon_w, 14, tw + 4, th);
  prompt->SetCaption(request.prompt, false);
  prompt->labelfont(kFont);
  prompt->labelsize(kFontSize);
  int x = (w - buttons_w) / 2;
  for (std::size_t i = 0; i < state.answers.size(); ++i) {
    auto* b = new PushButton(x, h - 12 - bh, bw, bh);
    b->copy_label(FltkLabel(ButtonText(state.answers[i])).c_str());
    b->labelfont(kFont);
    b->labelsize(kFontSize);
    // Enter presses the focused button: the first at the start.
    b->default_follows_focus = true;
    state.buttons.push_back(b);
    x += bw + gap;
  }
  // Each button answers with its own result.
  for (std::size_t i = 0; i < state.buttons.size(); ++i) {
    state.buttons[i]->callback(
        [](Fl_Widget* b, void* d) {
          auto* s = static_cast<BoxState*>(d);
          for (std::size_t k = 0; k < s->buttons.size(); ++k) {
            if (s->buttons[k] == b) s->Choose(s->answers[k]);
          }
        },
        &state);
  }
  win.end();
  win.callback(
      [](Fl_Widget*, void* d) {
        auto* s = static_cast<BoxState*>(d);
        if (s->escape) s->Choose(*s->escape);
      },
      &state);
  win.set_modal();
  CentreOn(win, owner);
  win.show();
  win.TakeKeyboard();
  state.buttons.front()->take_focus();
  RunModal(
      win, [&] { return state.chosen.has_value(); }, idle);
  win.hide();
  return state.chosen.value_or(state.answers.front());
}

}  // namespace quorvale::ui::fltk
