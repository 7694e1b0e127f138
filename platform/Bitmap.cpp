// Reading BMP and CUR files. Every field is read through a bounds-checked view of
// the file, and the pixel count is capped before anything is allocated, so a
// damaged or hostile file ends in a PlatformError and never in a stray read.
#include "platform/Bitmap.h"

#include "platform/Error.h"

#include <bit>
#include <cstddef>
#include <string>
#include <vector>

namespace ponderix::platform {

namespace {

// Far beyond any picture of this program (the largest is 489 x 406), small
// enough that a header cannot make us allocate more than 64 MiB.
constexpr std::int64_t MaxSide = 16384;
constexpr std::int64_t MaxPixels = std::int64_t{1} << 24;

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t InfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::size_t FileHeaderSize = 14;    // BITMAPFILEHEADER
constexpr std::size_t IconDirSize = 6;
constexpr std::size_t IconDirEntrySize = 16;

[[noreturn]] void Fail(const std::string& what) {
    throw PlatformError(what);
}

// A little-endian view of a byte range that refuses to read past its end.
class Bytes {
public:
    Bytes(std::span<const std::uint8_t> data, const char* what) : data_(data), what_(what) {}

    std::size_t Size() const { return data_.size(); }

    // The part [offset, offset + count); throws when it does not lie inside.
    std::span<const std::uint8_t> Sub(std::uint64_t offset, std::uint64_t count) const {
        if (offset > data_.size() || count > data_.size() - offset) {
            Fail(std::string(what_) + ": the file is cut short");
        }
        return data_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }

    std::uint8_t U8(std::uint64_t offset) const { return Sub(offset, 1)[0]; }

