// The pictures drawn for larger screens and the copies the Windows program
// stores, checked against the 96-dpi pictures they stand for.
#include "assets/Assets.h"
#include "platform/Bitmap.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cmath>
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

const std::vector<std::string> Pictures = {
    "background.bmp",   "banner.bmp",          "calculate.bmp", "calculate_lit.bmp",
    "key_close.bmp",    "key_close_lit.bmp",   "key_help.bmp",  "key_help_lit.bmp",
    "key_minimise.bmp", "key_minimise_lit.bmp"};

const std::vector<std::string> Keys = {"key_close.bmp",    "key_close_lit.bmp",
                                       "key_help.bmp",     "key_help_lit.bmp",
                                       "key_minimise.bmp", "key_minimise_lit.bmp"};

std::vector<std::uint8_t> ReadFile(const std::string& relative) {
    std::ifstream file(std::string(PONDERIX_ASSETS_DIR) + "/" + relative, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "cannot open " << relative;
        return {};
    }
    return {std::istreambuf_iterator<char>(file), {}};
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

std::string Scaled(const std::string& name, const char* factor) {
    return name.substr(0, name.rfind('.')) + "@" + factor + "x.bmp";
}

Bitmap Embedded(const std::string& name) {
    const auto bytes = FindAsset(name);
    if (bytes.empty()) {
        throw platform::PlatformError(name + " is not embedded");
    }
    return platform::DecodeBmp(bytes);
}

std::set<std::uint32_t> ColoursOf(const Bitmap& bitmap) {
    return {bitmap.Pixels.begin(), bitmap.Pixels.end()};
}

int Brightness(std::uint32_t pixel) {
    return platform::RedOf(pixel) + platform::GreenOf(pixel) + platform::BlueOf(pixel);
}

int SidePixels(int pixels, double scale) {
    return static_cast<int>(std::floor(pixels * scale + 0.5));
}

// ---- the Windows program's copies

TEST(ShippedCopies, DecodeToExactlyThePixelsOfTheirOriginals) {
    for (const std::string& name : Pictures) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> copy = ReadFile("win32/" + name);
        ASSERT_GT(copy.size(), 54u);
        const Bitmap original = Embedded(name);
        const Bitmap decoded = platform::DecodeBmp(copy);
        EXPECT_EQ(decoded.Width, original.Width);
        EXPECT_EQ(decoded.Height, original.Height);
        EXPECT_TRUE(decoded.Pixels == original.Pixels);
        // Run-length encoded where 256 colours are enough, else 24 bits.
        const bool paletted = ColoursOf(original).size() <= 256;
        EXPECT_EQ(LittleEndian(copy, 28, 2), paletted ? 8u : 24u);
        EXPECT_EQ(LittleEndian(copy, 30, 4), paletted ? 1u : 0u) << "compression";
        EXPECT_LT(copy.size(), FindAsset(name).size());
    }
}

// ---- the sets for larger screens

TEST(ScaledSets, HaveTheScaledSizeAndAtMost256ColoursRunLengthEncoded) {
    for (const std::string& name : Pictures) {
        const Bitmap natural = Embedded(name);
        for (const auto& [factor, scale] : {std::pair{"1.5", 1.5}, {"2", 2.0}}) {
            SCOPED_TRACE(name + " at " + factor);
            const auto bytes = FindAsset(Scaled(name, factor));
            ASSERT_FALSE(bytes.empty()) << "not embedded";
            EXPECT_EQ(LittleEndian(bytes, 28, 2), 8u);
            EXPECT_EQ(LittleEndian(bytes, 30, 4), 1u);
            const Bitmap set = platform::DecodeBmp(bytes);
            EXPECT_EQ(set.Width, SidePixels(natural.Width, scale));
            EXPECT_EQ(set.Height, SidePixels(natural.Height, scale));
            for (const std::uint32_t pixel : set.Pixels) {
                ASSERT_EQ(platform::AlphaOf(pixel), 255);
            }
        }
    }
}

// Bevels, corners, faces and glyphs are pixel art: at twice the scale every
// pixel is a square of four of its own colour.
TEST(ScaledSets, PixelArtAtTwiceIsEveryPixelDoubled) {
    std::vector<std::string> pixelArt = Keys;
    pixelArt.emplace_back("background.bmp");
    for (const std::string& name : pixelArt) {
        SCOPED_TRACE(name);
        const Bitmap natural = Embedded(name);
        const Bitmap twice = Embedded(Scaled(name, "2"));
        ASSERT_EQ(twice.Width, 2 * natural.Width);
        ASSERT_EQ(twice.Height, 2 * natural.Height);
        for (int y = 0; y < twice.Height; ++y) {
            for (int x = 0; x < twice.Width; ++x) {
                ASSERT_EQ(twice.At(x, y), natural.At(x / 2, y / 2)) << "at " << x << ", " << y;
            }
        }
    }
}

