#include "quorvale/ui/fltk/label_text.h"

namespace quorvale::ui::fltk {

std::string FltkLabel(std::string_view caption, bool mnemonics) {
  std::string out;
  out.reserve(caption.size() + 4);
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '@') {
      out += "@@";
    } else if (c != '&') {
      out += c;
    } else if (!mnemonics || i + 1 == caption.size()) {
      out += "&&";
    } else if (caption[i + 1] == '&') {
      out += "&&";
      ++i;
    } else if (static_cast<unsigned char>(caption[i + 1]) >= 0x80) {
      // dropped: the character after it is shown plainly
    } else if (caption[i + 1] == '@') {
      // "&@" marks "@" as the key; FLTK cannot underline a doubled "@".
      out += "@@";
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

ShownLabel ShowCaption(std::string_view caption, bool mnemonics) {
  ShownLabel out;
  if (!mnemonics) {
    out.text = caption;
    return out;
  }
  out.text.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      const char next = caption[++i];
      if (next != '&' && static_cast<unsigned char>(next) < 0x80 && out.key == std::string::npos)
        out.key = out.text.size();
    }
    out.text += caption[i];
  }
  return out;
}

std::string UnixLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
      continue;
    }
    out += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

std::string WindowsLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : UnixLineEnds(text)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace quorvale::ui::fltk
