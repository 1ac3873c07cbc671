#include "form_window.h"

#include <cstring>

#include "fl.h"
#include "quorvale/core/text.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/label_text.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"
#include "text_area.h"
#include "widgets.h"

namespace quorvale::ui::fltk {

namespace {

void SetLabel(Fl_Widget* w, const std::string& text) {
  if (!w->label() || text != w->label()) w->copy_label(text.c_str());
}

void SetTooltip(Fl_Widget* w, const std::string& text) {
  const char* now = w->tooltip() ? w->tooltip() : "";
  if (text != now) w->copy_tooltip(text.empty() ? nullptr : text.c_str());
}

// The control and its frames all say so.
bool ChainVisible(const Control& c) {
  for (const Control* p = &c; p; p = p->Container()) {
    if (!p->Visible()) return false;
  }
  return true;
}
bool ChainEnabled(const Control& c) {
  for (const Control* p = &c; p; p = p->Container()) {
    if (!p->Enabled()) return false;
  }
  return true;
}

Fl_Widget* MakeWidget(Control& c) {
  switch (c.Kind()) {
    case ControlKind::Label: {
      return new LabelWidget(0, 0, 1, 1);
    }
    case ControlKind::TextBox: {
      auto& box = static_cast<TextBox&>(c);
      Fl_Widget* w;
      if (box.MultiLine()) {
        w = new TextArea(0, 0, 1, 1);
      } else {
        Fl_Input* in = box.PasswordChar().empty() ? static_cast<Fl_Input*>(new EditBox(0, 0, 1, 1))
                                                  : new PasswordInput(0, 0, 1, 1);
        in->textfont(kFont);
        in->textsize(kFontSize);
        w = in;
      }
      w->when(FL_WHEN_CHANGED);
      return w;
    }
    case ControlKind::CheckBox: return new Fl_Check_Button(0, 0, 1, 1);
    case ControlKind::OptionButton: return new Fl_Round_Button(0, 0, 1, 1);
    case ControlKind::ListBox: {
      auto* b = new ListWidget(0, 0, 1, 1);
      b->format_char(0);
      b->textfont(kFont);
      b->textsize(kFontSize);
      b->color(FL_WHITE);
      return b;
    }
    case ControlKind::CommandButton: return new PushButton(0, 0, 1, 1);
    case ControlKind::Frame: return new FrameBox(0, 0, 1, 1);
    case ControlKind::Line: return new LineWidget();
    case ControlKind::Image: return new PictureBox(0, 0, 1, 1);
    case ControlKind::Timer: return nullptr;
  }
  return nullptr;
}

// A small icon told apart by its picture's name: a coloured tile with a
// white border and a darker centre.
std::vector<uchar> IconPixels(const Picture& p) {
  unsigned hash = 2166136261u;
  for (unsigned char ch : p.name) hash = (hash ^ ch) * 16777619u;
  const uchar r = static_cast<uchar>(40 + hash % 160), g = static_cast<uchar>(40 + (hash >> 8) % 160),
              b = static_cast<uchar>(120 + (hash >> 16) % 120);
  std::vector<uchar> px(32 * 32 * 3);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      uchar* q = &px[static_cast<std::size_t>((y * 32 + x) * 3)];
      const bool border = x < 2 || y < 2 || x > 29 || y > 29;
      const bool centre = x > 9 && x < 22 && y > 9 && y < 22;
      q[0] = border ? 255 : centre ? r / 2 : r;
      q[1] = border ? 255 : centre ? g / 2 : g;
      q[2] = border ? 255 : centre ? b / 2 : b;
    }
  }
  return px;
}

}  // namespace

FormWindow::FormWindow(FltkBackend& backend, Form& form)
    : FixedWindow(1, 1, Kind::Page), backend_(backend), form_(form) {
  end();
  color(ToFlColor(kColorButtonFace));
  callback(CloseCallback, this);
  Build();
  static_assert(sizeof(uchar) == 1);
  const auto pixels = IconPixels(form.Icon());
  Fl_RGB_Image icon(pixels.data(), 32, 32, 3);
  this->icon(&icon);  // the window keeps a copy
}

FormWindow::~FormWindow() = default;

void FormWindow::Build() {
  begin();
  // Pictures are the bottom layer: the page's labels stand on its banner.
  for (int pass = 0; pass < 2; ++pass) {
    for (Control* c : form_.Controls()) {
      if ((c->Kind() == ControlKind::Image) != (pass == 0)) continue;
      Fl_Widget* w = MakeWidget(*c);
      if (!w) continue;
      w->labelfont(kFont);
      w->labelsize(kFontSize);
      w->callback(WidgetCallback, c);
      items_.push_back({c, w});
    }
  }
  end();
}

Fl_Widget* FormWindow::WidgetOf(const Control* control) const {
  for (const Item& i : items_) {
    if (i.control == control) return i.widget;
  }
  return nullptr;
}

