// Captions with access keys ("下一步(&N) >").
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

}  // namespace quorvale::ui
