// The committed pictures, read the way the program reads them (embedded bytes,
// then the shared decoder), checked against what each picture must show.
#include "assets/Assets.h"
#include "platform/Bitmap.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace ponderix::assets {
namespace {

using platform::Bitmap;

struct Rgb {
    int Red;
    int Green;
    int Blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) {
        return out << "RGB(" << c.Red << ", " << c.Green << ", " << c.Blue << ")";
    }
};

constexpr Rgb Grey{128, 128, 128};
constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};

Rgb ColourAt(const Bitmap& bitmap, int x, int y) {
    const std::uint32_t p = bitmap.At(x, y);
    return {platform::RedOf(p), platform::GreenOf(p), platform::BlueOf(p)};
}

int Brightness(const Rgb& c) {
    return c.Red + c.Green + c.Blue;
}

std::span<const std::uint8_t> Asset(const std::string& name) {
    const auto bytes = FindAsset(name);
    if (bytes.empty()) {
        ADD_FAILURE() << name << " is not embedded";
    }
    return bytes;
}

Bitmap LoadBmp(const std::string& name) {
    return platform::DecodeBmp(Asset(name));
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

const std::vector<std::string> AllFiles = {
    "background.bmp",   "banner.bmp",       "calculate.bmp",        "calculate_lit.bmp",
    "hand.cur",         "key_close.bmp",    "key_close_lit.bmp",    "key_help.bmp",
    "key_help_lit.bmp", "key_minimise.bmp", "key_minimise_lit.bmp", "ponderix.ico"};

TEST(Assets, EveryFileIsEmbeddedByteForByte) {
    for (const std::string& name : AllFiles) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(PONDERIX_ASSETS_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(file) << "cannot open the committed file";
        const std::vector<std::uint8_t> onDisk{std::istreambuf_iterator<char>(file), {}};
        const auto embedded = FindAsset(name);
        EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), onDisk.begin(), onDisk.end()));
    }
}

TEST(Assets, UnknownNamesFindNothing) {
    for (const char* name : {"", "missing.bmp", "BACKGROUND.BMP", "background", "assets/hand.cur",
                             "background.bmp "}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(FindAsset(name).empty());
    }
}

TEST(Assets, BitmapsHaveTheirSizeAndDepth) {
    const struct {
        const char* Name;
        int Width;
        int Height;
        int BitCount;
    } cases[] = {
        {"background.bmp", 489, 406, 24},     {"key_help.bmp", 21, 21, 24},
        {"key_help_lit.bmp", 21, 21, 24},     {"key_minimise.bmp", 21, 21, 24},
        {"key_minimise_lit.bmp", 21, 21, 24}, {"key_close.bmp", 21, 21, 24},
        {"key_close_lit.bmp", 21, 21, 24},    {"calculate.bmp", 151, 40, 24},
        {"calculate_lit.bmp", 151, 40, 24},   {"banner.bmp", 375, 60, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto bytes = Asset(c.Name);
        ASSERT_GT(bytes.size(), 30u);
        EXPECT_EQ(LittleEndian(bytes, 28, 2), static_cast<std::uint32_t>(c.BitCount));
        const Bitmap bitmap = platform::DecodeBmp(bytes);
        EXPECT_EQ(bitmap.Width, c.Width);
        EXPECT_EQ(bitmap.Height, c.Height);
    }
}

// ---- window background: 489 x 406

constexpr int BackgroundRight = 488;
constexpr int BackgroundBottom = 405;

struct EdgeCase {
    const char* Name;
    int X;  // the outermost pixel of the edge, in the middle of its side
    int Y;
    int StepX;  // one pixel inwards
    int StepY;
    std::vector<Rgb> Colours;  // outermost first
};

std::vector<EdgeCase> BackgroundEdges() {
    const std::vector<Rgb> outerLight = {{0, 142, 208}, {0, 150, 221}, {0, 151, 221},
                                         {0, 148, 217}, {0, 142, 208}, {0, 134, 196}};
    const std::vector<Rgb> outerDark = {{0, 60, 88},  {0, 61, 90},   {0, 82, 120},
                                        {0, 98, 144}, {0, 112, 165}, {0, 124, 182}};
    const std::vector<Rgb> innerDark = {{0, 40, 60}, {0, 41, 61},  {0, 55, 82},
                                        {0, 66, 98}, {0, 75, 112}, {0, 83, 124}};
    const std::vector<Rgb> innerLight = {{0, 95, 142}, {0, 100, 150}, {0, 101, 150},
                                         {0, 99, 147}, {0, 95, 141},  {0, 89, 134}};
    return {
        {"outer left", 0, 203, 1, 0, outerLight},
        {"outer top", 244, 0, 0, 1, outerLight},
        {"outer right", BackgroundRight, 203, -1, 0, outerDark},
        {"outer bottom", 244, BackgroundBottom, 0, -1, outerDark},
        {"inner left", 17, 217, 1, 0, innerDark},
        {"inner top", 242, 77, 0, 1, innerDark},
        {"inner right", 468, 217, -1, 0, innerLight},
        {"inner bottom", 242, 358, 0, -1, innerLight},
    };
}

TEST(Background, EdgesHaveTheirSixShades) {
    const Bitmap background = LoadBmp("background.bmp");
    for (const EdgeCase& edge : BackgroundEdges()) {
        SCOPED_TRACE(edge.Name);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(ColourAt(background, edge.X + k * edge.StepX, edge.Y + k * edge.StepY),
                      edge.Colours[static_cast<std::size_t>(k)])
                << "pixel " << k << " from the outside";
        }
    }
}

