// Layout units. Layouts are written in twips (1/1440 inch); windows work in
// pixels at run time. At the standard 96 dots per inch a pixel is 15 twips.
#pragma once

#include <cmath>

namespace ponderix::platform {

inline constexpr float TwipsPerPixel = 15.0f;

constexpr float TwipsToPixels(float twips) {
    return twips / TwipsPerPixel;
}
constexpr float PixelsToTwips(float pixels) {
    return pixels * TwipsPerPixel;
}

// A position or size in the window's unit. Controllers compute them unrounded
// (a label may be placed at 3.5); only a backend that draws on a pixel grid rounds.
struct PixelRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A rectangle on the pixel grid.
struct WholePixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    friend constexpr bool operator==(const WholePixelRect&, const WholePixelRect&) = default;
};

// How every backend puts a fractional rectangle on the pixel grid: each edge goes
// to the nearest whole pixel, halves upwards (3.5 -> 4, -0.5 -> 0). Rounding the
// edges, not the width, keeps rectangles that touch touching: a label at 3.5 with
// width 305 and one at 7.5 with width 301 still end on the same column (309).
inline int NearestPixel(float pixels) {
    return static_cast<int>(std::floor(pixels + 0.5f));
}

inline WholePixelRect ToWholePixels(const PixelRect& rect) {
    const int left = NearestPixel(rect.Left);
    const int top = NearestPixel(rect.Top);
    return {left, top, NearestPixel(rect.Left + rect.Width) - left,
            NearestPixel(rect.Top + rect.Height) - top};
}

struct ScreenPoint {
    int X = 0;
    int Y = 0;

    friend constexpr bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

}  // namespace ponderix::platform
