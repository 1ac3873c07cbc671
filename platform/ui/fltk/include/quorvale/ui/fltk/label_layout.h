// Where the real windows put a control and how they lay out a label's
// caption: the same numbers the windows draw with, for checks that no
// caption is cut.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quorvale/ui/controls.h"
#include "quorvale/ui/fltk/twips.h"

namespace quorvale::ui::fltk {

// How far, in twips, the frames a control stands in move it.
struct TwipsOffset {
  int left = 0, top = 0;
};
TwipsOffset FrameOffset(const Control& control);

// The pixels a control covers in its window's client area, the frames it
// stands in included.
PixelRect ControlPixels(const Control& control);

// A caption broken into lines as a label draws it.
struct TextLayout {
  std::vector<std::string> lines;  // as shown: access-key marks taken out
  std::vector<double> widths;      // of each line, in pixels
  int line_height = 0;             // pixels from one line to the next
  // The access key, underlined: its line and its byte offset in that line.
  std::size_t key_line = std::string::npos, key_offset = 0;
  int Height() const { return line_height * static_cast<int>(lines.size()); }
};

// The lines of a caption within width pixels, in the windows' font (bold or
// not). Needs the display's fonts: a FltkBackend must exist.
TextLayout LayOutText(std::string_view caption, int width, bool bold, bool mnemonics = true);

// A label of a form as its window lays it out.
struct LabelLayout {
  PixelRect box;
  TextLayout text;
};
LabelLayout LayOutLabel(const Label& label);

}  // namespace quorvale::ui::fltk
