// What a person would see in a capture: enough colours, ink on a white or
// grey ground, runs of one colour.
#pragma once

#include <cstddef>

#include "quorvale/ui/fltk_backend.h"

namespace quorvale::ui::fltk::testing {

struct Rgb {
  unsigned char r, g, b;
  bool operator==(const Rgb&) const = default;
};

Rgb PixelAt(const RgbImage& image, int x, int y);
std::size_t DistinctColours(const RgbImage& image);
// Pixels that are not the given colour.
std::size_t CountOther(const RgbImage& image, Rgb ground);
// Pixels of exactly this colour on one row.
int CountOnRow(const RgbImage& image, int y, Rgb colour);
RgbImage Crop(const RgbImage& image, int x, int y, int w, int h);
bool SamePixels(const RgbImage& a, const RgbImage& b);
// Every pixel of the outermost ring of the rectangle is this colour (the
// dark frame of the button Enter presses, say).
bool RingIs(const RgbImage& image, int x, int y, int w, int h, Rgb colour);

}  // namespace quorvale::ui::fltk::testing
