// Decoding of BMP and CUR files built byte by byte here, so that every header
// field, every padding byte and every row order is stated explicitly.
#include "platform/Bitmap.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace ponderix::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Appends little-endian fields.
class Writer {
public:
    Writer& U8(std::uint32_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Writer& U16(std::uint32_t v) { return U8(v).U8(v >> 8); }
    Writer& U32(std::uint32_t v) { return U16(v).U16(v >> 16); }
    Writer& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    Writer& Raw(std::initializer_list<std::uint8_t> raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    Writer& Raw(const Bytes& raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    Writer& Zeros(std::size_t count) {
        bytes_.insert(bytes_.end(), count, 0);
        return *this;
    }
    std::size_t Size() const { return bytes_.size(); }
    Bytes Done() const { return bytes_; }

private:
    Bytes bytes_;
};

void PutU32(Bytes& file, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        file.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void PutU16(Bytes& file, std::size_t at, std::uint32_t v) {
    file.at(at) = static_cast<std::uint8_t>(v);
    file.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

// Field offsets inside a BMP file (file header, then BITMAPINFOHEADER).
constexpr std::size_t BfSize = 2;
constexpr std::size_t BfOffBits = 10;
constexpr std::size_t BiSize = 14;
constexpr std::size_t BiWidth = 18;
constexpr std::size_t BiHeight = 22;
constexpr std::size_t BiPlanes = 26;
constexpr std::size_t BiBitCount = 28;
constexpr std::size_t BiCompression = 30;

struct BmpHeader {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0;  // 0 BI_RGB, 1 BI_RLE8, 3 BI_BITFIELDS
    std::uint32_t ColoursUsed = 0;  // palette entries (0: all 256)
    std::uint32_t HeaderSize = 40;  // 40, 108 (V4) or 124 (V5)
    std::vector<std::uint32_t>
        Masks{};          // after a 40-byte header (or the palette), or inside a larger one
    std::size_t Gap = 0;  // unused bytes between the headers and the pixels
};

// A BMP file: the headers described by h, then the stored rows exactly as given.
Bytes MakeBmp(const BmpHeader& h, const Bytes& rows) {
    Writer info;
    info.U32(h.HeaderSize).I32(h.Width).I32(h.Height).U16(1).U16(h.BitCount).U32(h.Compression);
    info.U32(static_cast<std::uint32_t>(rows.size())).U32(3780).U32(3780).U32(h.ColoursUsed).U32(0);
    if (h.HeaderSize > 40) {
        for (std::size_t i = 0; i < 4; ++i) {
            info.U32(i < h.Masks.size() ? h.Masks[i] : 0);
        }
        info.Zeros(h.HeaderSize - info.Size());
    } else {
        for (const std::uint32_t mask : h.Masks) {
            info.U32(mask);
        }
    }
    info.Zeros(h.Gap);
    const Bytes infoBytes = info.Done();
    const auto offBits = static_cast<std::uint32_t>(14 + infoBytes.size());
    Writer file;
    file.Raw({'B', 'M'}).U32(offBits + static_cast<std::uint32_t>(rows.size())).U32(0).U32(offBits);
    return file.Raw(infoBytes).Raw(rows).Done();
}

struct DecodeCase {
    const char* Name;
    Bytes File;
    int Width;
    int Height;
    std::vector<std::uint32_t> Pixels;  // top row first
};

// Two palette entries, as BMP stores them: blue, green, red, unused.
const std::vector<std::uint32_t> TwoColours{0x00112233, 0x00445566};

std::vector<DecodeCase> DecodeCases() {
    return {
        {"8-bit palette indices, rows bottom-up and padded",
         MakeBmp({.Width = 3, .Height = 2, .BitCount = 8, .ColoursUsed = 2, .Masks = TwoColours},
                 {1, 0, 1, 0xEE, 0, 0, 1, 0xEE}),
         3,
         2,
         {0xFF112233, 0xFF112233, 0xFF445566, 0xFF445566, 0xFF112233, 0xFF445566}},
        {"8-bit run-length encoded: a run, literal indices, the ends of row and picture",
         MakeBmp({.Width = 3,
                  .Height = 2,
                  .BitCount = 8,
                  .Compression = 1,
                  .ColoursUsed = 2,
                  .Masks = TwoColours},
                 {2, 1, 1, 0, 0, 0, 0, 3, 0, 1, 1, 0, 0, 1}),
         3,
         2,
         {0xFF112233, 0xFF445566, 0xFF445566, 0xFF445566, 0xFF445566, 0xFF112233}},
        {"8-bit run-length encoded with a jump: skipped pixels keep the first colour",
         MakeBmp({.Width = 3,
                  .Height = 2,
                  .BitCount = 8,
                  .Compression = 1,
                  .ColoursUsed = 2,
                  .Masks = TwoColours},
                 {0, 2, 1, 1, 2, 1, 0, 1}),
         3,
         2,
         {0xFF112233, 0xFF445566, 0xFF445566, 0xFF112233, 0xFF112233, 0xFF112233}},
        {"24-bit rows bottom-up, each padded to four bytes",
         MakeBmp({.Width = 3, .Height = 2},
                 {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,  // bottom row: B, G, R
                  10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE}),
         3,
         2,
         {0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110, 0xFF030201, 0xFF060504, 0xFF090807}},
        {"24-bit one pixel wide, one padding byte per row",
         MakeBmp({.Width = 1, .Height = 3}, {0, 0, 255, 0xEE, 0, 255, 0, 0xEE, 255, 0, 0, 0xEE}),
         1,
         3,
         {0xFF0000FF, 0xFF00FF00, 0xFFFF0000}},
        {"32-bit BI_RGB rows top-down keep their alpha",
         MakeBmp({.Width = 2, .Height = -2, .BitCount = 32},
                 {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80,  // top row: B, G, R, A
                  0x70, 0x80, 0x90, 0x00, 0xA0, 0xB0, 0xC0, 0x01}),
         2,
         2,
         {0xFF302010, 0x80605040, 0x00908070, 0x01C0B0A0}},
        {"32-bit BI_RGB with the fourth byte unused everywhere is opaque",
         MakeBmp({.Width = 2, .Height = 1, .BitCount = 32}, {1, 2, 3, 0, 4, 5, 6, 0}),
         2,
         1,
         {0xFF030201, 0xFF060504}},
        {"bitfields after a BITMAPINFOHEADER, red in the low byte, no alpha mask",
         MakeBmp({.Width = 2,
                  .Height = 1,
                  .BitCount = 32,
                  .Compression = 3,
                  .Masks = {0x000000FF, 0x0000FF00, 0x00FF0000}},
                 {0x11, 0x22, 0x33, 0x00, 0x44, 0x55, 0x66, 0x99}),
         2,
         1,
         {0xFF112233, 0xFF445566}},
        {"bitfields in a V5 header with an alpha mask, bottom-up",
         MakeBmp({.Width = 1,
                  .Height = 2,
                  .BitCount = 32,
                  .Compression = 3,
                  .HeaderSize = 124,
                  .Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
                 {0x01, 0x02, 0x03, 0x40,  // bottom
                  0x04, 0x05, 0x06, 0xFF}),
         1,
         2,
         {0xFF060504, 0x40030201}},
        {"bitfields in a V4 header with alpha in the low byte",
         MakeBmp({.Width = 1,
                  .Height = 1,
                  .BitCount = 32,
                  .Compression = 3,
                  .HeaderSize = 108,
                  .Masks = {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}},
                 {0x7F, 0x30, 0x20, 0x10}),  // A, B, G, R
         1,
         1,
         {0x7F102030}},
        {"narrow masks (5-6-5) are scaled to the full 0..255 range",
         MakeBmp({.Width = 3,
                  .Height = 1,
                  .BitCount = 32,
                  .Compression = 3,
                  .Masks = {0xF800, 0x07E0, 0x001F}},
                 {0xFF, 0xFF, 0, 0, 0x10, 0x84, 0, 0, 0, 0, 0, 0}),
         3,
         1,
         {0xFFFFFFFF, 0xFF848284, 0xFF000000}},
        {"a V4 header with BI_RGB ignores the masks it carries",
         MakeBmp({.Width = 1,
                  .Height = 1,
                  .HeaderSize = 108,
                  .Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0}},
                 {0x0A, 0x0B, 0x0C, 0}),
         1,
         1,
         {0xFF0C0B0A}},
        {"pixels found through the pixel offset, past unused bytes",
         MakeBmp({.Width = 1, .Height = 1, .Gap = 8}, {0x01, 0x02, 0x03, 0}),
         1,
         1,
         {0xFF030201}},
    };
}

TEST(DecodeBmp, DecodesEachLayoutToTopDownArgb) {
    for (const DecodeCase& c : DecodeCases()) {
        SCOPED_TRACE(c.Name);
        const Bitmap bitmap = DecodeBmp(c.File);
        EXPECT_EQ(bitmap.Width, c.Width);
        EXPECT_EQ(bitmap.Height, c.Height);
        EXPECT_EQ(bitmap.Pixels, c.Pixels);
    }
}

TEST(DecodeBmp, EveryShortenedFileThrows) {
    for (const DecodeCase& c : DecodeCases()) {
        SCOPED_TRACE(c.Name);
        Bytes file = c.File;
        PutU32(file, BfSize, 0);  // so that only the headers and rows can tell
        ASSERT_NO_THROW(DecodeBmp(file));
        for (std::size_t length = 0; length < file.size(); ++length) {
            const Bytes shortened(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_THROW(DecodeBmp(shortened), PlatformError) << "length " << length;
        }
    }
}

struct BadCase {
    const char* Name;
    std::function<void(Bytes&)> Damage;
};

// Damage done to a valid 3 x 2 24-bit file (54 header bytes, 24 pixel bytes).
std::vector<BadCase> BadBmpCases() {
    return {
        {"empty file", [](Bytes& f) { f.clear(); }},
        {"signature only", [](Bytes& f) { f.resize(2); }},
        {"wrong signature", [](Bytes& f) { f[1] = 'A'; }},
        {"file size larger than the file", [](Bytes& f) { PutU32(f, BfSize, 79); }},
        {"OS/2 core header", [](Bytes& f) { PutU32(f, BiSize, 12); }},
        {"header longer than the file", [](Bytes& f) { PutU32(f, BiSize, 1000); }},
        {"8-bit palette picture", [](Bytes& f) { PutU16(f, BiBitCount, 8); }},
        {"16-bit picture", [](Bytes& f) { PutU16(f, BiBitCount, 16); }},
        {"run-length compressed", [](Bytes& f) { PutU32(f, BiCompression, 1); }},
        {"bitfields on a 24-bit picture", [](Bytes& f) { PutU32(f, BiCompression, 3); }},
        {"PNG inside", [](Bytes& f) { PutU32(f, BiCompression, 5); }},
        {"two planes", [](Bytes& f) { PutU16(f, BiPlanes, 2); }},
        {"zero width", [](Bytes& f) { PutU32(f, BiWidth, 0); }},
        {"negative width", [](Bytes& f) { PutU32(f, BiWidth, 0xFFFFFFFD); }},
        {"zero height", [](Bytes& f) { PutU32(f, BiHeight, 0); }},
        {"most negative height", [](Bytes& f) { PutU32(f, BiHeight, 0x80000000); }},
        {"width larger than the rows hold", [](Bytes& f) { PutU32(f, BiWidth, 5); }},
        {"height larger than the rows hold", [](Bytes& f) { PutU32(f, BiHeight, 3); }},
        {"absurd width", [](Bytes& f) { PutU32(f, BiWidth, 0x7FFFFFFF); }},
        {"too many pixels for the cap",
         [](Bytes& f) {
             PutU32(f, BiWidth, 10000);
             PutU32(f, BiHeight, 10000);
         }},
        {"pixel offset inside the header", [](Bytes& f) { PutU32(f, BfOffBits, 40); }},
        {"pixel offset past the end", [](Bytes& f) { PutU32(f, BfOffBits, 0xFFFFFFF0); }},
        {"last padding byte missing", [](Bytes& f) { f.pop_back(); }},
    };
}

TEST(DecodeBmp, RejectsDamagedFiles) {
    const Bytes valid = MakeBmp({.Width = 3, .Height = 2}, Bytes(24, 0x55));
    ASSERT_NO_THROW(DecodeBmp(valid));
    for (const BadCase& c : BadBmpCases()) {
        SCOPED_TRACE(c.Name);
        Bytes file = valid;
        c.Damage(file);
        EXPECT_THROW(DecodeBmp(file), PlatformError);
    }
}

TEST(DecodeBmp, RejectsRunLengthDataThatDoesNotFitThePicture) {
    const struct {
        const char* Name;
        std::uint32_t ColoursUsed;
        Bytes Data;
    } cases[] = {
        {"a run past the end of its row", 2, {4, 0, 0, 1}},
        {"literal indices past the end of the row", 2, {0, 4, 0, 0, 0, 0, 0, 1}},
        {"a jump above the top row", 2, {0, 2, 0, 5, 1, 0, 0, 1}},
        {"an index the palette lacks", 2, {1, 2, 0, 1}},
        {"no end of picture", 2, {1, 1}},
        {"a palette of more than 256 colours", 257, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const Bytes file = MakeBmp({.Width = 3,
                                    .Height = 2,
                                    .BitCount = 8,
                                    .Compression = 1,
                                    .ColoursUsed = c.ColoursUsed,
                                    .Masks = TwoColours},
                                   c.Data);
        EXPECT_THROW(DecodeBmp(file), PlatformError);
    }
    const Bytes topDown = MakeBmp({.Width = 3,
                                   .Height = -2,
                                   .BitCount = 8,
                                   .Compression = 1,
                                   .ColoursUsed = 2,
                                   .Masks = TwoColours},
                                  {0, 1});
    EXPECT_THROW(DecodeBmp(topDown), PlatformError) << "run-length rows are bottom-up only";
}

TEST(DecodeBmp, RejectsUnusableMasks) {
    const struct {
        const char* Name;
        std::vector<std::uint32_t> Masks;
    } cases[] = {
        {"empty red mask", {0, 0x0000FF00, 0x000000FF}},
        {"empty blue mask", {0x00FF0000, 0x0000FF00, 0}},
        {"red bits not contiguous", {0x00F0F000, 0x00000F00, 0x000000FF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const Bytes file =
            MakeBmp({.Width = 1, .Height = 1, .BitCount = 32, .Compression = 3, .Masks = c.Masks},
                    {1, 2, 3, 4});
        EXPECT_THROW(DecodeBmp(file), PlatformError);
    }
}

// Overwriting any header byte with an extreme value gives a picture or a
// PlatformError, nothing else (under the sanitizers: no stray read either).
TEST(DecodeBmp, SurvivesAnyDamagedHeaderByte) {
    for (const DecodeCase& c : DecodeCases()) {
        SCOPED_TRACE(c.Name);
        for (std::size_t at = 0; at < 70 && at < c.File.size(); ++at) {
            for (const int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                Bytes file = c.File;
                file[at] = static_cast<std::uint8_t>(value);
                try {
                    const Bitmap bitmap = DecodeBmp(file);
                    EXPECT_EQ(bitmap.Pixels.size(), static_cast<std::size_t>(bitmap.Width) *
                                                        static_cast<std::size_t>(bitmap.Height));
                } catch (const PlatformError&) {
                }
            }
        }
    }
}

// ---- cursors

struct CurImage {
    std::uint8_t EntryWidth = 0;
    std::uint8_t EntryHeight = 0;
    std::uint16_t HotSpotX = 0;
    std::uint16_t HotSpotY = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;  // as stored: twice the picture's height
    std::uint16_t BitCount = 1;
    std::uint32_t ColoursUsed = 0;
    std::uint32_t Compression = 0;
    Bytes Palette{};  // B, G, R, 0 per entry
    Bytes ColourRows{};
    Bytes MaskRows{};
};

Bytes MakeCur(const CurImage& c, std::uint16_t type = 2, std::uint16_t count = 1) {
    Writer dib;
    dib.U32(40).I32(c.Width).I32(c.Height).U16(1).U16(c.BitCount).U32(c.Compression);
    dib.U32(0).U32(0).U32(0).U32(c.ColoursUsed).U32(0);
    dib.Raw(c.Palette).Raw(c.ColourRows).Raw(c.MaskRows);
    const Bytes image = dib.Done();
    Writer file;
    file.U16(0).U16(type).U16(count);
    file.U8(c.EntryWidth).U8(c.EntryHeight).U8(0).U8(0).U16(c.HotSpotX).U16(c.HotSpotY);
    file.U32(static_cast<std::uint32_t>(image.size())).U32(22);
    return file.Raw(image).Done();
}

// 3 x 2, black and white, hot spot (2, 1). Rows are stored bottom-up and padded to
// four bytes; the top row is white, black, white, the bottom row black, white,
// black; the AND mask clears the top-left and bottom-right pixels.
CurImage MonochromeCursor() {
    return {.EntryWidth = 3,
            .EntryHeight = 2,
            .HotSpotX = 2,
            .HotSpotY = 1,
            .Width = 3,
            .Height = 4,
            .BitCount = 1,
            .Palette = {0, 0, 0, 0, 255, 255, 255, 0},
            .ColourRows = {0b01000000, 0, 0, 0,   // bottom: black, white, black
                           0b10100000, 0, 0, 0},  // top: white, black, white
            .MaskRows = {0b00100000, 0, 0, 0,     // bottom: right pixel transparent
                         0b10000000, 0, 0, 0}};   // top: left pixel transparent
}

// 2 x 2, 32-bit with alpha; the AND mask clears the bottom-left pixel.
CurImage ColourCursor() {
    return {.EntryWidth = 2,
            .EntryHeight = 2,
            .HotSpotX = 1,
            .HotSpotY = 0,
            .Width = 2,
            .Height = 4,
            .BitCount = 32,
            .ColourRows = {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0xFF,   // bottom
                           0x07, 0x08, 0x09, 0x80, 0x0A, 0x0B, 0x0C, 0xFF},  // top
            .MaskRows = {0b10000000, 0, 0, 0, 0, 0, 0, 0}};
}

struct CursorCase {
    const char* Name;
    Bytes File;
    int Width;
    int Height;
    int HotSpotX;
    int HotSpotY;
    std::vector<std::uint32_t> Pixels;  // top row first
};

std::vector<CursorCase> CursorCases() {
    CurImage noAlpha = ColourCursor();
    for (std::size_t i = 3; i < noAlpha.ColourRows.size(); i += 4) {
        noAlpha.ColourRows[i] = 0;
    }
    CurImage reversedPalette = MonochromeCursor();
    reversedPalette.Palette = {255, 255, 255, 0, 0, 0, 0, 0};
    reversedPalette.ColoursUsed = 2;
    return {
        {"monochrome, AND mask makes pixels transparent",
         MakeCur(MonochromeCursor()),
         3,
         2,
         2,
         1,
         {0x00000000, 0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0x00000000}},
        {"monochrome colours come from the palette",
         MakeCur(reversedPalette),
         3,
         2,
         2,
         1,
         {0x00000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000, 0x00000000}},
        {"32-bit keeps its alpha, AND mask still clears",
         MakeCur(ColourCursor()),
         2,
         2,
         1,
         0,
         {0x80090807, 0xFF0C0B0A, 0x00000000, 0xFF060504}},
        {"32-bit without alpha is opaque where the mask allows",
         MakeCur(noAlpha),
         2,
         2,
         1,
         0,
         {0xFF090807, 0xFF0C0B0A, 0x00000000, 0xFF060504}},
    };
}

TEST(DecodeCursor, DecodesImageHotSpotAndMask) {
    for (const CursorCase& c : CursorCases()) {
        SCOPED_TRACE(c.Name);
        const CursorImage cursor = DecodeCursor(c.File);
        EXPECT_EQ(cursor.Image.Width, c.Width);
        EXPECT_EQ(cursor.Image.Height, c.Height);
        EXPECT_EQ(cursor.HotSpotX, c.HotSpotX);
        EXPECT_EQ(cursor.HotSpotY, c.HotSpotY);
        EXPECT_EQ(cursor.Image.Pixels, c.Pixels);
    }
}

TEST(DecodeCursor, EveryShortenedFileThrows) {
    for (const CursorCase& c : CursorCases()) {
        SCOPED_TRACE(c.Name);
        for (std::size_t length = 0; length < c.File.size(); ++length) {
            const Bytes shortened(c.File.begin(),
                                  c.File.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_THROW(DecodeCursor(shortened), PlatformError) << "length " << length;
        }
    }
}

TEST(DecodeCursor, RejectsWhatIsNotAUsableCursor) {
    const auto with = [](std::function<void(CurImage&)> change) {
        CurImage image = MonochromeCursor();
        change(image);
        return MakeCur(image);
    };
    const struct {
        const char* Name;
        Bytes File;
    } cases[] = {
        {"an icon, not a cursor", MakeCur(MonochromeCursor(), 1)},
        {"no image in the directory", MakeCur(MonochromeCursor(), 2, 0)},
        {"directory names more images than it holds", MakeCur(MonochromeCursor(), 2, 9)},
        {"image height not doubled", with([](CurImage& c) { c.Height = 2; })},
        {"odd image height", with([](CurImage& c) { c.Height = 5; })},
        {"negative image height", with([](CurImage& c) { c.Height = -4; })},
        {"directory width differs", with([](CurImage& c) { c.EntryWidth = 4; })},
        {"directory height differs", with([](CurImage& c) { c.EntryHeight = 4; })},
        {"hot spot right of the image", with([](CurImage& c) { c.HotSpotX = 3; })},
        {"hot spot below the image", with([](CurImage& c) { c.HotSpotY = 2; })},
        {"4-bit image", with([](CurImage& c) { c.BitCount = 4; })},
        {"compressed image", with([](CurImage& c) { c.Compression = 3; })},
        {"palette of three", with([](CurImage& c) { c.ColoursUsed = 3; })},
        {"palette of one, but a pixel uses the second colour",
         with([](CurImage& c) { c.ColoursUsed = 1; })},
        {"AND mask cut short", with([](CurImage& c) { c.MaskRows.pop_back(); })},
        {"image offset past the end",
         [] {
             Bytes file = MakeCur(MonochromeCursor());
             PutU32(file, 18, 0xFFFFFFF0);
             return file;
         }()},
        {"image size past the end",
         [] {
             Bytes file = MakeCur(MonochromeCursor());
             PutU32(file, 14, 0xFFFFFFF0);
             return file;
         }()},
        {"PNG image",
         [] {
             Bytes file = MakeCur(MonochromeCursor());
             const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
             std::copy(png.begin(), png.end(), file.begin() + 22);
             return file;
         }()},
    };
    ASSERT_NO_THROW(DecodeCursor(MakeCur(MonochromeCursor())));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(DecodeCursor(c.File), PlatformError);
    }
}

TEST(DecodeCursor, RejectsABmpFile) {
    const Bytes bmp = MakeBmp({.Width = 1, .Height = 1}, {1, 2, 3, 0});
    EXPECT_THROW(DecodeCursor(bmp), PlatformError);
}

}  // namespace
}  // namespace ponderix::platform
