#include "text_area.h"

#include <algorithm>

#include "quorvale/ui/fltk/label_text.h"
#include "quorvale/ui/fltk/line_layout.h"
#include "widgets.h"

namespace quorvale::ui::fltk {

namespace {

constexpr int kMarginX = 2, kMarginY = 1;
const Fl_Color kHighlight = fl_rgb_color(10, 36, 106);

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t NextChar(const std::string& s, std::size_t i) {
  if (i >= s.size()) return s.size();
  for (++i; i < s.size() && Continuation(s[i]);) ++i;
  return i;
}

std::size_t PrevChar(const std::string& s, std::size_t i) {
  if (i == 0) return 0;
  for (--i; i > 0 && Continuation(s[i]);) --i;
  return i;
}

}  // namespace

TextArea::TextArea(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
  scroll_ = new Fl_Scrollbar(x, y, 1, 1);
  scroll_->clear_visible_focus();
  scroll_->callback(OnScroll, this);
  scroll_->hide();
  end();
  color(FL_WHITE);
  set_visible_focus();
}

void TextArea::OnScroll(Fl_Widget*, void* area) {
  auto* self = static_cast<TextArea*>(area);
  self->top_ = self->scroll_->value();
  self->redraw();
}

std::string TextArea::Text() const { return WindowsLineEnds(text_); }

void TextArea::SetText(const std::string& text) {
  if (text == form_text_) return;
  form_text_ = text;
  text_ = UnixLineEnds(text);
  caret_ = anchor_ = 0;
  top_ = 0;
  laid_out_ = false;
  redraw();
}

std::string TextArea::TakeTyped() {
  form_text_ = Text();
  return form_text_;
}

std::vector<std::string> TextArea::Lines() {
  LayOut();
  std::vector<std::string> out;
  for (const Row& r : rows_) out.push_back(text_.substr(r.begin, r.end - r.begin));
  return out;
}

TextArea::Box TextArea::TextBox(bool with_scroll_bar) const {
  const int dx = Fl::box_dx(FL_DOWN_BOX), dy = Fl::box_dy(FL_DOWN_BOX);
  const int bar = with_scroll_bar ? Fl::scrollbar_size() : 0;
  return {x() + dx + kMarginX, y() + dy + kMarginY, std::max(1, w() - 2 * dx - 2 * kMarginX - bar),
          std::max(1, h() - 2 * dy - 2 * kMarginY)};
}

int TextArea::WholeRows() const { return std::max(1, TextBox(scrolls_).h / line_h_); }

void TextArea::LayOut() {
  if (laid_out_) return;
  laid_out_ = true;
  fl_open_display();
  fl_font(kFont, kFontSize);
  line_h_ = fl_height();
  const auto measure = [](std::string_view run) {
    return fl_width(run.data(), static_cast<int>(run.size()));
  };
  const auto lay_out = [&](bool with_scroll_bar) {
    rows_.clear();
    for (std::string_view line : LayoutLines(text_, TextBox(with_scroll_bar).w, measure)) {
      const auto begin = static_cast<std::size_t>(line.data() - text_.data());
      rows_.push_back({begin, begin + line.size()});
    }
  };
  // The scroll bar comes when the lines do not fit, and takes its width
  // from theirs.
  scrolls_ = false;
  lay_out(false);
  if (static_cast<int>(rows_.size()) > WholeRows()) {
    scrolls_ = true;
    lay_out(true);
  }
  const int dx = Fl::box_dx(FL_DOWN_BOX), dy = Fl::box_dy(FL_DOWN_BOX), bar = Fl::scrollbar_size();
  scroll_->resize(x() + w() - dx - bar, y() + dy, bar, h() - 2 * dy);
  if (scrolls_) {
    scroll_->show();
  } else {
    scroll_->hide();
  }
  ScrollTo(top_);
}

void TextArea::ScrollTo(int top) {
  const int rows = static_cast<int>(rows_.size()), whole = WholeRows();
  top_ = std::clamp(top, 0, std::max(0, rows - whole));
  scroll_->value(top_, whole, 0, rows);
  scroll_->linesize(1);
}

void TextArea::resize(int x, int y, int w, int h) {
  Fl_Widget::resize(x, y, w, h);
  laid_out_ = false;
}

std::size_t TextArea::RowOf(std::size_t pos) const {
  const auto after = std::upper_bound(rows_.begin(), rows_.end(), pos,
                                      [](std::size_t p, const Row& r) { return p < r.begin; });
  return after == rows_.begin() ? 0 : static_cast<std::size_t>(after - rows_.begin()) - 1;
}

int TextArea::Measure(std::size_t from, std::size_t to) const {
  fl_font(kFont, kFontSize);
  return static_cast<int>(fl_width(text_.data() + from, static_cast<int>(to - from)) + 0.5);
}

std::size_t TextArea::PosInRow(std::size_t row, int x) const {
  const Row& r = rows_[row];
  std::size_t best = r.begin;
  for (std::size_t p = r.begin; p < r.end;) {
    const std::size_t next = NextChar(text_, p);
    // Past the middle of a character: after it.
    if (x < (Measure(r.begin, p) + Measure(r.begin, next)) / 2) break;
    best = next;
    p = next;
  }
  return best;
}

std::size_t TextArea::PosAt(int mx, int my) {
  LayOut();
  if (rows_.empty()) return 0;
  const Box t = TextBox(scrolls_);
  const int offset = my < t.y ? -1 - (t.y - my) / line_h_ : (my - t.y) / line_h_;
  const auto row = static_cast<std::size_t>(std::clamp(top_ + offset, 0, static_cast<int>(rows_.size()) - 1));
  return PosInRow(row, mx - t.x);
}

void TextArea::ShowCaret() {
  LayOut();
  const int row = static_cast<int>(RowOf(caret_)), whole = WholeRows();
  if (row < top_) ScrollTo(row);
  if (row >= top_ + whole) ScrollTo(row - whole + 1);
  redraw();
}

void TextArea::MoveCaret(std::size_t pos, bool extend) {
  caret_ = std::min(pos, text_.size());
  if (!extend) anchor_ = caret_;
  ShowCaret();
}

void TextArea::Replace(const std::string& text) {
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  const std::string typed = UnixLineEnds(text);
  text_.replace(from, to - from, typed);
  caret_ = anchor_ = from + typed.size();
  laid_out_ = false;
  ShowCaret();
  do_callback();
}

void TextArea::CopySelection() const {
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  if (to > from) Fl::copy(text_.data() + from, static_cast<int>(to - from), 1);
}

bool TextArea::HandleKey() {
  LayOut();
  const int key = Fl::event_key();
  const int state = Fl::event_state();
  const bool shift = (state & FL_SHIFT) != 0, ctrl = (state & FL_CTRL) != 0;
  const std::size_t row = RowOf(caret_);
  const auto last_row = rows_.empty() ? std::size_t{0} : rows_.size() - 1;
  const auto to_row = [&](long r) {
    if (rows_.empty()) return std::size_t{0};
    if (goal_x_ < 0) goal_x_ = Measure(rows_[row].begin, std::min(caret_, rows_[row].end));
    return PosInRow(static_cast<std::size_t>(std::clamp<long>(r, 0, static_cast<long>(last_row))), goal_x_);
  };
  const int keep_goal = goal_x_;
  goal_x_ = -1;
  switch (key) {
    case FL_Left:
      MoveCaret(!shift && caret_ != anchor_ ? std::min(caret_, anchor_) : PrevChar(text_, caret_), shift);
      return true;
    case FL_Right:
      MoveCaret(!shift && caret_ != anchor_ ? std::max(caret_, anchor_) : NextChar(text_, caret_), shift);
      return true;
    case FL_Up:
    case FL_Down:
    case FL_Page_Up:
    case FL_Page_Down: {
      goal_x_ = keep_goal;
      const long step = key == FL_Up        ? -1
                        : key == FL_Down    ? 1
                        : key == FL_Page_Up ? -WholeRows()
                                            : WholeRows();
      MoveCaret(to_row(static_cast<long>(row) + step), shift);
      return true;
    }
    case FL_Home: MoveCaret(ctrl || rows_.empty() ? 0 : rows_[row].begin, shift); return true;
    case FL_End: MoveCaret(ctrl || rows_.empty() ? text_.size() : rows_[row].end, shift); return true;
    default: break;
  }
  if (ctrl && (key == 'a' || key == 'c' || key == FL_Insert)) {
    if (key == 'a') {
      anchor_ = 0;
      MoveCaret(text_.size(), true);
    } else {
      CopySelection();
    }
    return true;
  }
  if (locked) return false;
  if (ctrl && key == 'x') {
    CopySelection();
    Replace("");
    return true;
  }
  if (ctrl && key == 'v') {
    Fl::paste(*this, 1);
    return true;
  }
  if (key == FL_BackSpace || key == FL_Delete) {
    if (caret_ == anchor_) anchor_ = key == FL_BackSpace ? PrevChar(text_, caret_) : NextChar(text_, caret_);
    Replace("");
    return true;
  }
  if (key == FL_Enter || key == FL_KP_Enter) {
    Replace("\n");
    return true;
  }
  const char* typed = Fl::event_text();
  if (Fl::event_length() > 0 && !(state & (FL_CTRL | FL_ALT | FL_META)) &&
      static_cast<unsigned char>(typed[0]) >= 0x20 && typed[0] != 0x7F) {
    Replace(std::string(typed, static_cast<std::size_t>(Fl::event_length())));
    return true;
  }
  return false;
}

int TextArea::handle(int event) {
  switch (event) {
    case FL_FOCUS:
    case FL_UNFOCUS: redraw(); return 1;
    case FL_PUSH:
      if (scroll_->visible() && Fl::event_inside(scroll_)) return Fl_Group::handle(event);
      if (Fl::focus() != this) take_focus();
      MoveCaret(PosAt(Fl::event_x(), Fl::event_y()), (Fl::event_state() & FL_SHIFT) != 0);
      return 1;
    case FL_DRAG: MoveCaret(PosAt(Fl::event_x(), Fl::event_y()), true); return 1;
    case FL_RELEASE: return 1;
    case FL_MOUSEWHEEL:
      LayOut();
      ScrollTo(top_ + 3 * Fl::event_dy());
      redraw();
      return 1;
    case FL_KEYBOARD: return HandleKey() ? 1 : 0;
    case FL_PASTE:
      if (locked) return 0;
      Replace(std::string(Fl::event_text(), static_cast<std::size_t>(Fl::event_length())));
      return 1;
    default: return Fl_Group::handle(event);
  }
}

void TextArea::draw() {
  LayOut();
  draw_box(FL_DOWN_BOX, active_r() ? color() : fl_inactive(color()));
  const Box t = TextBox(scrolls_);
  fl_push_clip(t.x - kMarginX, t.y - kMarginY, t.w + 2 * kMarginX, t.h + 2 * kMarginY);
  fl_font(kFont, kFontSize);
  const Fl_Color ink = active_r() ? FL_BLACK : fl_inactive(FL_BLACK);
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  const int baseline = line_h_ - fl_descent();
  for (auto i = static_cast<std::size_t>(top_); i < rows_.size(); ++i) {
    const int top = t.y + (static_cast<int>(i) - top_) * line_h_;
    if (top >= t.y + t.h + kMarginY) break;
    const Row& r = rows_[i];
    // The selected part of the line, white on the highlight.
    const std::size_t a = std::clamp(from, r.begin, r.end), b = std::clamp(to, r.begin, r.end);
    const int xa = t.x + Measure(r.begin, a), xb = t.x + Measure(r.begin, b);
    fl_color(ink);
    fl_draw(text_.data() + r.begin, static_cast<int>(a - r.begin), t.x, top + baseline);
    if (b > a) {
      fl_color(kHighlight);
      fl_rectf(xa, top, xb - xa, line_h_);
      fl_color(FL_WHITE);
      fl_draw(text_.data() + a, static_cast<int>(b - a), xa, top + baseline);
      fl_color(ink);
    }
    fl_draw(text_.data() + b, static_cast<int>(r.end - b), xb, top + baseline);
  }
  if (Fl::focus() == this && from == to && !rows_.empty()) {
    const std::size_t row = RowOf(caret_);
    const int top = t.y + (static_cast<int>(row) - top_) * line_h_;
    fl_color(FL_BLACK);
    fl_yxline(t.x + Measure(rows_[row].begin, std::min(caret_, rows_[row].end)), top, top + line_h_ - 1);
  }
  fl_pop_clip();
  if (scroll_->visible()) draw_child(*scroll_);
}

}  // namespace quorvale::ui::fltk
