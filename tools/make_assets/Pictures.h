// The pictures of the program, drawn pixel by pixel: the window background, the
// title-bar keys, the calculate key, the hand cursor and the program icon. Only
// the lettering (and the banner) come from a font renderer; see Lettering.h.
#pragma once

#include "tools/make_assets/Encoders.h"

#include <cstdint>
#include <vector>

namespace ponderix::tools {

// How much of a letter covers each pixel, 0 (none) to 255 (all), row by row from
// the top.
struct Coverage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Values;

    std::uint8_t At(int x, int y) const {
        return Values[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
};

// The size of `pixels` pixels at 96 dots per inch on a screen of that scale:
// the nearest whole pixel, halves up (21 at 1.5 is 32).
int ScaledSize(int pixels, double scale);

// Pixel art drawn for a larger screen: the picture with each of its pixels
// made `scale` pixels wide and high, its edges rounded to the nearest whole
// pixel, halves up (as ScaledSize rounds the whole). Nothing is smoothed.
Canvas ScaledUp(const Canvas& picture, double scale);

// The picture with at most `colours` colours: the ones that cover a good part
// of it (at least one pixel in 200, up to half the palette) stay exactly as
// they are; the others are split into groups of like colours (median cut) and
// each takes its group's mean. Unchanged when it has no more colours than that.
Canvas WithAtMostColours(const Canvas& picture, std::size_t colours);

// 489 x 406: the rounded blue panel with its raised edge and the sunken inner panel.
Canvas Background();

enum class TitleGlyph { QuestionMark, Bar, Cross };

// 21 x 21: a title-bar key with its black glyph.
Canvas TitleKey(TitleGlyph glyph);

// Every colour channel of every pixel raised by amount, stopping at 255.
Canvas Raised(const Canvas& picture, int amount);

// How much the lit calculate key adds to each channel of the unlit one.
inline constexpr int CalculateLitRed = 5;
inline constexpr int CalculateLitGreen = 31;
inline constexpr int CalculateLitBlue = 43;

// 151 x 40: the blue calculate key, lit or not, with the white lettering laid on
// (the lettering's coverage is centred on the key). For a larger screen the
// key's pixel art is scaled up (ScaledUp) and the lettering, set for that
// size, laid on it alike.
Canvas CalculateKey(bool lit, const Coverage& lettering, double scale = 1);

// 32 x 32 black and white, with its hot spot at the fingertip.
inline constexpr int HandHotSpotX = 18;
inline constexpr int HandHotSpotY = 7;
IconImage HandCursor();

// The images of the Windows icon file: 32 x 32 in 2 colours, then 32 x 32,
// 16 x 16, 48 x 48 and 256 x 256 in 16 colours.
std::vector<IconImage> ProgramIcon();

// The program icon in full colour at any size from 16 pixels up, as the
// desktop's icon theme takes it (transparent around the window).
Canvas ProgramIconPicture(int size);

}  // namespace ponderix::tools
