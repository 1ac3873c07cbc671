#include "image_checks.h"

#include <set>

namespace quorvale::ui::fltk::testing {

Rgb PixelAt(const RgbImage& image, int x, int y) {
  const auto i =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 3;
  return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
}

std::size_t DistinctColours(const RgbImage& image) {
  std::set<unsigned> seen;
  for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
    seen.insert(static_cast<unsigned>(image.rgb[i]) << 16 | static_cast<unsigned>(image.rgb[i + 1]) << 8 |
                image.rgb[i + 2]);
  }
  return seen.size();
}

std::size_t CountOther(const RgbImage& image, Rgb ground) {
  std::size_t n = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) n += !(PixelAt(image, x, y) == ground);
  }
  return n;
}

int CountOnRow(const RgbImage& image, int y, Rgb colour) {
  int n = 0;
  for (int x = 0; x < image.width; ++x) n += PixelAt(image, x, y) == colour;
  return n;
}

RgbImage Crop(const RgbImage& image, int x, int y, int w, int h) {
  RgbImage out{w, h, {}};
  for (int row = y; row < y + h; ++row) {
    for (int col = x; col < x + w; ++col) {
      const Rgb p = PixelAt(image, col, row);
      out.rgb.insert(out.rgb.end(), {p.r, p.g, p.b});
    }
  }
  return out;
}

bool SamePixels(const RgbImage& a, const RgbImage& b) {
  return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

bool RingIs(const RgbImage& image, int x, int y, int w, int h, Rgb colour) {
  for (int i = 0; i < w; ++i) {
    if (!(PixelAt(image, x + i, y) == colour) || !(PixelAt(image, x + i, y + h - 1) == colour)) return false;
  }
  for (int j = 0; j < h; ++j) {
    if (!(PixelAt(image, x, y + j) == colour) || !(PixelAt(image, x + w - 1, y + j) == colour)) return false;
  }
  return true;
}

}  // namespace quorvale::ui::fltk::testing
