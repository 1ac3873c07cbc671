#include "quorvale/ui/fltk/label_layout.h"

#include "fl.h"
#include "quorvale/ui/fltk/label_text.h"
#include "quorvale/ui/fltk/line_layout.h"
#include "widgets.h"

namespace quorvale::ui::fltk {

TwipsOffset FrameOffset(const Control& control) {
  TwipsOffset out;
  for (const Frame* f = control.Container(); f; f = f->Container()) {
    out.left += f->Left();
    out.top += f->Top();
  }
  return out;
}

PixelRect ControlPixels(const Control& control) {
  const TwipsOffset o = FrameOffset(control);
  return BoxToPixels(o.left + control.Left(), o.top + control.Top(), control.Width(), control.Height());
}

TextLayout LayOutText(std::string_view caption, int width, bool bold, bool mnemonics) {
  const ShownLabel shown = ShowCaption(caption, mnemonics);
  fl_font(bold ? kBoldFont : kFont, kFontSize);
  TextLayout out;
  out.line_height = fl_height();
  const auto measure = [](std::string_view run) {
    return fl_width(run.data(), static_cast<int>(run.size()));
  };
  for (std::string_view line : LayoutLines(shown.text, width, measure)) {
    const auto begin = static_cast<std::size_t>(line.data() - shown.text.data());
    if (shown.key != std::string::npos && shown.key >= begin && shown.key < begin + line.size()) {
      out.key_line = out.lines.size();
      out.key_offset = shown.key - begin;
    }
    out.lines.emplace_back(line);
    out.widths.push_back(measure(line));
  }
  return out;
}

LabelLayout LayOutLabel(const Label& label) {
  LabelLayout out;
  out.box = ControlPixels(label);
  out.text = LayOutText(label.Caption(), out.box.w, label.FontBold());
  return out;
}

}  // namespace quorvale::ui::fltk