// At one and a half times a pixel becomes one or two: no colour is made up,
// the corners stay grey, each bevel keeps its shades from the outside in, and
// the lit keys stay the keys raised by 29.
TEST(ScaledSets, KeysAtOneAndAHalfKeepTheirColoursEdgesCornersAndFaces) {
    constexpr std::uint32_t Grey = 0xFF808080u;
    for (const std::string& name : Keys) {
        SCOPED_TRACE(name);
        const Bitmap natural = Embedded(name);
        const Bitmap set = Embedded(Scaled(name, "1.5"));
        const std::set<std::uint32_t> colours = ColoursOf(natural);
        for (const std::uint32_t pixel : set.Pixels) {
            ASSERT_TRUE(colours.contains(pixel)) << "a colour the key does not have";
        }
        const int last = set.Width - 1;
        const bool lit = name.find("_lit") != std::string::npos;
        const std::uint32_t corner = lit ? 0xFF9D9D9Du : Grey;
        for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
            EXPECT_EQ(set.At(x, y), corner) << "corner " << x << ", " << y;
        }
        // Reading inwards from the middle of each side: the bevel's three
        // shades, each at least once and in their order, then the face.
        const int middle = set.Width / 2;
        const std::uint32_t face = natural.At(4, 16);
        EXPECT_EQ(set.At(6, SidePixels(16, 1.5)), face);
        const struct {
            int X, Y, StepX, StepY, FromX, FromY, NaturalStepX, NaturalStepY;
        } sides[] = {
            {middle, 0, 0, 1, 10, 0, 0, 1},
            {0, middle, 1, 0, 0, 10, 1, 0},
            {middle, last, 0, -1, 10, 20, 0, -1},
            {last, middle, -1, 0, 20, 10, -1, 0},
        };
        for (const auto& side : sides) {
            std::vector<std::uint32_t> seen;
            for (int k = 0; k < 6; ++k) {
                const std::uint32_t pixel =
                    set.At(side.X + k * side.StepX, side.Y + k * side.StepY);
                if (seen.empty() || seen.back() != pixel) {
                    seen.push_back(pixel);
                }
            }
            std::vector<std::uint32_t> shades;
            for (int k = 0; k < 4; ++k) {
                shades.push_back(natural.At(side.FromX + k * side.NaturalStepX,
                                            side.FromY + k * side.NaturalStepY));
            }
            EXPECT_EQ(seen, shades) << "side from " << side.X << ", " << side.Y;
        }
    }
    const Bitmap key = Embedded("key_help@1.5x.bmp");
    const Bitmap litKey = Embedded("key_help_lit@1.5x.bmp");
    for (std::size_t i = 0; i < key.Pixels.size(); ++i) {
        const std::uint32_t p = key.Pixels[i];
        const auto up = [](int channel) { return std::min(255, channel + 29); };
        const std::uint32_t raised =
            0xFF000000u |
            static_cast<std::uint32_t>(up(platform::RedOf(p)) << 16 |
                                       up(platform::GreenOf(p)) << 8 | up(platform::BlueOf(p)));
        ASSERT_EQ(litKey.Pixels[i], raised) << "pixel " << i;
    }
}

TEST(ScaledSets, BackgroundAtOneAndAHalfKeepsItsEdgesCornersAndPanels) {
    const Bitmap natural = Embedded("background.bmp");
    const Bitmap set = Embedded("background@1.5x.bmp");
    const std::set<std::uint32_t> colours = ColoursOf(natural);
    for (const std::uint32_t pixel : set.Pixels) {
        ASSERT_TRUE(colours.contains(pixel)) << "a colour the background does not have";
    }
    const int right = set.Width - 1;
    const int bottom = set.Height - 1;
    for (const auto& [x, y] : {std::pair{0, 0}, {right, 0}, {0, bottom}, {right, bottom}}) {
        EXPECT_EQ(set.At(x, y), 0xFF808080u) << "corner " << x << ", " << y;
    }
    // The outer edge has its six shades from the outside in (nine pixels),
    // then the face; the faces have their colours, and the inner panel starts
    // where 17 and 77 pixels fall at this scale (edges rounded halves up).
    std::vector<std::uint32_t> left;
    for (int k = 0; k < 10; ++k) {
        const std::uint32_t pixel = set.At(k, set.Height / 2);
        if (left.empty() || left.back() != pixel) {
            left.push_back(pixel);
        }
    }
    std::vector<std::uint32_t> shades;
    for (int k = 0; k < 7; ++k) {
        shades.push_back(natural.At(k, natural.Height / 2));
    }
    EXPECT_EQ(left, shades);
    EXPECT_EQ(set.At(SidePixels(17, 1.5), set.Height / 2), natural.At(17, 203));
    EXPECT_EQ(set.At(SidePixels(17, 1.5) - 1, set.Height / 2), natural.At(16, 203));
    EXPECT_EQ(set.At(set.Width / 2, SidePixels(77, 1.5)), natural.At(244, 77));
    EXPECT_EQ(set.At(set.Width / 2, SidePixels(77, 1.5) - 1), natural.At(244, 76));
    EXPECT_EQ(set.At(set.Width / 2, set.Height / 2), natural.At(244, 203));
}

