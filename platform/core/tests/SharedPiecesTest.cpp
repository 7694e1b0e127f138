// What every backend shares when it builds windows: the property bag's keys,
// the rounding to the pixel grid, the layout check, a caption as screen
// readers say it, the focus cue, the user control classes and the picture
// cache.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/PropertyBag.h"
#include "platform/core/FocusCue.h"
#include "platform/core/LayoutSupport.h"
#include "platform/core/PictureCache.h"
#include "platform/core/UserControlRegistry.h"

namespace ponderix::platform {
namespace {

TEST(PropertyBag, KeysMatchWithoutRegardToCaseAndDefaultsAreLeftOut) {
    PropertyBag bag;
    bag.WriteProperty("PictureHover", std::int32_t{7});
    EXPECT_EQ(bag.ReadProperty("picturehover"), PropertyValue{std::int32_t{7}});
    EXPECT_EQ(bag.ReadProperty("PICTUREHOVER"), PropertyValue{std::int32_t{7}});
    bag.WriteProperty("pictureHOVER", std::int32_t{8});
    EXPECT_EQ(bag.Size(), 1U) << "one entry per key, whatever its case";
    EXPECT_EQ(bag.Entries()[0].first, "PictureHover") << "the first spelling stays";

    bag.WriteProperty("PictureHover", std::int32_t{0}, std::int32_t{0});
    EXPECT_FALSE(bag.Contains("PictureHover")) << "writing the default removes the entry";
    EXPECT_EQ(bag.ReadProperty("Missing", std::string("default")),
              PropertyValue{std::string("default")});
}

TEST(PropertyBag, APictureIsReadOnlyAsAPicture) {
    PropertyBag bag;
    const Picture picture = Picture::FromBitmap({1, 1, {0xFF000000u}});
    bag.WriteProperty("Picture", picture);
    bag.WriteProperty("_extentx", std::int32_t{556});
    EXPECT_EQ(bag.ReadPicture("picture"), picture) << "the same object comes back";
    EXPECT_TRUE(bag.ReadPicture("PictureDown").IsEmpty());
    EXPECT_THROW(bag.ReadPicture("_ExtentX"), PlatformError);
}

TEST(PixelGrid, EdgesGoToTheNearestPixelHalvesUp) {
    struct Case {
        PixelRect In;
        WholePixelRect Out;
    };
    const Case cases[] = {
        {{3.5f, 0, 305, 56}, {4, 0, 305, 56}},           {{7.5f, 231, 301, 28}, {8, 231, 301, 28}},
        {{12, 535.0f / 15, 151, 40}, {12, 36, 151, 40}}, {{-0.5f, -0.6f, 1, 1}, {0, -1, 1, 1}},
        {{0.4f, 0.4f, 0.2f, 0.2f}, {0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWholePixels(c.In), c.Out) << c.In.Left << ", " << c.In.Top;
    }
}

TEST(CheckLayout, RefusesTablesThatCannotBeBuilt) {
    const ControlSpec twice[] = {{.Name = "lblA"}, {.Name = "lblA"}};
    const ControlSpec arrayTwice[] = {{.Name = "lblA", .Index = 0}, {.Name = "lblA", .Index = 0}};
    const ControlSpec array[] = {{.Name = "lblA", .Index = 0}, {.Name = "lblA", .Index = 1}};
    const ControlSpec orphan[] = {{.Name = "lblA", .Container = "Frame1"},
                                  {.Kind = ControlKind::Frame, .Name = "Frame1"}};
    const ControlSpec notAFrame[] = {{.Name = "lblB"}, {.Name = "lblA", .Container = "lblB"}};
    const ControlSpec nested[] = {{.Kind = ControlKind::Frame, .Name = "Frame1"},
                                  {.Name = "lblA", .Container = "Frame1"}};
    const ControlSpec noClass[] = {{.Kind = ControlKind::UserControl, .Name = "btnA"}};
    // A label may name a control listed before or after it, by its key.
    const ControlSpec labelled[] = {
        {.Kind = ControlKind::TextBox, .Name = "Text1", .LabelledBy = "lbl(0)"},
        {.Name = "lbl", .Index = 0}};
    const ControlSpec labelledByNothing[] = {
        {.Kind = ControlKind::TextBox, .Name = "Text1", .LabelledBy = "lbl"},
        {.Name = "lbl", .Index = 0}};
    const ControlSpec twoDefaults[] = {{.Name = "lblA", .Default = true},
                                       {.Name = "lblB", .Default = true}};
    struct Case {
        std::span<const ControlSpec> Controls;
        bool Valid;
    };
    const Case cases[] = {{twice, false},      {arrayTwice, false}, {array, true},
                          {orphan, false},     {notAFrame, false},  {nested, true},
                          {noClass, false},    {labelled, true},    {labelledByNothing, false},
                          {twoDefaults, false}};
    for (const Case& c : cases) {
        const WindowSpec layout{.Name = "fTest", .Controls = c.Controls};
        if (c.Valid) {
            EXPECT_NO_THROW(CheckLayout(layout));
        } else {
            EXPECT_THROW(CheckLayout(layout), PlatformError);
        }
    }
}

TEST(ShownText, IsTheCaptionAsDrawnWithoutTheBlanksAroundIt) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {" Enter Weight:", "Enter Weight:"},
        {"(Your company name && link)", "(Your company name & link)"},
        {"&Calculate", "Calculate"},
        {"\rOne\r\nTwo\rThree ", "One\nTwo\nThree"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& [caption, shown] : cases) {
        EXPECT_EQ(ShownText(caption), shown) << caption;
    }
}

TEST(FocusCue, DotsEveryOtherPixelOfARectangleInsideTheFaceAndKeepsTheRest) {
    const Bitmap face{21, 21, std::vector<std::uint32_t>(21 * 21, 0xFF8090A0u)};
    const Bitmap shown = WithFocusCue(face);
    int dots = 0;
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 21; ++x) {
            const bool dot = IsFocusCueDot(x, y, 21, 21);
            dots += dot ? 1 : 0;
            EXPECT_EQ(shown.At(x, y), dot ? 0xFF7F6F5Fu : 0xFF8090A0u) << x << ", " << y;
        }
    }
    // The rectangle from 3 to 17: 56 pixels round, every other one a dot.
    EXPECT_EQ(dots, 28);
    EXPECT_TRUE(IsFocusCueDot(3, 3, 21, 21));
    EXPECT_FALSE(IsFocusCueDot(4, 3, 21, 21));
    EXPECT_FALSE(IsFocusCueDot(10, 10, 21, 21)) << "the middle stays the face's";
    EXPECT_FALSE(IsFocusCueDot(3, 3, 7, 7)) << "no room for a rectangle inside";
}

