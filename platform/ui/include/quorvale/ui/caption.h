// Captions with access keys ("下一步(&N) >") and character counts of UTF-8 text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvale::ui {

// The access key of a caption, upper-cased: the character after a single
// "&"; 0 when there is none ("&&" stands for a plain "&").
char AccessKey(std::string_view caption);

// The caption as shown: access-key marks removed, "&&" as "&".
std::string ShownCaption(std::string_view caption);

// Number of characters (code points) of UTF-8 text.
std::size_t CharCount(std::string_view text);

}  // namespace quorvale::ui