Control* FormWindow::ControlOf(const Fl_Widget* widget) const {
  for (const Item& i : items_) {
    if (i.widget == widget) return i.control;
  }
  return nullptr;
}

void FormWindow::Place(const Item& item) {
  const Control& c = *item.control;
  if (c.Kind() == ControlKind::Line) {
    const auto& l = static_cast<const Line&>(c);
    const TwipsOffset o = FrameOffset(c);
    static_cast<LineWidget*>(item.widget)
        ->SetPoints(TwipsToPixels(o.left + l.X1()), TwipsToPixels(o.top + l.Y1()),
                    TwipsToPixels(o.left + l.X2()), TwipsToPixels(o.top + l.Y2()));
    return;
  }
  const PixelRect r = ControlPixels(c);
  if (r.x != item.widget->x() || r.y != item.widget->y() || r.w != item.widget->w() ||
      r.h != item.widget->h()) {
    item.widget->resize(r.x, r.y, r.w, r.h);
  }
}

void FormWindow::SyncItem(const Item& item) {
  Control& c = *item.control;
  Fl_Widget* w = item.widget;
  Place(item);
  if (ChainVisible(c)) {
    if (!w->visible()) w->show();
  } else if (w->visible()) {
    w->hide();
  }
  if (ChainEnabled(c)) {
    if (!w->active()) w->activate();
  } else if (w->active()) {
    w->deactivate();
  }
  SetTooltip(w, c.ToolTipText());
  switch (c.Kind()) {
    case ControlKind::Label: {
      auto& l = static_cast<Label&>(c);
      static_cast<LabelWidget*>(w)->SetCaption(l.Caption());
      w->box(IsButtonFace(l.BackColor()) ? FL_NO_BOX : FL_FLAT_BOX);
      w->color(ToFlColor(l.BackColor()));
      w->labelcolor(ToFlColor(l.ForeColor()));
      w->labelfont(l.FontBold() ? kBoldFont : kFont);
      break;
    }
    case ControlKind::TextBox: {
      auto& t = static_cast<TextBox&>(c);
      if (auto* area = dynamic_cast<TextArea*>(w)) {
        area->SetText(t.Text());
        area->locked = t.Locked();
      } else if (auto* secret = dynamic_cast<PasswordInput*>(w)) {
        secret->SetText(t.Text(), t.PasswordChar());
        secret->readonly(t.Locked() ? 1 : 0);
      } else {
        auto* in = static_cast<Fl_Input*>(w);
        if (t.Text() != in->value()) in->value(t.Text().c_str());
        in->readonly(t.Locked() ? 1 : 0);
      }
      break;
    }
    case ControlKind::CheckBox: {
      auto& b = static_cast<CheckBox&>(c);
      SetLabel(w, FltkLabel(b.Caption()));
      // Not while the mouse holds it down: the press already shows the new
      // value, and putting the old one back would make the release a no-op.
      if (Fl::pushed() != w) static_cast<Fl_Button*>(w)->value(b.Value() != CheckBox::kUnchecked);
      break;
    }
    case ControlKind::OptionButton: {
      auto& b = static_cast<OptionButton&>(c);
      SetLabel(w, FltkLabel(b.Caption()));
      if (Fl::pushed() != w) static_cast<Fl_Button*>(w)->value(b.Value());
      break;
    }
    case ControlKind::ListBox: {
      auto& l = static_cast<ListBox&>(c);
      auto* b = static_cast<ListWidget*>(w);
      bool same = b->size() == l.ListCount();
      for (int i = 0; same && i < l.ListCount(); ++i)
        same = l.Items()[static_cast<std::size_t>(i)] == b->text(i + 1);
      if (!same) {
        b->clear();
        for (const auto& item : l.Items()) b->add(item.c_str());
      }
      if (b->value() != l.ListIndex() + 1) b->value(l.ListIndex() + 1);
      // The model counts rows of its own height; keep its last row in view.
      if (l.ListCount() > 0) {
        if (l.TopIndex() + l.VisibleRows() >= l.ListCount()) {
          b->ShowLastLine();
        } else {
          b->topline(l.TopIndex() + 1);
        }
      }
      break;
    }
    case ControlKind::CommandButton: {
      auto& b = static_cast<CommandButton&>(c);
      SetLabel(w, FltkLabel(b.Caption()));
      static_cast<PushButton*>(w)->is_default = &b == input::EnterButton(form_);
      break;
    }
    case ControlKind::Frame: SetLabel(w, FltkLabel(static_cast<Frame&>(c).Caption())); break;
    case ControlKind::Line: w->color(ToFlColor(static_cast<Line&>(c).BorderColor())); break;
    case ControlKind::Image:
    case ControlKind::Timer: break;
  }
}

