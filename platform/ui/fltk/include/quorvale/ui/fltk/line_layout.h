// Lines of a word-wrapping label, broken as Windows breaks them on a
// Chinese system: at blanks, and beside any double-byte character (every
// character beyond ASCII is one in code page 936), but not before closing
// punctuation ("，" "。" "）" ...) nor after opening punctuation ("（" "“"
// ...). A word wider than the label breaks where it must. CR LF, LF and CR
// end a line and are not part of any.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace quorvale::ui::fltk {

// Width of a run of text in pixels, as the font draws it.
using MeasureText = std::function<double(std::string_view)>;

// The lines of text within width pixels, as views into text. Blanks where a
// line breaks are left out; an empty text is one empty line. Every line
// holds at least one character, so a character wider than the label still
// gets a line of its own.
std::vector<std::string_view> LayoutLines(std::string_view text, double width, const MeasureText& measure);

}  // namespace quorvale::ui::fltk
