// Decoded pictures: the pixels of a BMP file, and a cursor's image with its hot
// spot. Both backends and the test fake draw from these, so a picture looks the
// same whichever window system shows it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ponderix::platform {

// Pixels row by row from the top, each 0xAARRGGBB. A 24-bit source is opaque
// (alpha 255); a 32-bit source keeps its fourth byte as alpha.
struct Bitmap {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
};

constexpr std::uint8_t RedOf(std::uint32_t argb) {
    return static_cast<std::uint8_t>(argb >> 16);
}
constexpr std::uint8_t GreenOf(std::uint32_t argb) {
    return static_cast<std::uint8_t>(argb >> 8);
}
constexpr std::uint8_t BlueOf(std::uint32_t argb) {
    return static_cast<std::uint8_t>(argb);
}
constexpr std::uint8_t AlphaOf(std::uint32_t argb) {
    return static_cast<std::uint8_t>(argb >> 24);
}

// A BMP file (BITMAPINFOHEADER or later): 24- or 32-bit (BI_RGB or
// BI_BITFIELDS), or 8-bit with a palette, uncompressed or run-length encoded
// (BI_RLE8); rows bottom-up or top-down. Throws PlatformError for anything
// else, or for a file that is cut short or whose header does not add up.
Bitmap DecodeBmp(std::span<const std::uint8_t> file);

struct CursorImage {
    Bitmap Image;  // transparent where the cursor's AND mask is set
    int HotSpotX = 0;
    int HotSpotY = 0;
};

// The first image of a .cur file (a monochrome or colour DIB with its AND mask).
// Throws PlatformError when the file is not one.
CursorImage DecodeCursor(std::span<const std::uint8_t> file);

}  // namespace ponderix::platform
