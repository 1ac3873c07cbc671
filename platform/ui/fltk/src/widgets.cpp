#include "widgets.h"

#include <algorithm>
#include <cstdlib>

#include "fl.h"
#include "quorvale/core/text.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/label_text.h"

namespace quorvale::ui::fltk {

namespace {
constexpr Color kSystemColor = 0x80000000;
// The edges of raised things, as Windows 2000 colours them.
const Fl_Color kEdgeShadow = fl_rgb_color(128, 128, 128);
const Fl_Color kEdgeDarkShadow = fl_rgb_color(64, 64, 64);
}  // namespace

bool IsButtonFace(Color c) { return c == kColorButtonFace; }

Fl_Color ToFlColor(Color c) {
  if (c & kSystemColor) {
    switch (c & 0xFF) {
      case 0x05: return FL_WHITE;                     // window
      case 0x0F: return fl_rgb_color(212, 208, 200);  // button face
      case 0x10: return fl_rgb_color(128, 128, 128);  // button shadow
      case 0x14: return FL_WHITE;                     // button highlight
      default: return FL_BLACK;                       // window text, button text and the rest
    }
  }
  return fl_rgb_color(static_cast<uchar>(c & 0xFF), static_cast<uchar>((c >> 8) & 0xFF),
                      static_cast<uchar>((c >> 16) & 0xFF));
}

void LabelWidget::SetCaption(const std::string& caption, bool mnemonics) {
  if (caption == caption_ && mnemonics == mnemonics_) return;
  caption_ = caption;
  mnemonics_ = mnemonics;
  redraw();
}

void LabelWidget::draw() {
  if (box() != FL_NO_BOX) draw_box();
  const TextLayout layout = LayOutText(caption_, w(), labelfont() == kBoldFont, mnemonics_);
  fl_push_clip(x(), y(), w(), h());
  fl_font(labelfont(), labelsize());
  fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
  const int baseline = layout.line_height - fl_descent();
  for (std::size_t i = 0; i < layout.lines.size(); ++i) {
    const std::string& line = layout.lines[i];
    const int top = y() + static_cast<int>(i) * layout.line_height;
    fl_draw(line.data(), static_cast<int>(line.size()), x(), top + baseline);
    if (i == layout.key_line) {
      const int from = x() + static_cast<int>(fl_width(line.data(), static_cast<int>(layout.key_offset)));
      const int key_w = static_cast<int>(fl_width(line.data() + layout.key_offset, 1));
      fl_xyline(from, top + baseline + 1, from + key_w - 1);
    }
  }
  fl_pop_clip();
}

void FrameBox::draw() {
  fl_font(labelfont(), labelsize());
  const int text_h = fl_height();
  const int top = y() + (label() && *label() ? text_h / 2 : 0);
  fl_draw_box(FL_ENGRAVED_FRAME, x(), top, w(), std::max(2, h() - (top - y())), color());
  if (label() && *label()) {
    int tw = 0, th = 0;
    fl_measure(label(), tw, th);
    fl_color(parent() ? parent()->color() : color());
    fl_rectf(x() + 6, y(), tw + 4, text_h);
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_draw(label(), x() + 8, y(), tw, text_h, FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  }
}

void LineWidget::SetPoints(int x1, int y1, int x2, int y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  resize(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
}

void LineWidget::draw() {
  fl_color(color());
  fl_line(x1_, y1_, x2_, y2_);
}

void PictureBox::draw() {
  if (h() > w()) {
    // The side panel of the first and last pages.
    fl_color(fl_rgb_color(0, 51, 153));
    fl_rectf(x(), y(), w(), h());
    fl_color(fl_rgb_color(0, 102, 204));
    for (int i = 0; i < h(); i += 24) fl_rectf(x(), y() + i, w(), 12);
    fl_color(FL_WHITE);
    fl_font(kBoldFont, 20);
    fl_draw("Quorvale", x(), y() + 20, w(), 40, FL_ALIGN_CENTER);
  } else {
    fl_color(FL_WHITE);
    fl_rectf(x(), y(), w(), h());
  }
}

int ListWidget::handle(int event) {
  const int key = Fl::event_key();
  if (event == FL_KEYBOARD && (key == FL_Up || key == FL_Down) && value() == 0 && size() > 0 &&
      !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META))) {
    select(1);
    topline(1);
    do_callback();
    return 1;
  }
  // Enter on the selected line tells its owner (FLTK tells nothing when the
  // line was selected already).
  if (event == FL_KEYBOARD && (key == FL_Enter || key == FL_KP_Enter) && value() > 0) {
    do_callback();
    return 1;
  }
  return Fl_Hold_Browser::handle(event);
}

void ListWidget::ShowLastLine() {
  if (size() == 0) return;
  bottomline(size());
  last_line_asked_ = true;
}

bool ListWidget::LastLineShown() const {
  int x = 0, y = 0, w = 0, h = 0;
  bbox(x, y, w, h);
  return size() == 0 || full_height() - position() <= h;
}

void ListWidget::draw() {
  Fl_Hold_Browser::draw();
  if (!last_line_asked_) return;
  last_line_asked_ = false;
  // A scroll bar that came with this drawing hides the last line.
  if (LastLineShown()) return;
  bottomline(size());
  clear_damage(FL_DAMAGE_ALL);
  Fl_Hold_Browser::draw();
}

bool PushButton::Framed() const { return default_follows_focus ? Fl::focus() == this : is_default; }

void PushButton::draw() {
  int x0 = x(), y0 = y(), w0 = w(), h0 = h();
  const bool pressed = value() != 0;
  // A pressed button has the focus, and Enter would press it.
  if (Framed() || pressed) {
    fl_color(FL_BLACK);
    fl_rect(x0, y0, w0, h0);
    ++x0, ++y0, w0 -= 2, h0 -= 2;
  }
  fl_color(color());
  fl_rectf(x0, y0, w0, h0);
  const int right = x0 + w0 - 1, bottom = y0 + h0 - 1;
  if (pressed) {
    fl_color(kEdgeShadow);
    fl_rect(x0, y0, w0, h0);
  } else {
    fl_color(FL_WHITE);
    fl_xyline(x0, y0, right - 1);
    fl_yxline(x0, y0, bottom - 1);
    fl_color(kEdgeDarkShadow);
    fl_xyline(x0, bottom, right);
    fl_yxline(right, y0, bottom);
    fl_color(kEdgeShadow);
    fl_xyline(x0 + 1, bottom - 1, right - 1);
    fl_yxline(right - 1, y0 + 1, bottom - 1);
  }
  const int shift = pressed ? 1 : 0;
  draw_label(x0 + shift, y0 + shift, w0, h0);
  if (Fl::focus() == this && Fl::visible_focus()) draw_focus(FL_UP_BOX, x0, y0, w0, h0);
}

std::optional<CaretLine> CaretOf(const Fl_Input_& box, int xscroll) {
  if (Fl::focus() != &box || box.position() != box.mark()) return std::nullopt;
  // The text area inside the border, where FLTK starts the text one pixel in
  // and centres its line.
  const Fl_Boxtype b = box.box();
  const int left = box.x() + Fl::box_dx(b), top = box.y() + Fl::box_dy(b), h = box.h() - Fl::box_dh(b);
  fl_font(box.textfont(), box.textsize());
  const int line = fl_height();
  const double before = fl_width(box.value(), box.position());
  const int x = static_cast<int>(left - xscroll + 1 + before + 0.5);
  const int y = top + (h - line) / 2;
  return CaretLine{x, y, y + line - 1};
}

void DrawWithThinCaret(Fl_Input_& box, int xscroll, const std::function<void()>& draw_box_and_text) {
  // Drawn with the focus first: FLTK scrolls the text so that the caret
  // stays in view.
  draw_box_and_text();
  const auto caret = CaretOf(box, xscroll);
  if (!caret) return;
  // Without a selection the box shows the same with the focus or without,
  // but for FLTK's caret: draw it whole again without the focus.
  const uchar damage = box.damage();
  box.clear_damage(FL_DAMAGE_ALL);
  Fl::focus_ = nullptr;
  draw_box_and_text();
  Fl::focus_ = &box;
  box.clear_damage(damage);
  const Fl_Boxtype b = box.box();
  fl_push_clip(box.x() + Fl::box_dx(b), box.y() + Fl::box_dy(b), box.w() - Fl::box_dw(b),
               box.h() - Fl::box_dh(b));
  fl_color(box.textcolor());
  fl_yxline(caret->x, caret->top, caret->bottom);
  fl_pop_clip();
}

void PasswordInput::SetText(const std::string& text, const std::string& mask) {
  if (text == text_ && mask == mask_) return;
  text_ = text;
  mask_ = mask.empty() ? "*" : mask;
  Show();
}

void PasswordInput::Show() {
  std::string shown;
  for (std::size_t i = CharCount(text_); i > 0; --i) shown += mask_;
  value(shown.c_str());
  position(size());
}

int PasswordInput::handle(int event) {
  if (event == FL_PASTE) {
    text_ += Fl::event_text();
    Show();
    do_callback();
    return 1;
  }
  if (event != FL_KEYBOARD || readonly()) return Fl_Input::handle(event);
  const int key = Fl::event_key();
  if (key == FL_BackSpace) {
    if (!text_.empty()) {
      text_ = FirstChars(text_, CharCount(text_) - 1);
      Show();
      do_callback();
    }
    return 1;
  }
  if (key == FL_Delete) return 1;
  if (Fl::event_length() > 0 && !(Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) &&
      static_cast<unsigned char>(Fl::event_text()[0]) >= 0x20) {
    text_ += Fl::event_text();
    Show();
    do_callback();
    return 1;
  }
  if ((Fl::event_state() & FL_CTRL) && key == 'v') return Fl_Input::handle(event);  // pastes through FL_PASTE
  return Fl_Input::handle(event);
}

}  // namespace quorvale::ui::fltk