    std::uint16_t U16(std::uint64_t offset) const {
        const auto b = Sub(offset, 2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }

    std::uint32_t U32(std::uint64_t offset) const {
        const auto b = Sub(offset, 4);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }

    std::int32_t I32(std::uint64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

private:
    std::span<const std::uint8_t> data_;
    const char* what_;
};

// The fields of a BITMAPINFOHEADER (or of the first 40 bytes of a larger one).
struct DibHeader {
    std::uint32_t HeaderSize = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;  // negative for rows stored top-down
    std::uint16_t Planes = 0;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;
    std::uint32_t ColoursUsed = 0;
};

DibHeader ReadDibHeader(const Bytes& bytes, std::uint64_t at, const char* what) {
    DibHeader h;
    h.HeaderSize = bytes.U32(at);
    if (h.HeaderSize < InfoHeaderSize) {
        Fail(std::string(what) + ": unsupported header (older than BITMAPINFOHEADER)");
    }
    bytes.Sub(at, h.HeaderSize);  // the whole header must be there
    h.Width = bytes.I32(at + 4);
    h.Height = bytes.I32(at + 8);
    h.Planes = bytes.U16(at + 12);
    h.BitCount = bytes.U16(at + 14);
    h.Compression = bytes.U32(at + 16);
    h.ColoursUsed = bytes.U32(at + 32);
    if (h.Planes != 1) {
        Fail(std::string(what) + ": plane count is not 1");
    }
    return h;
}

// Checks a picture's size against the caps and returns its pixel count.
std::size_t CheckedPixelCount(std::int64_t width, std::int64_t height, const char* what) {
    if (width <= 0 || height <= 0) {
        Fail(std::string(what) + ": empty or negative size");
    }
    if (width > MaxSide || height > MaxSide || width * height > MaxPixels) {
        Fail(std::string(what) + ": picture too large");
    }
    return static_cast<std::size_t>(width * height);
}

// Bytes per stored row: rows are padded to a multiple of four bytes.
std::uint64_t RowStride(std::int64_t width, int bitCount) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

// One colour channel of a BI_BITFIELDS pixel: where its bits are and how many.
class Channel {
public:
    Channel() = default;

    // An empty mask gives a channel that is absent; otherwise the set bits must be
    // one contiguous run.
    static Channel FromMask(std::uint32_t mask, const char* what) {
        Channel c;
        if (mask == 0) {
            return c;
        }
        c.shift_ = std::countr_zero(mask);
        c.bits_ = std::popcount(mask);
        if (c.bits_ + c.shift_ + std::countl_zero(mask) != 32) {
            Fail(std::string(what) + ": a colour mask is not one run of bits");
        }
        return c;
    }

    bool Present() const { return bits_ > 0; }

    // The channel's value scaled to 0..255.
    std::uint32_t Extract(std::uint32_t pixel) const {
        const std::uint32_t max = bits_ >= 32 ? 0xFFFFFFFFu : (1u << bits_) - 1;
        const std::uint32_t value = (pixel >> shift_) & max;
        if (bits_ >= 8) {
            return value >> (bits_ - 8);
        }
        return (value * 255 + max / 2) / max;
    }

private:
    int shift_ = 0;
    int bits_ = 0;
};

struct Masks {
    Channel Red;
    Channel Green;
    Channel Blue;
    Channel Alpha;
};

// Reads rows of 24- or 32-bit pixels into a top-down ARGB bitmap.
// A 32-bit picture whose alpha is zero everywhere is one written by a program
// that left the fourth byte unused: it is shown opaque rather than invisible.
Bitmap ReadTrueColourRows(std::span<const std::uint8_t> rows, std::int32_t width,
                          std::int32_t height, bool topDown, int bitCount, const Masks& masks) {
    Bitmap bitmap;
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.Pixels.resize(CheckedPixelCount(width, height, "BMP"));
    const std::size_t stride = static_cast<std::size_t>(RowStride(width, bitCount));
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bitCount / 8);
    bool anyAlpha = false;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t storedRow = topDown ? y : height - 1 - y;
        const auto row = rows.subspan(static_cast<std::size_t>(storedRow) * stride, stride);
        for (std::int32_t x = 0; x < width; ++x) {
            const auto p = row.subspan(static_cast<std::size_t>(x) * bytesPerPixel, bytesPerPixel);
            std::uint32_t argb = 0;
            if (bitCount == 24) {
                argb =
                    0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            } else {
                const std::uint32_t raw = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                          (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
                const std::uint32_t alpha = masks.Alpha.Present() ? masks.Alpha.Extract(raw) : 255;
                anyAlpha = anyAlpha || alpha != 0;
                argb = (alpha << 24) | (masks.Red.Extract(raw) << 16) |
                       (masks.Green.Extract(raw) << 8) | masks.Blue.Extract(raw);
            }
            bitmap.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)] = argb;
        }
    }
    if (bitCount == 32 && !anyAlpha) {
        for (auto& pixel : bitmap.Pixels) {
            pixel |= 0xFF000000u;
        }
    }
    return bitmap;
}

// The colours of a paletted picture's palette, as opaque ARGB.
std::vector<std::uint32_t> ReadPalette(const Bytes& bytes, std::uint64_t at, std::uint32_t count) {
    if (count == 0 || count > 256) {
        Fail("BMP: a palette of " + std::to_string(count) + " colours");
    }
    std::vector<std::uint32_t> palette(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        palette[i] = 0xFF000000u | (bytes.U32(at + 4 * std::uint64_t{i}) & 0x00FFFFFFu);
    }
    return palette;
}

std::uint32_t Colour(const std::vector<std::uint32_t>& palette, std::uint8_t index) {
    if (index >= palette.size()) {
        Fail("BMP: a pixel names a colour the palette lacks");
    }
    return palette[index];
}

// Rows of 8-bit palette indices, uncompressed.
Bitmap ReadPalettedRows(std::span<const std::uint8_t> rows, std::int32_t width, std::int32_t height,
                        bool topDown, const std::vector<std::uint32_t>& palette) {
    Bitmap bitmap{width, height,
                  std::vector<std::uint32_t>(CheckedPixelCount(width, height, "BMP"))};
    const std::size_t stride = static_cast<std::size_t>(RowStride(width, 8));
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t storedRow = topDown ? y : height - 1 - y;
        const auto row = rows.subspan(static_cast<std::size_t>(storedRow) * stride, stride);
        for (std::int32_t x = 0; x < width; ++x) {
            bitmap.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)] =
                Colour(palette, row[static_cast<std::size_t>(x)]);
        }
    }
    return bitmap;
}

// 8-bit run-length encoded rows, bottom-up: pairs of a count and an index, or
// after a zero count an escape (end of row, end of picture, a jump, or a run
// of literal indices padded to an even length). Pixels the data skips keep the
// palette's first colour.
Bitmap ReadRle8(const Bytes& data, std::int32_t width, std::int32_t height,
                const std::vector<std::uint32_t>& palette) {
    Bitmap bitmap{width, height,
                  std::vector<std::uint32_t>(CheckedPixelCount(width, height, "BMP"), palette[0])};
    std::int64_t x = 0;
    std::int64_t y = height - 1;  // the stored first row is the bottom one
    auto put = [&](std::uint8_t index) {
        if (x >= width || y < 0) {
            Fail("BMP: the run-length data runs past the picture");
        }
        bitmap.Pixels[static_cast<std::size_t>(y * width + x)] = Colour(palette, index);
        ++x;
    };
    for (std::uint64_t at = 0;;) {
        const std::uint8_t count = data.U8(at);
        const std::uint8_t value = data.U8(at + 1);
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(value);
            }
        } else if (value == 0) {  // end of row
            x = 0;
            --y;
        } else if (value == 1) {  // end of picture
            return bitmap;
        } else if (value == 2) {  // a jump right and up
            x += data.U8(at);
            y -= data.U8(at + 1);
            at += 2;
        } else {  // literal indices
            for (int i = 0; i < value; ++i) {
                put(data.U8(at + static_cast<std::uint64_t>(i)));
            }
            at += (value + 1u) & ~1u;
        }
    }
}