TEST(Background, FacesAndTheInnerPanelsExtent) {
    constexpr Rgb Outer{0, 130, 191};
    constexpr Rgb Inner{0, 87, 130};
    const struct {
        const char* Name;
        int X;
        int Y;
        Rgb Colour;
    } cases[] = {
        {"outer face inside the left edge", 6, 203, Outer},
        {"outer face inside the right edge", BackgroundRight - 6, 203, Outer},
        {"outer face inside the top edge", 244, 6, Outer},
        {"outer face inside the bottom edge", 244, BackgroundBottom - 6, Outer},
        {"top band", 200, 40, Outer},
        {"left of the inner panel", 16, 217, Outer},
        {"right of the inner panel", 469, 217, Outer},
        {"above the inner panel", 242, 76, Outer},
        {"below the inner panel", 242, 359, Outer},
        {"inner panel's first column", 17, 217, {0, 40, 60}},
        {"inner panel's last column", 468, 217, {0, 95, 142}},
        {"inner panel's first row", 242, 77, {0, 40, 60}},
        {"inner panel's last row", 242, 358, {0, 95, 142}},
        {"inner face, top-left", 23, 83, Inner},
        {"inner face, bottom-right", 462, 352, Inner},
        {"inner face, centre", 242, 217, Inner},
    };
    const Bitmap background = LoadBmp("background.bmp");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ColourAt(background, c.X, c.Y), c.Colour);
    }
}

// At each corner three pixels of the first row and of the first column are grey,
// and the next pixel along the row (and the column) lies between the grey and the
// edge colour beyond it.
TEST(Background, CornersAreCutToGreyAndBlended) {
    const Bitmap background = LoadBmp("background.bmp");
    const struct {
        const char* Name;
        int X;
        int Y;
        int InX;  // towards the inside
        int InY;
    } corners[] = {
        {"top-left", 0, 0, 1, 1},
        {"top-right", BackgroundRight, 0, -1, 1},
        {"bottom-left", 0, BackgroundBottom, 1, -1},
        {"bottom-right", BackgroundRight, BackgroundBottom, -1, -1},
    };
    const auto between = [](int value, int a, int b) {
        return value > std::min(a, b) - 1 && value < std::max(a, b) + 1;
    };
    for (const auto& c : corners) {
        SCOPED_TRACE(c.Name);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(ColourAt(background, c.X + k * c.InX, c.Y), Grey) << "row pixel " << k;
            EXPECT_EQ(ColourAt(background, c.X, c.Y + k * c.InY), Grey) << "column pixel " << k;
        }
        const struct {
            int X, Y, BeyondX, BeyondY;
        } blends[] = {
            {c.X + 3 * c.InX, c.Y, c.X + 4 * c.InX, c.Y},
            {c.X, c.Y + 3 * c.InY, c.X, c.Y + 4 * c.InY},
        };
        for (const auto& b : blends) {
            const Rgb blend = ColourAt(background, b.X, b.Y);
            const Rgb edge = ColourAt(background, b.BeyondX, b.BeyondY);
            EXPECT_NE(blend, Grey);
            EXPECT_NE(blend, edge);
            EXPECT_TRUE(between(blend.Red, Grey.Red, edge.Red) &&
                        between(blend.Green, Grey.Green, edge.Green) &&
                        between(blend.Blue, Grey.Blue, edge.Blue))
                << blend << " is not between " << Grey << " and " << edge;
        }
    }
}

