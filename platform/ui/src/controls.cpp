#include "quorvale/ui/controls.h"

#include <algorithm>

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"
#include "quorvale/ui/application.h"
#include "quorvale/ui/caption.h"
#include "quorvale/ui/form.h"

namespace quorvale::ui {

namespace {

template <class T>
bool Assign(T& field, T value) {
  if (field == value) return false;
  field = std::move(value);
  return true;
}
}  // namespace

void Label::SetCaption(std::string text) {
  if (Assign(caption_, std::move(text))) Changed();
}
void Label::SetBackColor(Color c) {
  if (Assign(back_color_, c)) Changed();
}
void Label::SetForeColor(Color c) {
  if (Assign(fore_color_, c)) Changed();
}
void Label::SetFontBold(bool b) {
  if (Assign(bold_, b)) Changed();
}

void TextBox::SetText(std::string text) {
  if (!Assign(text_, std::move(text))) return;
  Changed();
  if (on_change_) on_change_();
}

void TextBox::SetPasswordChar(std::string c) {
  if (Assign(password_char_, std::move(c))) Changed();
}

std::string TextBox::DisplayText() const {
  if (password_char_.empty()) return text_;
  std::string out;
  for (std::size_t i = CharCount(text_); i > 0; --i) out += password_char_;
  return out;
}

void CheckBox::SetCaption(std::string text) {
  if (Assign(caption_, std::move(text))) Changed();
}

void CheckBox::SetValue(int v) {
  if (v < kUnchecked || v > kGrayed) Raise(Error::kInvalidPropertyValue);
  if (!Assign(value_, v)) return;
  Changed();
  if (on_click_) on_click_();
}

void OptionButton::SetCaption(std::string text) {
  if (Assign(caption_, std::move(text))) Changed();
}

void OptionButton::SetValue(bool v) {
  if (!Assign(value_, v)) return;
  if (v) {
    for (Control* c : Owner().Controls()) {
      if (c != this && c->Kind() == ControlKind::OptionButton && c->Container() == Container()) {
        auto* other = static_cast<OptionButton*>(c);
        if (other->value_) {
          other->value_ = false;
        }
      }
    }
  }
  Changed();
  if (v && on_click_) on_click_();
}

void ListBox::AddItem(std::string text, int index) {
  if (index < 0 || index > ListCount()) {
    if (index > ListCount()) Raise(Error::kInvalidCall);
    index = ListCount();
  }
  items_.insert(items_.begin() + index, std::move(text));
  if (list_index_ >= index) ++list_index_;
  new_index_ = index;
  Changed();
}

void ListBox::RemoveItem(int index) {
  if (index < 0 || index >= ListCount()) Raise(Error::kInvalidCall);
  items_.erase(items_.begin() + index);
  if (list_index_ == index) {
    list_index_ = -1;
  } else if (list_index_ > index) {
    --list_index_;
  }
  new_index_ = -1;
  SetTopIndex(top_index_);
  Changed();
}

void ListBox::Clear() {
  items_.clear();
  list_index_ = -1;
  new_index_ = -1;
  top_index_ = 0;
  Changed();
}

const std::string& ListBox::List(int index) const {
  if (index < 0 || index >= ListCount()) {
    Raise(Error::kInvalidPropertyArrayIndex);
  }
  return items_[static_cast<std::size_t>(index)];
}

void ListBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) Raise(Error::kInvalidPropertyValue);
  if (!Assign(list_index_, index)) return;
  if (index >= 0 && (index < top_index_ || index >= top_index_ + VisibleRows())) {
    SetTopIndex(index - VisibleRows() + 1 > top_index_ ? index - VisibleRows() + 1 : index);
  }
  Changed();
  if (on_click_) on_click_();
}

int ListBox::VisibleRows() const { return std::max(1, Height() / kItemHeight); }

void ListBox::SetTopIndex(int index) {
  int last_top = std::max(0, ListCount() - VisibleRows());
  if (Assign(top_index_, std::clamp(index, 0, last_top))) Changed();
}

void CommandButton::SetCaption(std::string text) {
  if (Assign(caption_, std::move(text))) Changed();
}

void CommandButton::SetDefault(bool v) {
  if (v) {
    for (Control* c : Owner().Controls()) {
      if (c->Kind() == ControlKind::CommandButton) static_cast<CommandButton*>(c)->default_ = false;
    }
  }
  default_ = v;
  Changed();
}

void CommandButton::SetCancel(bool v) {
  if (v) {
    for (Control* c : Owner().Controls()) {
      if (c->Kind() == ControlKind::CommandButton) static_cast<CommandButton*>(c)->cancel_ = false;
    }
  }
  cancel_ = v;
  Changed();
}

void CommandButton::FireClick() {
  if (on_click_) on_click_();
}

void Frame::SetCaption(std::string text) {
  if (Assign(caption_, std::move(text))) Changed();
}

void Line::SetPoints(int x1, int y1, int x2, int y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  Changed();
}

void Line::SetBorderColor(Color c) {
  if (Assign(color_, c)) Changed();
}

void Image::SetPicture(Picture p) {
  if (Assign(picture_, std::move(p))) Changed();
}

void Timer::SetInterval(int ms) {
  if (ms < 0) Raise(Error::kInvalidPropertyValue);
  interval_ = ms;
  Restart();
}

void Timer::Restart() {
  due_ = Owner().App().Now() + interval_;
  Owner().App().TimersChanged();
}

}  // namespace quorvale::ui