class NoControl final : public IUserControl {
public:
    void UserControl_InitProperties() override {}
    void UserControl_ReadProperties(const PropertyBag&) override {}
    void UserControl_WriteProperties(PropertyBag&) const override {}
    void UserControl_Resize() override {}
    void UserControl_Click() override {}
    void UserControl_DblClick() override {}
    void UserControl_MouseDown(std::int16_t, std::int16_t, float, float) override {}
    void UserControl_MouseMove(std::int16_t, std::int16_t, float, float) override {}
    void UserControl_MouseUp(std::int16_t, std::int16_t, float, float) override {}
};

TEST(UserControlRegistry, FindsClassesByIdAndRefusesUnknownOnes) {
    static constexpr UserControlDesign Design{
        .ClassId = "Test.Button", .Width = 900, .Height = 855};
    UserControlRegistry registry;
    EXPECT_THROW(registry.Register({&Design, nullptr}), PlatformError);
    registry.Register({&Design, [](IUserControlSite&) { return std::make_unique<NoControl>(); }});
    EXPECT_EQ(registry.ClassOf("Test.Button").Design, &Design);
    EXPECT_THROW(registry.ClassOf("test.button"), PlatformError) << "class ids are exact";

    const ControlSpec known[] = {
        {.Kind = ControlKind::UserControl, .Name = "a", .ClassId = "Test.Button"}};
    const ControlSpec unknown[] = {
        {.Kind = ControlKind::UserControl, .Name = "a", .ClassId = "Test.Other"}};
    EXPECT_NO_THROW(registry.CheckClassesOf({.Controls = known}));
    EXPECT_THROW(registry.CheckClassesOf({.Controls = unknown}), PlatformError);
}

TEST(PictureCache, DecodesEachPictureOnceAndSharesIt) {
    int decoded = 0;
    PictureCache cache([&decoded](std::string_view file) {
        if (file == "missing.bmp") {
            throw PlatformError("no picture");
        }
        ++decoded;
        return Bitmap{2, 1, {0xFF0000FFu, 0xFF00FF00u}};
    });
    const Picture first = cache.Load({"a.bmp"});
    EXPECT_EQ(cache.Load({"a.bmp"}), first) << "the same object, not a copy";
    EXPECT_NE(cache.Load({"b.bmp"}), first);
    EXPECT_EQ(decoded, 2);
    EXPECT_THROW(cache.Load({"missing.bmp"}), PlatformError);
    EXPECT_THROW(cache.Load({"missing.bmp"}), PlatformError) << "a failure is not cached";
}

}  // namespace
}  // namespace ponderix::platform
