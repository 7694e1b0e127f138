// Pictures on screens of other scales: the sets drawn for them, which one a
// screen shows, and the plain scale from that set to the pixels it covers.
#include <gtest/gtest.h>

#include <set>

#include "platform/Error.h"
#include "platform/Picture.h"
#include "platform/core/PictureCache.h"

namespace ponderix::platform {
namespace {

// A picture of that size whose every pixel names its own column and row.
Bitmap Numbered(int width, int height) {
    Bitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.Pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x << 8 | y));
        }
    }
    return bitmap;
}

int ColumnOf(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 8) & 0xFF);
}
int RowOf(std::uint32_t pixel) {
    return static_cast<int>(pixel & 0xFF);
}

TEST(ScaledFileName, PutsTheScaleBeforeTheExtension) {
    const struct {
        const char* File;
        float Scale;
        const char* Expected;
    } cases[] = {
        {"key_help.bmp", 1.0f, "key_help.bmp"},    {"key_help.bmp", 1.5f, "key_help@1.5x.bmp"},
        {"key_help.bmp", 2.0f, "key_help@2x.bmp"}, {"a.b.bmp", 2.0f, "a.b@2x.bmp"},
        {"background", 1.25f, "background@1.25x"}, {"banner.bmp", 3.0f, "banner@3x.bmp"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaledFileName(c.File, c.Scale), c.Expected) << c.File << " at " << c.Scale;
    }
}

TEST(NearestDrawnScale, TakesTheNearestSetAndOfTwoAsNearTheSmaller) {
    const struct {
        float Screen;
        float Expected;
    } cases[] = {
        {0.5f, 1.0f}, {1.0f, 1.0f},  {1.2f, 1.0f}, {1.25f, 1.0f}, {1.3f, 1.5f}, {1.5f, 1.5f},
        {1.7f, 1.5f}, {1.75f, 1.5f}, {1.8f, 2.0f}, {2.0f, 2.0f},  {3.0f, 2.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NearestDrawnScale(c.Screen, DrawnScales), c.Expected) << c.Screen;
    }
    EXPECT_EQ(NearestDrawnScale(2.0f, {}), 1.0f) << "no set but the picture itself";
}

TEST(Picture, ShowsTheSetNearestTheScreenAndKeepsItsNaturalSize) {
    std::vector<float> read;
    const Picture picture = Picture::WithScaledSets(
        Numbered(4, 2), DrawnScales, [&read](float scale) -> std::optional<Bitmap> {
            read.push_back(scale);
            return Numbered(static_cast<int>(4 * scale), static_cast<int>(2 * scale));
        });
    EXPECT_TRUE(read.empty()) << "no set is read before a screen needs it";
    EXPECT_EQ(&picture.PixelsFor(1.0f), &picture.Pixels());
    EXPECT_EQ(&picture.PixelsFor(1.25f), &picture.Pixels());
    EXPECT_EQ(picture.PixelsFor(1.5f).Width, 6);
    EXPECT_EQ(picture.PixelsFor(2.5f).Width, 8);
    EXPECT_EQ(&picture.PixelsFor(1.75f), &picture.PixelsFor(1.5f)) << "each set is read once";
    EXPECT_EQ(read, (std::vector<float>{1.5f, 2.0f}));

    const Picture copy = picture;
    EXPECT_EQ(copy, picture) << "a copy is the same picture";
    EXPECT_EQ(copy.Width(), 4) << "the natural size is the 96-dpi size on every screen";
    EXPECT_EQ(copy.Height(), 2);
}

TEST(Picture, ASetThatCannotBeReadGivesWayToTheNextNearest) {
    const Picture noDouble = Picture::WithScaledSets(Numbered(4, 2), DrawnScales,
                                                     [](float scale) -> std::optional<Bitmap> {
                                                         if (scale == 2.0f) {
                                                             throw PlatformError("no such picture");
                                                         }
                                                         return Numbered(6, 3);
                                                     });
    EXPECT_EQ(noDouble.PixelsFor(2.0f).Width, 6) << "1.5 is the next nearest to 2";
    const Picture none = Picture::WithScaledSets(Numbered(4, 2), DrawnScales,
                                                 [](float) { return std::optional<Bitmap>(); });
    EXPECT_EQ(&none.PixelsFor(2.0f), &none.Pixels());
    EXPECT_THROW(Picture().PixelsFor(1.0f), PlatformError);
}

