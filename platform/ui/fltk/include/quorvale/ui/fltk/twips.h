// Twips to screen pixels: 15 twips to a pixel.
#pragma once

namespace quorvale::ui::fltk {

inline constexpr int kTwipsPerPixel = 15;

// Nearest pixel; halves away from zero, so that -120 and 120 mirror.
constexpr int TwipsToPixels(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

// The pixels a box in twips covers. Each edge is rounded on its own, so boxes
// that touch in twips touch on screen; a negative size covers nothing.
constexpr PixelRect BoxToPixels(int left, int top, int width, int height) {
  const int x = TwipsToPixels(left);
  const int y = TwipsToPixels(top);
  const int right = TwipsToPixels(left + (width > 0 ? width : 0));
  const int bottom = TwipsToPixels(top + (height > 0 ? height : 0));
  return {x, y, right - x, bottom - y};
}

}  // namespace quorvale::ui::fltk
