// A picture reference: one shared, immutable bitmap, or empty. Copying a
// Picture copies the reference, never the pixels, so a control that is given a
// picture keeps (and hands back) the very same object.
//
// A picture has one natural size, its size in pixels at 96 dots per inch, on
// every screen. It may carry sets of its pixels drawn for larger screens (one
// and a half and two times its natural size); a backend shows, on a screen of
// another scale, the set drawn nearest that scale, plainly scaled to the
// pixels the picture covers there (PictureArea, ScaledPicture).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Units.h"

namespace ponderix::platform {

// The scales, beyond 1, that the program's pictures are drawn at.
inline constexpr float DrawnScales[] = {1.5f, 2.0f};

// The file of a picture's set drawn at that scale: "key_help.bmp" at 1.5 is
// "key_help@1.5x.bmp", at 2 "key_help@2x.bmp"; at 1 the file itself.
std::string ScaledFileName(std::string_view file, float scale);

// Of the scales a picture is drawn at (1 and `drawn`), the one to show on a
// screen of that scale: the nearest; of two as near, the smaller, so that a
// set is then only ever enlarged and no row of it is dropped.
float NearestDrawnScale(float screen, std::span<const float> drawn);

class Picture {
public:
    // Reads the set drawn at one scale; nothing when there is none.
    using SetLoader = std::function<std::optional<Bitmap>(float scale)>;

    Picture() = default;  // empty
    explicit Picture(std::shared_ptr<const Bitmap> bitmap) : m_Bitmap(std::move(bitmap)) {}
    static Picture FromBitmap(Bitmap bitmap) {
        return Picture(std::make_shared<const Bitmap>(std::move(bitmap)));
    }
    // A picture with sets for other scales, each read by `load` when first
    // shown on a screen of its scale.
    static Picture WithScaledSets(Bitmap bitmap, std::span<const float> scales, SetLoader load);

    bool IsEmpty() const { return m_Bitmap == nullptr; }
    // The natural size, in pixels at 96 dots per inch.
    int Width() const { return m_Bitmap ? m_Bitmap->Width : 0; }
    int Height() const { return m_Bitmap ? m_Bitmap->Height : 0; }

    // The pixels at natural size; throws PlatformError for an empty picture.
    const Bitmap& Pixels() const;
    // The set to show on a screen of that scale (1 at 96 dots per inch): the
    // set drawn at the scale NearestDrawnScale picks, as it was drawn. A set
    // that cannot be read counts as not drawn. Throws for an empty picture.
    const Bitmap& PixelsFor(float scale) const;

    // Two references are equal when they refer to the same object (or are both empty).
    friend bool operator==(const Picture& a, const Picture& b) { return a.m_Bitmap == b.m_Bitmap; }

private:
    struct ScaledSets {
        std::vector<float> Scales;  // less those whose set could not be read
        SetLoader Load;
        // Read so far: a scale, and its set. A deque keeps each set in place
        // while later ones are read.
        std::deque<std::pair<float, Bitmap>> Read;
    };

    std::shared_ptr<const Bitmap> m_Bitmap;
    std::shared_ptr<ScaledSets> m_Sets;  // shared, like the pixels; read on demand
};

// The pixels plainly scaled to any size: each pixel of the source becomes the
// whole pixels its scaled edges enclose, the edges put on the grid as
// ToWholePixels puts any edge (to the nearest pixel, halves up). No colours
// are mixed, so edges stay sharp. An empty size gives an empty bitmap.
Bitmap ScaledNearest(const Bitmap& bitmap, int width, int height);

// Where a picture drawn at natural size with its top-left corner at (left,
// top) lies on a screen of that scale: the whole pixels it covers, as
// ToWholePixels puts any rectangle on the grid. Left and top are in the
// screen's pixels and may be fractional.
WholePixelRect PictureArea(const Picture& picture, float scale, float left, float top);

// A picture as one place on the screen shows it: the set for the screen's
// scale, scaled to the size of its area there. The set itself where it has
// that size; otherwise scaled again only when the picture, the scale or the
// size changes.
class ScaledPicture {
public:
    // Throws PlatformError for an empty picture.
    const Bitmap& Pixels(const Picture& picture, float scale, int width, int height);

private:
    Picture m_Picture;
    float m_Scale = 0;
    Bitmap m_Scaled;
};

}  // namespace ponderix::platform