TEST(PictureCache, ReadsTheScaledSetsFromTheFilesBesideThePicture) {
    std::vector<std::string> decoded;
    PictureCache cache([&decoded](std::string_view file) {
        decoded.emplace_back(file);
        if (file == "key@1.5x.bmp") {
            throw PlatformError("no picture");
        }
        return file == "key@2x.bmp" ? Numbered(8, 4) : Numbered(4, 2);
    });
    const Picture key = cache.Load({"key.bmp"});
    EXPECT_EQ(decoded, (std::vector<std::string>{"key.bmp"}));
    EXPECT_EQ(key.PixelsFor(1.5f).Width, 4) << "no set of its own: the picture itself";
    EXPECT_EQ(key.PixelsFor(2.0f).Width, 8);
    EXPECT_EQ(decoded, (std::vector<std::string>{"key.bmp", "key@1.5x.bmp", "key@2x.bmp"}));
    EXPECT_EQ(cache.Load({"key.bmp"}).PixelsFor(2.0f).Width, 8) << "shared with every user";
    EXPECT_EQ(decoded.size(), 3U);
}

TEST(ScaledNearest, EachSourcePixelCoversWhatItsEdgesRoundedHalvesUpEnclose) {
    const struct {
        int FromWidth;
        int ToWidth;
        std::vector<int> Columns;  // the source column of each column of the result
    } cases[] = {
        {3, 6, {0, 0, 1, 1, 2, 2}},
        {2, 3, {0, 0, 1}},
        {4, 5, {0, 1, 1, 2, 3}},
        {21, 32, {0,  0,  1,  2,  2,  3,  4,  4,  5,  6,  6,  7,  8,  8,  9,  10,
                  10, 11, 12, 12, 13, 14, 14, 15, 16, 16, 17, 18, 18, 19, 20, 20}},
        {6, 4, {0, 2, 3, 5}},
        {5, 5, {0, 1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.FromWidth) + " to " + std::to_string(c.ToWidth));
        const Bitmap scaled = ScaledNearest(Numbered(c.FromWidth, 2), c.ToWidth, 4);
        ASSERT_EQ(scaled.Width, c.ToWidth);
        ASSERT_EQ(scaled.Height, 4);
        for (int x = 0; x < c.ToWidth; ++x) {
            EXPECT_EQ(ColumnOf(scaled.At(x, 3)), c.Columns[static_cast<std::size_t>(x)])
                << "column " << x;
        }
        EXPECT_EQ(RowOf(scaled.At(0, 0)), 0);
        EXPECT_EQ(RowOf(scaled.At(0, 1)), 0);
        EXPECT_EQ(RowOf(scaled.At(0, 2)), 1);
        EXPECT_EQ(RowOf(scaled.At(0, 3)), 1);
    }
    EXPECT_TRUE(ScaledNearest(Numbered(3, 3), 0, 5).Pixels.empty());
}

TEST(ScaledNearest, NeverMakesAColourThePictureLacks) {
    const Bitmap source{
        3, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFF808080u, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}};
    const std::set<std::uint32_t> colours(source.Pixels.begin(), source.Pixels.end());
    for (const auto& [width, height] : {std::pair{5, 3}, {7, 7}, {2, 1}, {4, 4}}) {
        const Bitmap scaled = ScaledNearest(source, width, height);
        for (const std::uint32_t pixel : scaled.Pixels) {
            EXPECT_TRUE(colours.contains(pixel)) << width << " x " << height;
        }
    }
}

TEST(PictureArea, IsTheGridRectangleOfTheScaledNaturalSize) {
    const Picture key = Picture::FromBitmap(Numbered(21, 21));
    const struct {
        float Scale;
        float Left;
        float Top;
        WholePixelRect Expected;
    } cases[] = {
        {1.0f, 398, 11, {398, 11, 21, 21}},
        {1.5f, 597, 16.5f, {597, 17, 32, 31}},
        {1.25f, 497.5f, 13.75f, {498, 14, 26, 26}},
        {2.0f, 796, 22, {796, 22, 42, 42}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PictureArea(key, c.Scale, c.Left, c.Top), c.Expected) << c.Scale;
    }
}

TEST(ScaledPicture, ShowsTheSetAsDrawnWhereItFitsAndScalesItOtherwise) {
    const Picture picture = Picture::WithScaledSets(Numbered(4, 2), DrawnScales, [](float scale) {
        return std::optional<Bitmap>(
            Numbered(static_cast<int>(4 * scale), static_cast<int>(2 * scale)));
    });
    ScaledPicture shown;
    EXPECT_EQ(&shown.Pixels(picture, 2.0f, 8, 4), &picture.PixelsFor(2.0f)) << "no copy";
    const Bitmap& smaller = shown.Pixels(picture, 2.0f, 7, 4);
    EXPECT_EQ(smaller.Width, 7);
    EXPECT_EQ(&shown.Pixels(picture, 2.0f, 7, 4), &smaller) << "scaled once";
    const Bitmap& fromOne = shown.Pixels(picture, 1.25f, 5, 3);
    EXPECT_EQ(fromOne.Width, 5);
    EXPECT_EQ(ColumnOf(fromOne.At(4, 0)), 3) << "from the natural set, which has four columns";
}

}  // namespace
}  // namespace ponderix::platform
