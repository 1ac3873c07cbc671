// Captures written as PNG files, for a person to look at.
#pragma once

#include <filesystem>

#include "quorvale/ui/fltk_backend.h"

namespace quorvale::ui::fltk::testing {

// Writes 8-bit RGB; false when the file cannot be written.
bool WritePng(const std::filesystem::path& path, const RgbImage& image);

}  // namespace quorvale::ui::fltk::testing
