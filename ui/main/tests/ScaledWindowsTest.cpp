// The program's windows on screens of other scales, on the fake window
// system: every control lies where its twips fall on that screen, a place a
// controller computed included, and a window moved to a screen of another
// scale keeps every control where a window made there would have it.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/fake/FakeWindowSystem.h"
#include "ui/testing/ProgramWindows.h"

namespace ponderix::ui {
namespace {

using platform::PixelRect;
using platform::ToWholePixels;
using platform::fake::FakeWindow;
using platform::fake::FakeWindowSystem;
using testing::ControlPlace;
using testing::ProgramWindows;

PixelRect Times(const PixelRect& rect, float scale) {
    return {rect.Left * scale, rect.Top * scale, rect.Width * scale, rect.Height * scale};
}

// The same places on the pixel grid, rounded the one way every backend
// rounds (the windows themselves are whole pixels, so a label stretched to the
// bottom of one ends on a whole pixel); a label that sizes itself to its text
// by its left and top only.
void ExpectSamePlaces(const std::vector<ControlPlace>& seen,
                      const std::vector<ControlPlace>& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(seen[i].WindowName + " " + seen[i].Key);
        const platform::WholePixelRect a = ToWholePixels(seen[i].Bounds);
        const platform::WholePixelRect b = ToWholePixels(expected[i].Bounds);
        EXPECT_EQ(a.Left, b.Left);
        EXPECT_EQ(a.Top, b.Top);
        if (!seen[i].Row->AutoSize) {
            EXPECT_EQ(a, b);
        }
    }
}

TEST(ScaledWindows, EveryControlLiesWhereItsTwipsFallOnAScreenOfAnyScale) {
    FakeWindowSystem standard;
    ProgramWindows at96(standard);
    const std::vector<ControlPlace> places96 = at96.Places();
    ASSERT_GE(places96.size(), 30U);
    for (const float scale : {1.25f, 1.5f, 1.75f, 2.0f}) {
        SCOPED_TRACE(scale);
        FakeWindowSystem system;
        system.SetScreenScale(scale);
        ProgramWindows windows(system);
        std::vector<ControlPlace> expected = places96;
        for (ControlPlace& place : expected) {
            place.Bounds = Times(place.Bounds, scale);
        }
        ExpectSamePlaces(windows.Places(), expected);
        for (platform::IWindow* window : windows.All()) {
            EXPECT_EQ(window->TwipsPerPixel(), 15 / scale);
        }
        EXPECT_EQ(windows.Main().ScaleWidth(), std::floor(488 * scale + 0.5f));
        EXPECT_EQ(windows.Main().ScaleHeight(), std::floor(405 * scale + 0.5f));
    }
}

TEST(ScaledWindows, AWindowMovedToAnotherScreenKeepsEveryControlInItsPlace) {
    FakeWindowSystem system;
    ProgramWindows windows(system);
    const std::vector<ControlPlace> places96 = windows.Places();
    for (const float scale : {1.5f, 2.0f, 1.25f}) {
        SCOPED_TRACE(scale);
        for (platform::IWindow* window : windows.All()) {
            FakeWindow::Of(*window).MoveToScreenOfScale(scale);
        }
        FakeWindowSystem there;
        there.SetScreenScale(scale);
        ProgramWindows madeThere(there);
        ExpectSamePlaces(windows.Places(), madeThere.Places());
        EXPECT_EQ(windows.About().ScaleHeight(), madeThere.About().ScaleHeight());
    }
    for (platform::IWindow* window : windows.All()) {
        FakeWindow::Of(*window).MoveToScreenOfScale(1.0f);
    }
    // Back where it started, on the very same pixels (a label that sizes
    // itself to its text by its left and top).
    ExpectSamePlaces(windows.Places(), places96);
}

}  // namespace
}  // namespace ponderix::ui