void FormWindow::Sync() {
  if (!label() || form_.Caption() != label()) copy_label(form_.Caption().c_str());
  const PixelRect outer = BoxToPixels(form_.Left(), form_.Top(), form_.Width(), form_.Height());
  const int cw = std::max(1, outer.w - 2 * kBorderPixels);
  const int ch = std::max(1, outer.h - 2 * kBorderPixels - kCaptionPixels);
  if (cw != w() || ch != h()) size(cw, ch);
  for (const Item& i : items_) SyncItem(i);
  synced_focus_ = nullptr;
  if (form_.App().ActiveForm() == &form_) {
    // The active form's window has the keyboard, as the active window has
    // on Windows.
    if (backend_.keyboard_ != this && shown()) {
      backend_.keyboard_ = this;
      TakeKeyboard();
    }
    synced_focus_ = form_.ActiveControl() ? WidgetOf(form_.ActiveControl()) : nullptr;
    // A message box or dialog open over the forms keeps the keyboard.
    const bool modal_open = Fl::modal() && Fl::modal() != this;
    if (synced_focus_ && shown() && !modal_open && Fl::focus() != synced_focus_) synced_focus_->take_focus();
  }
  redraw();
}

int FormWindow::handle(int event) {
  // An arrow key the focused widget left unused reaches the window, whose
  // group would move the focus to a neighbouring widget behind the form's
  // back. On Windows such a key does nothing.
  if (event == FL_KEYBOARD) {
    const int key = Fl::event_key();
    if (key == FL_Left || key == FL_Up || key == FL_Right || key == FL_Down) return 1;
  }
  return FixedWindow::handle(event);
}

void FormWindow::WidgetCallback(Fl_Widget* w, void* data) {
  auto* c = static_cast<Control*>(data);
  auto* win = static_cast<FormWindow*>(w->window());
  Application& app = c->Owner().App();
  switch (c->Kind()) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: win->backend_.Post([&app, c] { input::Click(app, *c); }); break;
    case ControlKind::TextBox: {
      auto* box = static_cast<TextBox*>(c);
      std::string text;
      if (auto* area = dynamic_cast<TextArea*>(w)) {
        text = area->TakeTyped();
      } else if (auto* secret = dynamic_cast<PasswordInput*>(w)) {
        text = secret->Text();
      } else {
        text = static_cast<Fl_Input*>(w)->value();
      }
      win->backend_.Post([&app, box, text] { input::Type(app, *box, text); });
      break;
    }
    case ControlKind::ListBox: {
      const int line = static_cast<Fl_Hold_Browser*>(w)->value() - 1;
      auto* list = static_cast<ListBox*>(c);
      if (line >= 0) win->backend_.Post([&app, list, line] { input::Select(app, *list, line); });
      break;
    }
    default: break;
  }
}

void FormWindow::CloseCallback(Fl_Widget*, void* data) {
  auto* win = static_cast<FormWindow*>(data);
  // FLTK also closes a window on Esc; Esc belongs to the cancel button.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  Form& form = win->form_;
  win->backend_.Post([&form] { input::Close(form.App(), form); });
}

bool FormWindow::HandleKey(int event) {
  // Shortcuts are the access keys below only: FLTK would also press a
  // button on its letter without Alt.
  if (event == FL_SHORTCUT) return true;
  if (event != FL_KEYBOARD) return false;
  const int key = Fl::event_key();
  const int state = Fl::event_state();
  Application& app = form_.App();
  if (key == FL_Tab && !(state & (FL_CTRL | FL_ALT))) {
    const bool back = (state & FL_SHIFT) != 0;
    backend_.Post([&app, back] { input::PressTab(app, back); });
    return true;
  }
  if (key == FL_Enter || key == FL_KP_Enter) {
    // A multi-line box that can be typed into takes its Enter.
    auto* area = dynamic_cast<TextArea*>(Fl::focus());
    if (area && !area->locked) return false;
    backend_.Post([&app] { input::PressEnter(app); });
    return true;
  }
  if ((key == FL_Left || key == FL_Up || key == FL_Right || key == FL_Down) &&
      !(state & (FL_CTRL | FL_ALT))) {
    // On an option button the arrows move through its group and select;
    // other controls use them themselves or not at all (handle below).
    const Control* focus = ControlOf(Fl::focus());
    if (!focus || focus->Kind() != ControlKind::OptionButton) return false;
    const input::Arrow arrow = key == FL_Left    ? input::Arrow::Left
                               : key == FL_Up    ? input::Arrow::Up
                               : key == FL_Right ? input::Arrow::Right
                                                 : input::Arrow::Down;
    backend_.Post([&app, arrow] { input::PressArrow(app, arrow); });
    return true;
  }
  if (key == FL_Escape) {
    backend_.Post([&app] { input::PressEscape(app); });
    return true;
  }
  if ((state & FL_ALT) && key < 128 && std::isalnum(key)) {
    const char k = UpperChar(static_cast<char>(key));
    backend_.Post([&app, k] { input::PressAccessKey(app, k); });
    return true;
  }
  return false;
}

}  // namespace quorvale::ui::fltk
