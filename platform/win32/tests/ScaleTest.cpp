// The program's windows at the resolution of the desktop they run on. CTest
// runs this program under Wine at 96, 120, 144 and 192 dots per inch (the
// desktop's LogPixels, scripts/wine-dpi-run); it declares itself aware of
// each screen's scale, as the program does (the same manifest).
//
// Every control lies where the 96-dpi layout, with the controllers' own
// placing, puts it times the screen's scale, rounded the one documented way
// (ToWholePixels); the pictures show the set drawn for the screen, never
// smoothed; option buttons show their circles whole; a window moved to a
// screen of another resolution lays itself out there and keeps its place;
// and the main window opens on the work area.
#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "assets/Assets.h"
#include "platform/Picture.h"
#include "platform/fake/FakeWindowSystem.h"
#include "platform/win32/tests/Win32TestSupport.h"
#include "ui/testing/ProgramWindows.h"

namespace ponderix::platform {

// For the tests' messages (found where the rectangle's type is).
inline std::ostream& operator<<(std::ostream& out, const WholePixelRect& r) {
    return out << "(" << r.Left << ", " << r.Top << ", " << r.Width << ", " << r.Height << ")";
}

}  // namespace ponderix::platform

namespace ponderix::platform::win32::test {
namespace {

using ui::testing::ControlPlace;
using ui::testing::ProgramWindows;

// The desktop's resolution, as Windows gives it to a program aware of it.
UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

PixelRect Times(const PixelRect& rect, float scale) {
    return {rect.Left * scale, rect.Top * scale, rect.Width * scale, rect.Height * scale};
}

WholePixelRect ToWhole(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// What the window's client area shows, as its pixels.
Bitmap Capture(HWND hwnd) {
    UpdateWindow(hwnd);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const SIZE size = ClientSize(hwnd);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP section = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ initial = SelectObject(memory, section);
    BitBlt(memory, 0, 0, size.cx, size.cy, window, 0, 0, SRCCOPY);
    GdiFlush();
    Bitmap shot{size.cx, size.cy, {}};
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (long i = 0; i < static_cast<long>(size.cx) * size.cy; ++i) {
        shot.Pixels.push_back(0xFF000000u | (pixels[i] & 0xFFFFFFu));
    }
    SelectObject(memory, initial);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return shot;
}

// A control's rectangle in its window's client area.
WholePixelRect InWindow(HWND window, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return ToWhole(rect);
}

class ScaleTest : public Win32Test {
protected:
    ScaleTest()
        : m_Dpi(ScreenDpi()),
          m_Scale(static_cast<float>(m_Dpi) / 96.0f),
          m_Standard(m_Fake),
          m_Windows(System()) {
        PumpFor(std::chrono::milliseconds(100));
    }

    // The control's rectangle relative to its container, as the desktop has
    // it: its own window's, or for a control its container draws, the one
    // the core keeps for it.
    WholePixelRect Shown(const ControlPlace& place) {
        const IControl& control = place.Window->Control(place.Row->Name, place.Row->Index);
        if (HWND hwnd = Hwnd(control)) {
            return ToWhole(PlacedRect(hwnd));
        }
        return ToWholePixels(dynamic_cast<const IVisibleControl&>(control).Bounds());
    }

    const UINT m_Dpi;
    const float m_Scale;
    fake::FakeWindowSystem m_Fake;
    ProgramWindows m_Standard;  // the 96-dpi places, unrounded
    ProgramWindows m_Windows;
};

TEST_F(ScaleTest, EveryControlLiesAtItsStandardPlaceTimesTheScreensScale) {
    std::cout << "the desktop has " << m_Dpi << " dots per inch\n";
    const std::vector<ControlPlace> expected = m_Standard.Places();
    const std::vector<ControlPlace> seen = m_Windows.Places();
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(seen[i].WindowName + " " + seen[i].Key);
        const WholePixelRect want = ToWholePixels(Times(expected[i].Bounds, m_Scale));
        const WholePixelRect got = Shown(seen[i]);
        if (seen[i].Row->AutoSize) {
            // Sized to its text, at the font's size on this screen.
            EXPECT_EQ(got.Left, want.Left);
            EXPECT_EQ(got.Top, want.Top);
            EXPECT_NEAR(got.Width, want.Width, 2 + want.Width / 8) << got;
            EXPECT_NEAR(got.Height, want.Height, 1 + want.Height / 4) << got;
        } else {
            EXPECT_EQ(got, want);
        }
    }
    for (IWindow* window : m_Windows.All()) {
        const SIZE client = ClientSize(Hwnd(window->Handle()));
        EXPECT_EQ(window->TwipsPerPixel(), 1440.0f / static_cast<float>(m_Dpi));
        EXPECT_EQ(static_cast<float>(client.cx), window->ScaleWidth());
        EXPECT_EQ(static_cast<float>(client.cy), window->ScaleHeight());
    }
    EXPECT_EQ(ClientSize(Hwnd(m_Windows.Main().Handle())).cx, NearestPixel(488 * m_Scale));
    EXPECT_EQ(ClientSize(Hwnd(m_Windows.Main().Handle())).cy, NearestPixel(405 * m_Scale));
}

// The keys show the set drawn for the screen: at a drawn scale exactly as
// drawn, at another plainly scaled, never with a colour the set lacks, and
// with their grey corners in the corners of their rectangles.
TEST_F(ScaleTest, PicturesShowTheirSetForTheScreenUnsmoothed) {
    const HWND main = Hwnd(m_Windows.Main().Handle());
    const Bitmap shot = Capture(main);
    const float drawn = NearestDrawnScale(m_Scale, DrawnScales);
    const struct {
        const char* Key;
        const char* Picture;
    } keys[] = {{"btnForm(0)", "key_help.bmp"},
                {"btnForm(1)", "key_minimise.bmp"},
                {"btnForm(2)", "key_close.bmp"},
                {"btnCalculate", "calculate.bmp"}};
    for (const auto& key : keys) {
        SCOPED_TRACE(key.Key);
        const Bitmap set = DecodeBmp(assets::FindAsset(ScaledFileName(key.Picture, drawn)));
        const std::string name(key.Key);
        const bool array = name.back() == ')';
        const IControl& control =
            m_Windows.Main().Control(array ? name.substr(0, name.find('(')) : name,
                                     array ? name[name.size() - 2] - '0' : -1);
        const WholePixelRect area = InWindow(main, Hwnd(control));
        const std::set<std::uint32_t> colours(set.Pixels.begin(), set.Pixels.end());
        const bool setsSize = area.Width == set.Width && area.Height == set.Height;
        for (int y = 0; y < area.Height; ++y) {
            for (int x = 0; x < area.Width; ++x) {
                const std::uint32_t pixel = shot.At(area.Left + x, area.Top + y);
                ASSERT_TRUE(colours.contains(pixel))
                    << "a colour the set lacks at " << x << ", " << y;
                if (setsSize) {
                    ASSERT_EQ(pixel, set.At(x, y)) << "where the key has the set's size, it "
                                                      "is the set, pixel for pixel";
                }
            }
        }
        for (const auto& [x, y] : {std::pair{0, 0},
                                   {area.Width - 1, 0},
                                   {0, area.Height - 1},
                                   {area.Width - 1, area.Height - 1}}) {
            EXPECT_EQ(Rgb::Of(shot.At(area.Left + x, area.Top + y)), (Rgb{128, 128, 128}))
                << "corner " << x << ", " << y;
        }
    }
    // The background's grey corner, and its set's face under the banner.
    EXPECT_EQ(Rgb::Of(shot.At(0, 0)), (Rgb{128, 128, 128}));
    EXPECT_EQ(Rgb::Of(shot.At(shot.Width - 1, 0)), (Rgb{128, 128, 128}));
}

// The option button's circle: whole inside the button, clear of its edges,
// and as tall as the screen's scale makes it (about 13 pixels at 96 dots per
// inch). It is what differs from the button's grey at its left, up to the
// first column of nothing but grey, where the caption has not begun.
TEST_F(ScaleTest, OptionButtonsShowTheirCirclesWhole) {
    const HWND main = Hwnd(m_Windows.Main().Handle());
    const Bitmap shot = Capture(main);
    constexpr Rgb ButtonGrey{192, 192, 192};
    for (const int index : {0, 1}) {
        SCOPED_TRACE(index);
        const WholePixelRect area =
            InWindow(main, Hwnd(m_Windows.Main().Control("optWeightUnit", index)));
        int top = area.Height;
        int bottom = -1;
        int left = -1;
        int right = -1;
        for (int x = 0; x < area.Width; ++x) {
            bool inked = false;
            for (int y = 0; y < area.Height; ++y) {
                if (!(Rgb::Of(shot.At(area.Left + x, area.Top + y)) == ButtonGrey)) {
                    inked = true;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
            if (inked && left < 0) {
                left = x;
            }
            if (!inked && left >= 0) {
                right = x - 1;
                break;
            }
        }
        ASSERT_GE(left, 0) << "no circle";
        ASSERT_GE(right, left) << "the circle runs into the caption or out of the button";
        EXPECT_GT(top, 0) << "cut at the top";
        EXPECT_LT(bottom, area.Height - 1) << "cut at the bottom";
        EXPECT_GT(left, 0) << "cut at the left";
        EXPECT_GE(bottom - top + 1, 11) << "a circle, not a dot";
        EXPECT_NEAR(right - left, bottom - top, 1) << "round";
    }
}

// A window that the desktop moves to a screen of another resolution
// (WM_DPICHANGED) lays out every control for it, takes the place the desktop
// suggests, and comes back to the very same pixels.
TEST_F(ScaleTest, AWindowMovedToAnotherScreenLaysItselfOutThereAndKeepsItsPlace) {
    const std::vector<ControlPlace> expected = m_Standard.Places();
    const std::vector<ControlPlace> before = m_Windows.Places();
    IWindow& about = m_Windows.About();
    const HWND hwnd = Hwnd(about.Handle());
    const UINT other = m_Dpi == 192 ? 120 : 192;
    const float scale = static_cast<float>(other) / 96.0f;
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    RECT suggested{outer.left + 10, outer.top + 20, outer.left + 100, outer.top + 100};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    PumpFor(std::chrono::milliseconds(50));
    RECT moved{};
    GetWindowRect(hwnd, &moved);
    EXPECT_EQ(moved.left, suggested.left);
    EXPECT_EQ(moved.top, suggested.top);
    EXPECT_EQ(ClientSize(hwnd).cx, NearestPixel(312 * scale));
    EXPECT_EQ(about.ScaleHeight(), static_cast<float>(NearestPixel(263 * scale)));
    const std::vector<ControlPlace> there = m_Windows.Places();
    for (std::size_t i = 0; i < there.size(); ++i) {
        if (there[i].Window != &about) {
            continue;
        }
        SCOPED_TRACE(there[i].Key);
        EXPECT_EQ(Shown(there[i]), ToWholePixels(Times(expected[i].Bounds, scale)));
    }
    RECT back = outer;
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(m_Dpi, m_Dpi), reinterpret_cast<LPARAM>(&back));
    PumpFor(std::chrono::milliseconds(50));
    const std::vector<ControlPlace> after = m_Windows.Places();
    for (std::size_t i = 0; i < after.size(); ++i) {
        SCOPED_TRACE(after[i].WindowName + " " + after[i].Key);
        EXPECT_EQ(ToWholePixels(after[i].Bounds), ToWholePixels(before[i].Bounds));
    }
    RECT again{};
    GetWindowRect(hwnd, &again);
    EXPECT_EQ(ToWhole(again), ToWhole(outer));
}

// The main window, which has no title bar, moves by its bare background as
// by one; its controls and the banner keep their presses.
TEST_F(ScaleTest, TheMainWindowMovesByItsBareBackgroundOnly) {
    const HWND main = Hwnd(m_Windows.Main().Handle());
    const auto hit = [&](float x, float y) {
        POINT at{NearestPixel(x * m_Scale), NearestPixel(y * m_Scale)};
        ClientToScreen(main, &at);
        return SendMessageW(main, WM_NCHITTEST, 0, PointParam(at.x, at.y));
    };
    EXPECT_EQ(hit(5, 200), HTCAPTION) << "the outer panel's edge";
    EXPECT_EQ(hit(240, 395), HTCAPTION) << "below the legend";
    EXPECT_EQ(hit(200, 40), HTCLIENT) << "the banner";
    EXPECT_EQ(hit(30, 380), HTCLIENT) << "a legend swatch";
    EXPECT_EQ(hit(60, 379), HTCLIENT) << "a legend caption";
    const HWND about = Hwnd(m_Windows.About().Handle());
    RECT client{};
    GetClientRect(about, &client);
    POINT inside{client.right / 2, client.bottom / 2};
    ClientToScreen(about, &inside);
    EXPECT_EQ(SendMessageW(about, WM_NCHITTEST, 0, PointParam(inside.x, inside.y)), HTCLIENT)
        << "a window with a title bar moves by it alone";
}

// Centred on the work area; a window larger than it keeps its top-left corner
// on it.
TEST_F(ScaleTest, TheMainWindowOpensOnTheWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer{};
    GetWindowRect(Hwnd(m_Windows.Main().Handle()), &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const auto expected = [](long start, long end, long size) {
        const long centred = start + (end - start - size) / 2;
        return std::max(start, std::min(centred, end - size));
    };
    EXPECT_EQ(outer.left, expected(work.left, work.right, width));
    EXPECT_EQ(outer.top, expected(work.top, work.bottom, height));
}

}  // namespace
}  // namespace ponderix::platform::win32::test
