// The program's windows on a screen of the scale Qt is told (CTest runs this
// program with QT_SCALE_FACTOR unset, 1.5 and 2, off screen). Qt lays the
// widgets out on its own pixels, the 96-dpi ones, and draws them on the
// screen's; so every control lies at its 96-dpi place on Qt's pixels, and on
// the screen's at that place times the scale, rounded the one documented way
// (ToWholePixels). The keys show their set for the screen, unsmoothed; the
// legend and the option buttons' captions read bold and evenly spaced.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <set>

#include "assets/Assets.h"
#include "platform/Picture.h"
#include "platform/fake/FakeWindowSystem.h"
#include "platform/qt/QtWindowSystem.h"
#include "ui/testing/ProgramWindows.h"

namespace ponderix::app {
namespace {

using platform::PixelRect;
using platform::ToWholePixels;
using platform::WholePixelRect;
using ui::testing::ControlPlace;
using ui::testing::ProgramWindows;

QWidget* WidgetOf(const platform::IWindow& window) {
    return reinterpret_cast<QWidget*>(window.Handle());
}

QWidget* Find(const platform::IWindow& window, const std::string& key) {
    return WidgetOf(window)->findChild<QWidget*>(QString::fromStdString(key));
}

// The window as the screen shows it, one pixel of the image to one of the screen.
QImage Grab(const platform::IWindow& window) {
    return WidgetOf(window)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A widget's rectangle in its window, on the screen's pixels: Qt's rectangle
// times the scale, rounded as every backend rounds.
WholePixelRect OnScreen(QWidget* widget, qreal ratio) {
    const QPoint at = widget->mapTo(widget->window(), QPoint(0, 0));
    const auto scale = static_cast<float>(ratio);
    return ToWholePixels({static_cast<float>(at.x()) * scale, static_cast<float>(at.y()) * scale,
                          static_cast<float>(widget->width()) * scale,
                          static_cast<float>(widget->height()) * scale});
}

std::string Describe(const WholePixelRect& r) {
    return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " +
           std::to_string(r.Width) + ", " + std::to_string(r.Height) + ")";
}

class QtScaleTest : public ::testing::Test {
protected:
    QtScaleTest() : m_Standard(m_Fake), m_Windows(m_System) {
        QTest::qWait(50);
        m_Ratio = WidgetOf(m_Windows.Main())->devicePixelRatioF();
    }

    platform::qt::QtWindowSystem m_System;
    platform::fake::FakeWindowSystem m_Fake;
    ProgramWindows m_Standard;  // the 96-dpi places, unrounded
    ProgramWindows m_Windows;
    qreal m_Ratio = 1;
};

TEST_F(QtScaleTest, EveryControlLiesOnQtsPixelsAtItsStandardPlace) {
    std::cout << "the screen's scale is " << m_Ratio << "\n";
    ASSERT_EQ(m_Ratio, qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                           ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                           : 1.0);
    const std::vector<ControlPlace> expected = m_Standard.Places();
    const std::vector<ControlPlace> seen = m_Windows.Places();
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(seen[i].WindowName + " " + seen[i].Key);
        QWidget* widget = Find(*seen[i].Window, seen[i].Key);
        ASSERT_NE(widget, nullptr);
        const WholePixelRect want = ToWholePixels(expected[i].Bounds);
        const QRect got = widget->geometry();
        EXPECT_EQ(got.left(), want.Left);
        EXPECT_EQ(got.top(), want.Top);
        if (!seen[i].Row->AutoSize) {
            EXPECT_EQ(got.width(), want.Width);
            EXPECT_EQ(got.height(), want.Height);
        }
    }
    const QImage main = Grab(m_Windows.Main());
    EXPECT_EQ(main.width(), platform::NearestPixel(static_cast<float>(488 * m_Ratio)));
    EXPECT_EQ(main.height(), platform::NearestPixel(static_cast<float>(405 * m_Ratio)));
}

// The panels, swatches, result box, headings and weight box are filled to
// their edges: on the screen's pixels each edge lies exactly where its
// place times the scale, rounded, puts it.
TEST_F(QtScaleTest, FilledControlsReachExactlyTheirScaledEdgesOnTheScreen) {
    const QImage shot = Grab(m_Windows.Main());
    const struct {
        const char* Key;
        QRgb Edge;  // the colour of its outermost pixels
    } filled[] = {
        {"Frame1", qRgb(128, 128, 128)},
        {"Frame2", qRgb(128, 128, 128)},
        {"Frame4", qRgb(128, 128, 128)},
        {"lblLegend(0)", qRgb(0, 0, 255)},
        {"lblLegend(1)", qRgb(0, 128, 0)},
        {"lblLegend(2)", qRgb(255, 128, 64)},
        {"lblLegend(3)", qRgb(200, 0, 0)},
        {"lblLegend(4)", qRgb(255, 0, 0)},
        {"lblBMI", qRgb(0, 0, 0)},
        {"Text1", qRgb(0, 0, 0)},
        {"lblCaptions(0)", qRgb(224, 224, 224)},
        {"lblCaptions(1)", qRgb(224, 224, 224)},
        {"lblCaptions(2)", qRgb(224, 224, 224)},
    };
    for (const auto& control : filled) {
        SCOPED_TRACE(control.Key);
        const WholePixelRect area = OnScreen(Find(m_Windows.Main(), control.Key), m_Ratio);
        SCOPED_TRACE(Describe(area));
        const int middleX = area.Left + area.Width / 2;
        const int middleY = area.Top + area.Height / 2;
        const int right = area.Left + area.Width - 1;
        const int bottom = area.Top + area.Height - 1;
        EXPECT_EQ(shot.pixel(area.Left, middleY), control.Edge) << "left edge";
        EXPECT_NE(shot.pixel(area.Left - 1, middleY), control.Edge) << "left of it";
        EXPECT_EQ(shot.pixel(right, middleY), control.Edge) << "right edge";
        EXPECT_NE(shot.pixel(right + 1, middleY), control.Edge) << "right of it";
        EXPECT_EQ(shot.pixel(middleX, area.Top), control.Edge) << "top edge";
        EXPECT_NE(shot.pixel(middleX, area.Top - 1), control.Edge) << "above it";
        EXPECT_EQ(shot.pixel(middleX, bottom), control.Edge) << "bottom edge";
        EXPECT_NE(shot.pixel(middleX, bottom + 1), control.Edge) << "below it";
    }
}

// The keys show the set drawn for the screen: where a key has the set's size
// pixel for pixel, elsewhere plainly scaled, never with a colour the set
// lacks, and with their grey corners in the corners.
TEST_F(QtScaleTest, KeysShowTheirSetForTheScreenUnsmoothed) {
    const QImage shot = Grab(m_Windows.Main());
    const auto scale = static_cast<float>(m_Ratio);
    const float drawn = platform::NearestDrawnScale(scale, platform::DrawnScales);
    const struct {
        const char* Key;
        const char* Picture;
    } keys[] = {{"btnForm(0)", "key_help.bmp"},
                {"btnForm(1)", "key_minimise.bmp"},
                {"btnForm(2)", "key_close.bmp"},
                {"btnCalculate", "calculate.bmp"}};
    for (const auto& key : keys) {
        SCOPED_TRACE(key.Key);
        const platform::Bitmap set =
            platform::DecodeBmp(assets::FindAsset(platform::ScaledFileName(key.Picture, drawn)));
        const WholePixelRect area = OnScreen(Find(m_Windows.Main(), key.Key), m_Ratio);
        const std::set<QRgb> colours(set.Pixels.begin(), set.Pixels.end());
        const bool setsSize = area.Width == set.Width && area.Height == set.Height;
        for (int y = 0; y < area.Height; ++y) {
            for (int x = 0; x < area.Width; ++x) {
                const QRgb pixel = shot.pixel(area.Left + x, area.Top + y);
                ASSERT_TRUE(colours.contains(pixel))
                    << "a colour the set lacks at " << x << ", " << y;
                if (setsSize) {
                    ASSERT_EQ(pixel, set.At(x, y)) << "at " << x << ", " << y;
                }
            }
        }
        for (const auto& [x, y] : {std::pair{0, 0},
                                   {area.Width - 1, 0},
                                   {0, area.Height - 1},
                                   {area.Width - 1, area.Height - 1}}) {
            EXPECT_EQ(shot.pixel(area.Left + x, area.Top + y), qRgb(128, 128, 128))
                << "corner " << x << ", " << y;
        }
    }
}

// Where a caption is inked. Its letters are the runs of columns that hold a
// pixel that differs from the ground (the area's commonest grey) by more than
// a little, edges of smoothed letters included; its strokes are the runs,
// along the rows, of pixels of the text's own colour.
struct Ink {
    std::vector<std::pair<int, int>> Runs;  // first and last column of each letter run
    int Top = -1;                           // the first row with text colour, from the top
    double StrokeWidth = 0;                 // the mean length of text-coloured runs in a row
};

Ink InkOf(const QImage& shot, const WholePixelRect& area, bool light) {
    std::map<int, int> greys;
    for (int y = area.Top; y < area.Top + area.Height; ++y) {
        for (int x = area.Left; x < area.Left + area.Width; ++x) {
            ++greys[qGray(shot.pixel(x, y))];
        }
    }
    const int ground = std::max_element(greys.begin(), greys.end(), [](auto a, auto b) {
                           return a.second < b.second;
                       })->first;
    const auto marked = [&](int x, int y) {
        return std::abs(qGray(shot.pixel(x, y)) - ground) > 40;
    };
    const auto text = [&](int x, int y) {
        const int grey = qGray(shot.pixel(x, y));
        return light ? grey > 200 : grey < 80;
    };
    Ink ink;
    int run = -1;
    for (int x = area.Left; x < area.Left + area.Width; ++x) {
        bool any = false;
        for (int y = area.Top; y < area.Top + area.Height; ++y) {
            any = any || marked(x, y);
            if (text(x, y) && (ink.Top < 0 || y - area.Top < ink.Top)) {
                ink.Top = y - area.Top;
            }
        }
        if (any && run < 0) {
            run = x;
        } else if (!any && run >= 0) {
            ink.Runs.emplace_back(run, x - 1);
            run = -1;
        }
    }
    if (run >= 0) {
        ink.Runs.emplace_back(run, area.Left + area.Width - 1);
    }
    int runs = 0;
    int length = 0;
    for (int y = area.Top; y < area.Top + area.Height; ++y) {
        for (int x = area.Left; x < area.Left + area.Width; ++x) {
            if (text(x, y) && (x == area.Left || !text(x - 1, y))) {
                ++runs;
            }
            length += text(x, y) ? 1 : 0;
        }
    }
    ink.StrokeWidth = runs > 0 ? static_cast<double>(length) / runs : 0;
    return ink;
}

// The widest gap between two letters of one word: the gaps between inked
// runs, leaving out the spaces between words (the widest ones, as many as
// the caption has spaces before its last word).
int WidestGapInAWord(const Ink& ink, int spaces) {
    std::vector<int> gaps;
    for (std::size_t i = 1; i < ink.Runs.size(); ++i) {
        gaps.push_back(ink.Runs[i].first - ink.Runs[i - 1].second - 1);
    }
    std::sort(gaps.begin(), gaps.end());
    gaps.resize(gaps.size() > static_cast<std::size_t>(spaces) ? gaps.size() - spaces : 0);
    return gaps.empty() ? 0 : gaps.back();
}

// The legend's captions and the name label read bold and evenly spaced at
// every scale: no gap inside a word wider than a letter's spacing, strokes of
// bold width; the option buttons' captions evenly spaced. On Qt's pixels
// each legend caption is as tall as the layout makes it (13) and fits before
// the next swatch.
TEST_F(QtScaleTest, CaptionsReadBoldAndEvenlySpaced) {
    const QImage shot = Grab(m_Windows.Main());
    const int evenGap = m_Ratio == 1 ? 1 : static_cast<int>(std::ceil(2 * m_Ratio - 1));
    const struct {
        const char* Key;
        int Spaces;  // gaps between words (the " = " counts as two)
        bool Bold;
        bool Light;  // white text
    } captions[] = {
        {"lblRange(0)", 2, true, true},        {"lblRange(1)", 2, true, true},
        {"lblRange(2)", 2, true, true},        {"lblRange(3)", 2, true, true},
        {"lblRange(4)", 2, true, true},        {"lblName(1)", 0, true, true},
        {"optWeightUnit(0)", 0, false, false}, {"optWeightUnit(1)", 0, false, false},
    };
    for (const auto& caption : captions) {
        SCOPED_TRACE(caption.Key);
        QWidget* widget = Find(m_Windows.Main(), caption.Key);
        WholePixelRect area = OnScreen(widget, m_Ratio);
        if (!caption.Light) {  // the option button's caption, right of its circle
            const int circle = static_cast<int>(std::ceil(18 * m_Ratio));
            area = {area.Left + circle, area.Top, area.Width - circle, area.Height};
        }
        const Ink ink = InkOf(shot, area, caption.Light);
        ASSERT_GE(ink.Runs.size(), 3U) << "no text";
        EXPECT_LE(WidestGapInAWord(ink, caption.Spaces), evenGap);
        if (caption.Bold) {
            EXPECT_GE(ink.StrokeWidth, 1.7 * m_Ratio) << "strokes of bold width";
        }
    }
    // The legend: as tall as the layout's row, its text set where Windows
    // sets it (the capitals 2 pixels below the top at 96 dpi), each caption
    // ending before the next swatch begins.
    for (int index = 0; index < 5; ++index) {
        SCOPED_TRACE(index);
        QWidget* caption = Find(m_Windows.Main(), "lblRange(" + std::to_string(index) + ")");
        EXPECT_EQ(caption->height(), 195 / 15);
        if (index < 4) {
            QWidget* next = Find(m_Windows.Main(), "lblLegend(" + std::to_string(index + 1) + ")");
            EXPECT_LT(caption->geometry().right(), next->geometry().left());
        }
        const Ink ink = InkOf(shot, OnScreen(caption, m_Ratio), true);
        EXPECT_NEAR(ink.Top, 2 * m_Ratio, m_Ratio) << "the capitals' top";
    }
}

// The main window, which has no title bar, moves by a press on its bare
// background and a drag (off screen, where no desktop moves windows, by
// following the pointer); a press on a control does not move it.
TEST_F(QtScaleTest, TheMainWindowMovesByItsBareBackgroundOnly) {
    QWidget* window = WidgetOf(m_Windows.Main());
    const auto drag = [window](QWidget* target, QPoint at, QPoint by) {
        const QPoint global = target->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QMouseEvent move(QEvent::MouseMove, at + by, global + by, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, at + by, global + by, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
        QTest::qWait(20);
        return window->pos();
    };
    const QPoint start = window->pos();
    EXPECT_EQ(drag(window, QPoint(5, 200), QPoint(30, 20)), start + QPoint(30, 20));
    const QPoint moved = window->pos();
    for (const char* control : {"imBanner", "Frame1", "lblLegend(0)", "lblRange(0)"}) {
        SCOPED_TRACE(control);
        EXPECT_EQ(drag(Find(m_Windows.Main(), control), QPoint(3, 3), QPoint(40, 40)), moved);
    }
}

}  // namespace
}  // namespace ponderix::app

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QByteArray(PONDERIX_TEST_CONFIG_HOME));
    QDir(QString::fromUtf8(PONDERIX_TEST_CONFIG_HOME)).removeRecursively();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