// ---- title-bar keys: 21 x 21

struct Box {
    int Left;
    int Top;
    int Right;  // inclusive
    int Bottom;
    bool Contains(int x, int y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
};

struct KeyCase {
    const char* Name;
    const char* LitName;
    Box GlyphArea;  // every black pixel lies in it
    std::vector<std::pair<int, int>> MustBeBlack;
};

std::vector<KeyCase> TitleKeys() {
    std::vector<std::pair<int, int>> bar;
    for (int x = 7; x <= 13; ++x) {
        bar.emplace_back(x, 13);
    }
    return {
        {"key_help.bmp", "key_help_lit.bmp", {6, 3, 14, 14}, {}},
        {"key_minimise.bmp", "key_minimise_lit.bmp", {7, 13, 13, 13}, bar},
        {"key_close.bmp",
         "key_close_lit.bmp",
         {7, 4, 13, 12},
         {{7, 4}, {13, 4}, {10, 8}, {7, 12}, {13, 12}}},
    };
}

TEST(TitleKeys, FaceBevelAndGreyCorners) {
    constexpr Rgb Face{128, 160, 192};
    for (const KeyCase& key : TitleKeys()) {
        SCOPED_TRACE(key.Name);
        const Bitmap bitmap = LoadBmp(key.Name);
        EXPECT_EQ(ColourAt(bitmap, 4, 16), Face);
        EXPECT_EQ(ColourAt(bitmap, 16, 4), Face);
        for (const auto& [x, y] : {std::pair{0, 0}, {20, 0}, {0, 20}, {20, 20}}) {
            EXPECT_EQ(ColourAt(bitmap, x, y), Grey) << "corner " << x << ", " << y;
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_GT(Brightness(ColourAt(bitmap, 10, k)), Brightness(Face)) << "top " << k;
            EXPECT_GT(Brightness(ColourAt(bitmap, k, 10)), Brightness(Face)) << "left " << k;
            EXPECT_LT(Brightness(ColourAt(bitmap, 10, 20 - k)), Brightness(Face)) << "bottom " << k;
            EXPECT_LT(Brightness(ColourAt(bitmap, 20 - k, 10)), Brightness(Face)) << "right " << k;
        }
    }
}

TEST(TitleKeys, GlyphIsBlackAndInItsPlace) {
    for (const KeyCase& key : TitleKeys()) {
        SCOPED_TRACE(key.Name);
        const Bitmap bitmap = LoadBmp(key.Name);
        int blackPixels = 0;
        for (int y = 0; y < bitmap.Height; ++y) {
            for (int x = 0; x < bitmap.Width; ++x) {
                if (ColourAt(bitmap, x, y) == Black) {
                    ++blackPixels;
                    EXPECT_TRUE(key.GlyphArea.Contains(x, y)) << "black at " << x << ", " << y;
                }
            }
        }
        EXPECT_GE(blackPixels, 7);
        for (const auto& [x, y] : key.MustBeBlack) {
            EXPECT_EQ(ColourAt(bitmap, x, y), Black) << "at " << x << ", " << y;
        }
    }
}

TEST(TitleKeys, QuestionMarkSitsInTheUpperMiddle) {
    const Bitmap bitmap = LoadBmp("key_help.bmp");
    int top = bitmap.Height;
    int bottom = -1;
    int left = bitmap.Width;
    int right = -1;
    for (int y = 0; y < bitmap.Height; ++y) {
        for (int x = 0; x < bitmap.Width; ++x) {
            if (ColourAt(bitmap, x, y) == Black) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_LE(top + bottom, 2 * 10);  // centre at or above the key's middle row
    EXPECT_NEAR((left + right) / 2.0, 10.0, 1.0);
    EXPECT_GE(bottom - top + 1, 8);  // a glyph, not a dot
}

// The lit key is the key with every channel of every pixel raised by 29.
TEST(TitleKeys, LitKeyIsTheKeyRaisedBy29) {
    for (const KeyCase& key : TitleKeys()) {
        SCOPED_TRACE(key.LitName);
        const Bitmap normal = LoadBmp(key.Name);
        const Bitmap lit = LoadBmp(key.LitName);
        ASSERT_EQ(lit.Width, normal.Width);
        ASSERT_EQ(lit.Height, normal.Height);
        for (int y = 0; y < normal.Height; ++y) {
            for (int x = 0; x < normal.Width; ++x) {
                const Rgb n = ColourAt(normal, x, y);
                const Rgb expected{std::min(255, n.Red + 29), std::min(255, n.Green + 29),
                                   std::min(255, n.Blue + 29)};
                ASSERT_EQ(ColourAt(lit, x, y), expected) << "at " << x << ", " << y;
            }
        }
        EXPECT_EQ(ColourAt(lit, 4, 16), (Rgb{157, 189, 221}));
        EXPECT_EQ(ColourAt(lit, 0, 0), (Rgb{157, 157, 157}));
        if (!key.MustBeBlack.empty()) {
            const auto [x, y] = key.MustBeBlack.front();
            EXPECT_EQ(ColourAt(lit, x, y), (Rgb{29, 29, 29}));
        }
    }
}

// ---- calculate key: 151 x 40

TEST(CalculateKey, FaceBevelCornersAndLettering) {
    const struct {
        const char* Name;
        Rgb Face;
    } cases[] = {
        {"calculate.bmp", {0, 128, 192}},
        {"calculate_lit.bmp", {5, 159, 235}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const Bitmap key = LoadBmp(c.Name);
        EXPECT_EQ(ColourAt(key, 5, 20), c.Face);
        EXPECT_EQ(ColourAt(key, 145, 20), c.Face);
        EXPECT_EQ(ColourAt(key, 75, 5), c.Face);
        for (const auto& [x, y] : {std::pair{0, 0}, {150, 0}, {0, 39}, {150, 39}}) {
            EXPECT_EQ(ColourAt(key, x, y), Grey) << "corner " << x << ", " << y;
        }
        for (int k = 0; k < 4; ++k) {
            EXPECT_GT(Brightness(ColourAt(key, 75, k)), Brightness(c.Face)) << "top " << k;
            EXPECT_GT(Brightness(ColourAt(key, k, 20)), Brightness(c.Face)) << "left " << k;
            EXPECT_LT(Brightness(ColourAt(key, 75, 39 - k)), Brightness(c.Face)) << "bottom " << k;
            EXPECT_LT(Brightness(ColourAt(key, 150 - k, 20)), Brightness(c.Face)) << "right " << k;
        }
        // The lettering: white, centred, about 14 pixels high, clear of the bevel.
        int whitePixels = 0;
        int left = key.Width;
        int right = -1;
        int top = key.Height;
        int bottom = -1;
        for (int y = 4; y < key.Height - 4; ++y) {
            for (int x = 4; x < key.Width - 4; ++x) {
                const Rgb p = ColourAt(key, x, y);
                whitePixels += p == White ? 1 : 0;
                if (p.Red >= 128 && p.Red > p.Blue - 20) {  // mostly lettering
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_GE(whitePixels, 200);
        EXPECT_GT(left, 4);
        EXPECT_LT(right, 146);
        EXPECT_GT(top, 4);
        EXPECT_LT(bottom, 35);
        EXPECT_NEAR((left + right) / 2.0, 75.0, 1.5);
        EXPECT_NEAR((top + bottom) / 2.0, 19.5, 1.5);
        EXPECT_GE(bottom - top + 1, 14);
        EXPECT_LE(bottom - top + 1, 16);
    }
}

TEST(CalculateKey, OutermostDarkBevel) {
    const Bitmap key = LoadBmp("calculate.bmp");
    EXPECT_EQ(ColourAt(key, 75, 39), (Rgb{0, 59, 89}));
    EXPECT_EQ(ColourAt(key, 150, 20), (Rgb{0, 59, 89}));
}

TEST(CalculateKey, LitKeyKeepsTheLettering) {
    const Bitmap normal = LoadBmp("calculate.bmp");
    const Bitmap lit = LoadBmp("calculate_lit.bmp");
    for (int y = 0; y < normal.Height; ++y) {
        for (int x = 0; x < normal.Width; ++x) {
            if (ColourAt(normal, x, y) == White) {
                EXPECT_EQ(ColourAt(lit, x, y), White) << "at " << x << ", " << y;
            }
        }
    }
}

// ---- banner

TEST(Banner, IsOpaqueAndNotBlank) {
    const Bitmap banner = LoadBmp("banner.bmp");
    std::set<std::uint32_t> colours;
    for (const std::uint32_t p : banner.Pixels) {
        ASSERT_EQ(platform::AlphaOf(p), 255);
        colours.insert(p);
    }
    EXPECT_GT(colours.size(), 50u);
    EXPECT_TRUE(colours.contains(0xFFFFFFFFu));  // white lettering
}

// ---- hand cursor

TEST(HandCursor, PointsUpWithTheHotSpotAtTheFingertip) {
    const auto bytes = Asset("hand.cur");
    const platform::CursorImage cursor = platform::DecodeCursor(bytes);
    EXPECT_EQ(cursor.Image.Width, 32);
    EXPECT_EQ(cursor.Image.Height, 32);
    EXPECT_NEAR(cursor.HotSpotX, 18, 2);
    EXPECT_NEAR(cursor.HotSpotY, 7, 2);
    EXPECT_EQ(platform::AlphaOf(cursor.Image.At(cursor.HotSpotX, cursor.HotSpotY)), 255);
    // Nothing above the fingertip: the hot spot's row is the first with ink.
    for (int y = 0; y < cursor.HotSpotY; ++y) {
        for (int x = 0; x < cursor.Image.Width; ++x) {
            EXPECT_EQ(platform::AlphaOf(cursor.Image.At(x, y)), 0) << "at " << x << ", " << y;
        }
    }
    // Monochrome: black outline, white inside, transparent around.
    const std::uint32_t imageOffset = LittleEndian(bytes, 18, 4);
    EXPECT_EQ(LittleEndian(bytes, imageOffset + 14, 2), 1u);
    std::set<std::uint32_t> colours(cursor.Image.Pixels.begin(), cursor.Image.Pixels.end());
    EXPECT_EQ(colours, (std::set<std::uint32_t>{0x00000000, 0xFF000000, 0xFFFFFFFF}));
}

// ---- program icon

// One image of an .ico file, read just far enough to look at its pixels.
struct IconEntry {
    int Width;
    int Height;
    int Colours;
    int BitCount;
    std::span<const std::uint8_t> Dib;

    // 0xAARRGGBB; alpha 0 where the AND mask is set.
    std::uint32_t At(int x, int y) const {
        const std::size_t headerSize = LittleEndian(Dib, 0, 4);
        const std::size_t paletteSize = static_cast<std::size_t>(1) << BitCount;
        const std::size_t xorStride = (static_cast<std::size_t>(Width * BitCount) + 31) / 32 * 4;
        const std::size_t andStride = (static_cast<std::size_t>(Width) + 31) / 32 * 4;
        const std::size_t row = static_cast<std::size_t>(Height - 1 - y);
        const std::size_t xorAt = headerSize + paletteSize * 4 + row * xorStride;
        const std::size_t andAt =
            xorAt + (static_cast<std::size_t>(Height) - row) * xorStride + row * andStride;
        const auto ux = static_cast<std::size_t>(x);
        if ((Dib[andAt + ux / 8] >> (7 - ux % 8)) & 1) {
            return 0;
        }
        const std::size_t perByte = 8 / static_cast<std::size_t>(BitCount);
        const int shift = 8 - BitCount * (1 + static_cast<int>(ux % perByte));
        const std::size_t index = (Dib[xorAt + ux / perByte] >> shift) & ((1u << BitCount) - 1);
        const std::size_t colour = headerSize + index * 4;
        return 0xFF000000u | LittleEndian(Dib, colour, 3);
    }
};

std::vector<IconEntry> ReadIcon(std::span<const std::uint8_t> file) {
    std::vector<IconEntry> entries;
    if (file.size() < 6 || LittleEndian(file, 0, 2) != 0 || LittleEndian(file, 2, 2) != 1) {
        ADD_FAILURE() << "not an icon file";
        return entries;
    }
    const std::uint32_t count = LittleEndian(file, 4, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 16 * i;
        const std::uint32_t size = LittleEndian(file, at + 8, 4);
        const std::uint32_t offset = LittleEndian(file, at + 12, 4);
        if (offset + size > file.size()) {
            ADD_FAILURE() << "image " << i << " lies past the end";
            return {};
        }
        entries.push_back({file[at] == 0 ? 256 : file[at], file[at + 1] == 0 ? 256 : file[at + 1],
                           file[at + 2], static_cast<int>(LittleEndian(file, at + 6, 2)),
                           file.subspan(offset, size)});
    }
    return entries;
}

TEST(ProgramIcon, HoldsFiveImagesOfAWhiteWindowWithACyanTitleBar) {
    const std::vector<IconEntry> images = ReadIcon(Asset("ponderix.ico"));
    ASSERT_EQ(images.size(), 5u);
    const struct {
        int Size;
        int Colours;
        int BitCount;
        std::uint32_t TitleBar;
    } expected[] = {
        {32, 2, 1, 0xFF000000},  // two colours: the title bar can only be black
        {32, 16, 4, 0xFF00FFFF}, {16, 16, 4, 0xFF00FFFF},
        {48, 16, 4, 0xFF00FFFF}, {256, 16, 4, 0xFF00FFFF},  // its directory entry says 0 for 256
    };
    for (std::size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        const IconEntry& image = images[i];
        const auto& e = expected[i];
        EXPECT_EQ(image.Width, e.Size);
        EXPECT_EQ(image.Height, e.Size);
        EXPECT_EQ(image.Colours, e.Colours);
        EXPECT_EQ(image.BitCount, e.BitCount);
        // The DIB: a BITMAPINFOHEADER of the same size (height doubled for the
        // mask), long enough for palette, colours and mask.
        ASSERT_GE(image.Dib.size(), 40u);
        EXPECT_EQ(LittleEndian(image.Dib, 0, 4), 40u);
        EXPECT_EQ(LittleEndian(image.Dib, 4, 4), static_cast<std::uint32_t>(e.Size));
        EXPECT_EQ(LittleEndian(image.Dib, 8, 4), static_cast<std::uint32_t>(2 * e.Size));
        EXPECT_EQ(LittleEndian(image.Dib, 14, 2), static_cast<std::uint32_t>(e.BitCount));
        const std::size_t needed =
            40 + (std::size_t{1} << e.BitCount) * 4 +
            static_cast<std::size_t>(e.Size) *
                ((static_cast<std::size_t>(e.Size * e.BitCount) + 31) / 32 * 4 +
                 (static_cast<std::size_t>(e.Size) + 31) / 32 * 4);
        ASSERT_GE(image.Dib.size(), needed);

        const int middle = e.Size / 2;
        EXPECT_EQ(image.At(middle, e.Size / 4), e.TitleBar) << "title bar";
        EXPECT_EQ(image.At(middle, e.Size * 2 / 3), 0xFFFFFFFFu) << "window";
        int x = 0;
        while (x < e.Size && image.At(x, e.Size * 2 / 3) == 0) {
            ++x;
        }
        ASSERT_LT(x, e.Size);
        EXPECT_EQ(image.At(x, e.Size * 2 / 3), 0xFF000000u) << "outline";
    }
}

// The desktop icon theme's copies of the icon, installed as they lie under
// assets/hicolor/: a PNG in each folder, as large as the folder says, 8-bit RGBA.
TEST(ProgramIcon, ThemeFolderHoldsAnRgbaPngOfEachSize) {
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string side = std::to_string(size);
        std::ifstream file(std::string(PONDERIX_ASSETS_DIR) + "/hicolor/" + side + "x" + side +
                               "/apps/example.tarnwick.Ponderix.png",
                           std::ios::binary);
        ASSERT_TRUE(file) << "missing";
        const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(file), {}};
        ASSERT_GE(png.size(), 33u);
        const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
        const auto bigEndian = [&](std::size_t at) {
            return (std::uint32_t{png[at]} << 24) | (std::uint32_t{png[at + 1]} << 16) |
                   (std::uint32_t{png[at + 2]} << 8) | std::uint32_t{png[at + 3]};
        };
        EXPECT_EQ(bigEndian(8), 13u) << "IHDR length";
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(bigEndian(16), static_cast<std::uint32_t>(size)) << "width";
        EXPECT_EQ(bigEndian(20), static_cast<std::uint32_t>(size)) << "height";
        EXPECT_EQ(png[24], 8) << "bits per channel";
        EXPECT_EQ(png[25], 6) << "colour type RGBA";
        EXPECT_EQ(png[28], 0) << "not interlaced";
        const std::vector<std::uint8_t> end = {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
        EXPECT_TRUE(std::equal(end.begin(), end.end(), png.end() - 8)) << "ends with IEND";
    }
}

}  // namespace
}  // namespace ponderix::assets