Masks DefaultMasks() {
    Masks m;
    m.Red = Channel::FromMask(0x00FF0000u, "BMP");
    m.Green = Channel::FromMask(0x0000FF00u, "BMP");
    m.Blue = Channel::FromMask(0x000000FFu, "BMP");
    m.Alpha = Channel::FromMask(0xFF000000u, "BMP");
    return m;
}

}  // namespace

Bitmap DecodeBmp(std::span<const std::uint8_t> file) {
    const Bytes bytes(file, "BMP");
    if (bytes.U8(0) != 'B' || bytes.U8(1) != 'M') {
        Fail("BMP: not a BMP file");
    }
    const std::uint32_t declaredSize = bytes.U32(2);
    const std::uint32_t pixelOffset = bytes.U32(10);
    if (declaredSize > file.size()) {
        Fail("BMP: the file is cut short");
    }
    const DibHeader h = ReadDibHeader(bytes, FileHeaderSize, "BMP");
    if (h.BitCount != 8 && h.BitCount != 24 && h.BitCount != 32) {
        Fail("BMP: only 8-, 24- and 32-bit pictures are supported");
    }
    if (h.Width <= 0 || h.Height == 0 || h.Height == INT32_MIN) {
        Fail("BMP: empty or negative size");
    }
    const bool topDown = h.Height < 0;
    const std::int32_t height = topDown ? -h.Height : h.Height;
    CheckedPixelCount(h.Width, height, "BMP");

    if (h.BitCount == 8) {
        const std::uint64_t paletteAt = FileHeaderSize + std::uint64_t{h.HeaderSize};
        const std::uint32_t entries = h.ColoursUsed == 0 ? 256 : h.ColoursUsed;
        const auto palette = ReadPalette(bytes, paletteAt, entries);
        if (pixelOffset < paletteAt + 4 * std::uint64_t{entries}) {
            Fail("BMP: the pixels overlap the header");
        }
        if (h.Compression == BiRle8) {
            if (topDown) {
                Fail("BMP: run-length data must be stored bottom-up");
            }
            return ReadRle8(Bytes(bytes.Sub(pixelOffset, file.size() - pixelOffset), "BMP"),
                            h.Width, height, palette);
        }
        if (h.Compression != BiRgb) {
            Fail("BMP: this compression is not supported for 8-bit pictures");
        }
        const auto rows =
            bytes.Sub(pixelOffset, RowStride(h.Width, 8) * static_cast<std::uint64_t>(height));
        return ReadPalettedRows(rows, h.Width, height, topDown, palette);
    }

    Masks masks = DefaultMasks();
    std::uint64_t headersEnd = FileHeaderSize + std::uint64_t{h.HeaderSize};
    if (h.Compression == BiBitfields) {
        if (h.BitCount != 32) {
            Fail("BMP: colour masks are supported for 32-bit pictures only");
        }
        // A plain BITMAPINFOHEADER is followed by three masks; the later headers
        // hold them (and, from 56 bytes on, an alpha mask) inside.
        const std::uint64_t maskAt = FileHeaderSize + InfoHeaderSize;
        if (h.HeaderSize == InfoHeaderSize) {
            headersEnd += 12;
        }
        masks.Red = Channel::FromMask(bytes.U32(maskAt), "BMP");
        masks.Green = Channel::FromMask(bytes.U32(maskAt + 4), "BMP");
        masks.Blue = Channel::FromMask(bytes.U32(maskAt + 8), "BMP");
        masks.Alpha = Channel::FromMask(h.HeaderSize >= 56 ? bytes.U32(maskAt + 12) : 0, "BMP");
        if (!masks.Red.Present() || !masks.Green.Present() || !masks.Blue.Present()) {
            Fail("BMP: a colour mask is empty");
        }
    } else if (h.Compression != BiRgb) {
        Fail("BMP: compressed pictures are not supported");
    }
    if (pixelOffset < headersEnd) {
        Fail("BMP: the pixels overlap the header");
    }
    // biSizeImage is not consulted: writers disagree on it, and the row layout
    // alone says how many bytes the pixels take.
    const std::uint64_t pixelBytes =
        RowStride(h.Width, h.BitCount) * static_cast<std::uint64_t>(height);
    const auto rows = bytes.Sub(pixelOffset, pixelBytes);
    return ReadTrueColourRows(rows, h.Width, height, topDown, h.BitCount, masks);
}

