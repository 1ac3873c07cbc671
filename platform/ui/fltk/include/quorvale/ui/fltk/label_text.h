// Captions as FLTK labels. FLTK, like Windows, underlines the character after
// "&" and shows "&&" as "&"; it also reads "@" as the start of a symbol,
// which a caption never means.
#pragma once

#include <string>
#include <string_view>

namespace quorvale::ui::fltk {

// The label FLTK draws as the caption is shown. With mnemonics the access
// key stays marked; a "&" before a character that cannot be an access key
// (a non-ASCII one) is dropped, as Windows drops it, and a "&" at the end is
// shown. Without mnemonics (message texts, list lines) every "&" is shown.
std::string FltkLabel(std::string_view caption, bool mnemonics = true);

// A caption as text the backend draws itself: with mnemonics, "&&" shows
// "&", a "&" before an ASCII character marks the access key (the first
// such is kept, as a byte offset into text) and one before any other
// character is dropped; a "&" at the end is shown. Without mnemonics the
// caption is shown as it is.
struct ShownLabel {
  std::string text;
  std::size_t key = std::string::npos;
};
ShownLabel ShowCaption(std::string_view caption, bool mnemonics = true);

// Line ends as FLTK breaks lines: "\r\n" and a lone "\r" become "\n".
std::string UnixLineEnds(std::string_view text);
// Line ends as a Windows text box holds them: every one CR LF.
std::string WindowsLineEnds(std::string_view text);

}  // namespace quorvale::ui::fltk
