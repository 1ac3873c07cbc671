#include "quorvale/ui/fltk/line_layout.h"

#include <algorithm>
#include <cstdint>

#include "quorvale/core/text.h"

namespace quorvale::ui::fltk {

namespace {

bool Blank(char32_t c) { return c == U' ' || c == U'\t'; }

// Beyond ASCII: a double-byte character in code page 936.
bool Wide(char32_t c) { return c >= 0x80; }

// No line starts with these.
bool Closing(char32_t c) {
  static constexpr std::u32string_view kClosing = U"，。）、；：！？”》’」』】〕〉…,.;:!?)]}";
  return kClosing.find(c) != std::u32string_view::npos;
}

// No line ends with these.
bool Opening(char32_t c) {
  static constexpr std::u32string_view kOpening = U"（“《‘「『【〔〈([{";
  return kOpening.find(c) != std::u32string_view::npos;
}

// A line may end before chars[k] (0 < k < size).
bool BreakBefore(const std::vector<TextChar>& chars, std::size_t k) {
  const char32_t a = chars[k - 1].code, b = chars[k].code;
  if (Blank(b)) return false;
  if (Blank(a)) return true;
  return (Wide(a) || Wide(b)) && !Closing(b) && !Opening(a);
}

// One paragraph (no line ends in it) broken into lines.
void LayoutParagraph(std::string_view para, double width, const MeasureText& measure,
                     std::vector<std::string_view>& lines) {
  const std::vector<TextChar> chars = Characters(para);
  const std::size_t n = chars.size();
  auto at = [&](std::size_t k) { return k < n ? chars[k].offset : para.size(); };
  auto fits = [&](std::size_t from, std::size_t to) {
    return measure(para.substr(at(from), at(to) - at(from))) <= width + 1e-9;
  };
  std::size_t start = 0;
  do {
    // The last place the line may end (its blanks left out) while it fits.
    std::size_t best_end = start, best_next = start;
    bool found = false;
    for (std::size_t k = start + 1; k <= n; ++k) {
      if (k < n && !BreakBefore(chars, k)) continue;
      std::size_t end = k;
      while (end > start && Blank(chars[end - 1].code)) --end;
      if (end == start && k < n) continue;  // only blanks so far: no line to end
      if (!fits(start, end)) break;
      best_end = end;
      best_next = k;
      found = true;
    }
    if (!found) {
      // A word wider than the line: as many characters as fit, at least one.
      best_end = start + 1;
      while (best_end < n && fits(start, best_end + 1)) ++best_end;
      best_next = best_end;
    }
    lines.push_back(para.substr(at(start), at(best_end) - at(start)));
    start = best_next;
  } while (start < n);
}

}  // namespace

std::vector<std::string_view> LayoutLines(std::string_view text, double width, const MeasureText& measure) {
  std::vector<std::string_view> lines;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = std::min(text.find_first_of("\r\n", from), text.size());
    LayoutParagraph(text.substr(from, end - from), width, measure, lines);
    if (end == text.size()) break;
    from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace quorvale::ui::fltk
