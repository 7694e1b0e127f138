// The pixel buffer the pictures are drawn into, and the writers of the file
// formats: the three the program loads (24- and 32-bit BMP, and icons and
// cursors made of palette DIBs with an AND mask) and the PNG of the desktop's
// icon theme. They write exactly the header layouts below and nothing else, so
// the committed files do not depend on a library's choices (PNG's compression
// is zlib's, through Qt).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ponderix::tools {

constexpr std::uint32_t Argb(int red, int green, int blue, int alpha = 255) {
    return (static_cast<std::uint32_t>(alpha) << 24) | (static_cast<std::uint32_t>(red) << 16) |
           (static_cast<std::uint32_t>(green) << 8) | static_cast<std::uint32_t>(blue);
}

// Pixels row by row from the top, each 0xAARRGGBB.
class Canvas {
public:
    Canvas(int width, int height, std::uint32_t fill = Argb(0, 0, 0));

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t At(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, std::uint32_t argb) { pixels_[Index(x, y)] = argb; }
    void FillRect(int left, int top, int right, int bottom, std::uint32_t argb);  // inclusive
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

private:
    std::size_t Index(int x, int y) const;

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

using FileBytes = std::vector<std::uint8_t>;

// BITMAPINFOHEADER, BI_RGB, rows bottom-up; alpha is dropped.
FileBytes EncodeBmp24(const Canvas& canvas);

// BITMAPV5HEADER, BI_BITFIELDS with an alpha mask, rows bottom-up, sRGB.
FileBytes EncodeBmp32(const Canvas& canvas);

// The number of colours of an opaque picture.
std::size_t CountColours(const Canvas& canvas);

// BITMAPINFOHEADER, 8 bits with a palette of the picture's colours (the most
// used first), BI_RLE8: rows bottom-up as runs of one index and runs of
// literal indices, each row ended, and the picture. Throws for a picture with
// more than 256 colours or one that is not opaque.
FileBytes EncodeBmp8Rle(const Canvas& canvas);

// The smallest of the two a Windows program reads its pictures from:
// EncodeBmp8Rle where the picture has at most 256 colours, else EncodeBmp24.
FileBytes EncodeBmpCompact(const Canvas& canvas);

// One image of an icon or cursor: a palette of 2 (1 bit) or 16 (4 bits) colours.
// Every opaque pixel must have a colour of the palette; a pixel with alpha 0 is
// transparent (AND mask set, colour index 0).
struct IconImage {
    Canvas Pixels;
    std::vector<std::uint32_t> Palette;
};

// An .ico file holding the images in the given order.
FileBytes EncodeIcon(std::span<const IconImage> images);

// A .cur file of one image with its hot spot.
FileBytes EncodeCursor(const IconImage& image, int hotSpotX, int hotSpotY);

// A PNG file: 8-bit RGBA, not interlaced, every row unfiltered, compressed by
// zlib at its highest level; no chunks but IHDR, IDAT and IEND.
FileBytes EncodePng(const Canvas& canvas);

// Writes the bytes to the path, replacing the file; throws std::runtime_error.
void WriteFile(const std::string& path, const FileBytes& bytes);

}  // namespace ponderix::tools