CursorImage DecodeCursor(std::span<const std::uint8_t> file) {
    const Bytes bytes(file, "CUR");
    if (bytes.U16(0) != 0 || bytes.U16(2) != 2) {
        Fail("CUR: not a cursor file");
    }
    const std::uint16_t imageCount = bytes.U16(4);
    if (imageCount == 0) {
        Fail("CUR: the file holds no image");
    }
    bytes.Sub(IconDirSize, std::uint64_t{imageCount} * IconDirEntrySize);
    const std::uint64_t entry = IconDirSize;
    // A size byte of 0 stands for 256.
    const int entryWidth = bytes.U8(entry) == 0 ? 256 : bytes.U8(entry);
    const int entryHeight = bytes.U8(entry + 1) == 0 ? 256 : bytes.U8(entry + 1);
    const int hotSpotX = bytes.U16(entry + 4);
    const int hotSpotY = bytes.U16(entry + 6);
    const std::uint32_t imageSize = bytes.U32(entry + 8);
    const std::uint32_t imageOffset = bytes.U32(entry + 12);

    const Bytes dib(bytes.Sub(imageOffset, imageSize), "CUR");
    if (dib.Size() >= 4 && dib.U8(0) == 0x89 && dib.U8(1) == 'P') {
        Fail("CUR: PNG images are not supported");
    }
    const DibHeader h = ReadDibHeader(dib, 0, "CUR");
    if (h.Compression != BiRgb) {
        Fail("CUR: compressed images are not supported");
    }
    if (h.BitCount != 1 && h.BitCount != 32) {
        Fail("CUR: only monochrome and 32-bit images are supported");
    }
    // The stored height covers the colour (XOR) rows and then the mask (AND) rows.
    if (h.Width <= 0 || h.Height <= 0 || h.Height % 2 != 0) {
        Fail("CUR: the image height does not hold the two masks");
    }
    const std::int32_t width = h.Width;
    const std::int32_t height = h.Height / 2;
    const std::size_t pixelCount = CheckedPixelCount(width, height, "CUR");
    if (width != entryWidth || height != entryHeight) {
        Fail("CUR: the directory and the image disagree on the size");
    }
    if (hotSpotX >= width || hotSpotY >= height) {
        Fail("CUR: the hot spot lies outside the image");
    }

    std::uint64_t at = h.HeaderSize;
    std::span<const std::uint8_t> palette;
    if (h.BitCount == 1) {
        const std::uint32_t entries = h.ColoursUsed == 0 ? 2 : h.ColoursUsed;
        if (entries > 2) {
            Fail("CUR: a monochrome palette has more than two entries");
        }
        palette = dib.Sub(at, std::uint64_t{entries} * 4);
        at += std::uint64_t{entries} * 4;
    }
    const std::uint64_t colourStride = RowStride(width, h.BitCount);
    const std::uint64_t maskStride = RowStride(width, 1);
    const auto colourRows = dib.Sub(at, colourStride * static_cast<std::uint64_t>(height));
    at += colourStride * static_cast<std::uint64_t>(height);
    const auto maskRows = dib.Sub(at, maskStride * static_cast<std::uint64_t>(height));

    CursorImage cursor;
    cursor.HotSpotX = hotSpotX;
    cursor.HotSpotY = hotSpotY;
    if (h.BitCount == 32) {
        cursor.Image =
            ReadTrueColourRows(colourRows, width, height, false, h.BitCount, DefaultMasks());
    } else {
        cursor.Image.Width = width;
        cursor.Image.Height = height;
        cursor.Image.Pixels.resize(pixelCount);
        for (std::int32_t y = 0; y < height; ++y) {
            const auto row = colourRows.subspan(static_cast<std::size_t>(height - 1 - y) *
                                                static_cast<std::size_t>(colourStride));
            for (std::int32_t x = 0; x < width; ++x) {
                const unsigned bit = (row[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1u;
                const std::size_t colour = std::size_t{bit} * 4;
                if (colour + 3 > palette.size()) {
                    Fail("CUR: a pixel names a colour the palette lacks");
                }
                cursor.Image.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                    static_cast<std::size_t>(x)] =
                    0xFF000000u | (std::uint32_t{palette[colour + 2]} << 16) |
                    (std::uint32_t{palette[colour + 1]} << 8) | palette[colour];
            }
        }
    }
    // Where the AND mask is set the screen shows through; such a pixel becomes
    // fully transparent, whatever its colour (an inverting pixel included).
    for (std::int32_t y = 0; y < height; ++y) {
        const auto row = maskRows.subspan(static_cast<std::size_t>(height - 1 - y) *
                                          static_cast<std::size_t>(maskStride));
        for (std::int32_t x = 0; x < width; ++x) {
            if (((row[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1u) != 0) {
                cursor.Image.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                    static_cast<std::size_t>(x)] = 0;
            }
        }
    }
    return cursor;
}

}  // namespace ponderix::platform