// The calculate key at twice: its pixel art doubled, and the lettering set
// again at twice its height, where it covers about what the doubled 96-dpi
// lettering covers.
TEST(ScaledSets, CalculateKeyAtTwiceIsTheKeyDoubledWithItsLetteringSetAgain) {
    for (const std::string& name :
         {std::string("calculate.bmp"), std::string("calculate_lit.bmp")}) {
        SCOPED_TRACE(name);
        const Bitmap natural = Embedded(name);
        const Bitmap twice = Embedded(Scaled(name, "2"));
        const std::uint32_t face = natural.At(5, 20);
        // The lettering's box at 96 dpi, a pixel around what is not the face.
        int left = natural.Width;
        int right = -1;
        int top = natural.Height;
        int bottom = -1;
        for (int y = 5; y < natural.Height - 5; ++y) {
            for (int x = 5; x < natural.Width - 5; ++x) {
                if (natural.At(x, y) != face) {
                    left = std::min(left, x - 1);
                    right = std::max(right, x + 1);
                    top = std::min(top, y - 1);
                    bottom = std::max(bottom, y + 1);
                }
            }
        }
        ASSERT_GE(right, left);
        long difference = 0;
        int compared = 0;
        for (int y = 0; y < natural.Height; ++y) {
            for (int x = 0; x < natural.Width; ++x) {
                const bool lettering = x >= left && x <= right && y >= top && y <= bottom;
                const int block = Brightness(twice.At(2 * x, 2 * y)) +
                                  Brightness(twice.At(2 * x + 1, 2 * y)) +
                                  Brightness(twice.At(2 * x, 2 * y + 1)) +
                                  Brightness(twice.At(2 * x + 1, 2 * y + 1));
                if (!lettering) {
                    for (int k = 0; k < 4; ++k) {
                        ASSERT_EQ(twice.At(2 * x + k % 2, 2 * y + k / 2), natural.At(x, y))
                            << "at " << x << ", " << y;
                    }
                    continue;
                }
                difference += std::abs(block / 4 - Brightness(natural.At(x, y)));
                ++compared;
            }
        }
        // The mean difference of a 96-dpi pixel and the four it became, on a
        // scale where white on the face differs by about 300.
        EXPECT_LT(difference / compared, 60);
        int white = 0;
        for (const std::uint32_t pixel : twice.Pixels) {
            white += pixel == 0xFFFFFFFFu ? 1 : 0;
        }
        EXPECT_GE(white, 4 * 200);
    }
}

// The banner is drawn again at each scale: block by block it shows what the
// 96-dpi banner shows.
TEST(ScaledSets, BannerAtTwiceShowsWhatTheBannerShows) {
    const Bitmap natural = Embedded("banner.bmp");
    const Bitmap twice = Embedded("banner@2x.bmp");
    long difference = 0;
    for (int y = 0; y + 1 < natural.Height; y += 2) {
        for (int x = 0; x + 1 < natural.Width; x += 2) {
            int block = 0;
            int own = 0;
            for (int k = 0; k < 16; ++k) {
                block += Brightness(twice.At(2 * x + k % 4, 2 * y + k / 4));
            }
            for (int k = 0; k < 4; ++k) {
                own += Brightness(natural.At(x + k % 2, y + k / 2));
            }
            difference += std::abs(block / 16 - own / 4);
        }
    }
    const long blocks = (natural.Width / 2) * (natural.Height / 2);
    EXPECT_LT(difference / blocks, 25);
    EXPECT_TRUE(ColoursOf(twice).contains(0xFFFFFFFFu)) << "white lettering";
}

}  // namespace
}  // namespace ponderix::assets
