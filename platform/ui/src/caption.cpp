#include "quorvale/ui/caption.h"

#include "quorvale/core/text.h"

namespace quorvale::ui {

char AccessKey(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    char next = caption[i + 1];
    if (next == '&') {
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(next) >= 0x80) return 0;
    return UpperChar(next);
  }
  return 0;
}

std::string ShownCaption(std::string_view caption) {
  std::string out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return out;
}

}  // namespace quorvale::ui
