// The About and Quick Help windows on the fake window system: their texts,
// the placing of their labels and the link.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/core/LayoutSupport.h"
#include "platform/fake/FakeWindowSystem.h"
#include "ui/Product.h"
#include "ui/info/AboutWindow.h"
#include "ui/info/InfoLayouts.h"
#include "ui/info/QuickHelpWindow.h"

namespace ponderix::ui {
namespace {

using platform::PixelRect;
using platform::fake::FakeWindow;
using platform::fake::FakeWindowSystem;

std::size_t Count(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

std::size_t Count(const std::string& text, std::string_view part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// ---------------------------------------------------------------------------
// The texts

TEST(QuickHelpText, IsTwoParagraphsAfterAnEmptyLine) {
    const std::string text = QuickHelpWindow::HelpText();
    EXPECT_EQ(text.size(), 589 + ProductName.size());
    EXPECT_EQ(text.rfind("\rPonderix is very easy to use.", 0), 0U) << "opens with a lone CR";
    EXPECT_EQ(Count(text, '\r'), 3U);
    EXPECT_EQ(Count(text, '\n'), 2U);
    EXPECT_EQ(Count(text, "\r\n\r\n The Body mass index"), 1U);
    EXPECT_EQ(Count(text, '"'), 2U);
    EXPECT_EQ(Count(text, "\"Calculate BMI button\""), 1U);
    EXPECT_EQ(Count(text, "color-coded  to correspond"), 1U);
    EXPECT_EQ(Count(text, "left pane, and select either Pounds"), 1U);
    EXPECT_TRUE(text.ends_with("overall risk of poor health.")) << "no line break at the end";
}

TEST(QuickHelpText, IsExactlyTheTenPieces) {
    const std::string expected =
        "\rPonderix is very easy to use. Simply enter your weight in the left pane, and select"
        " either Pounds or Kilograms. Next, select your height in feet and inches from the list"
        " on the right. Finally, click the \"Calculate BMI button\". Your BMI Index number is"
        " displayed, and the result is color-coded  to correspond with the legend below. Match"
        " the colors to determine the range in which your BMI Index falls.\r\n\r\n The Body"
        " mass index (BMI) or Quetelet Index is a statistical measure of the weight of a person"
        " scaled according to height. It is most often used to determine the overall risk of"
        " poor health.";
    EXPECT_EQ(QuickHelpWindow::HelpText(), expected);
}

TEST(AboutDescription, IsFiveLinesBrokenByLoneCarriageReturns) {
    const std::string text = AboutWindow::Description();
    EXPECT_EQ(text.size(), 201 + ProductName.size());
    EXPECT_EQ(Count(text, '\r'), 4U);
    EXPECT_EQ(Count(text, '\n'), 0U);

    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\r', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1],
              " Ponderix is a quick and easy way to calculate your BMI index,  and therefore help "
              "you to remain healthy");
    EXPECT_EQ(lines[2], "    " + std::string(47, '_'));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], std::string(32, ' ') + "Brought to you by ");
}

// ---------------------------------------------------------------------------
// The layouts as the program declares them

TEST(InfoLayouts, AreFixedDialogsOverTheirOwnerWithoutATaskBarButton) {
    struct Case {
        const platform::WindowSpec& Layout;
        std::string_view Caption;
        int InnerHeight;
    };
    for (const Case& c :
         {Case{AboutLayout(), "About", 3945}, Case{QuickHelpLayout(), "Quick Help", 3465}}) {
        SCOPED_TRACE(std::string(c.Caption));
        EXPECT_EQ(c.Layout.Caption, c.Caption);
        EXPECT_EQ(c.Layout.Border, platform::WindowBorder::FixedDialog);
        EXPECT_EQ(c.Layout.InnerWidth, 4680);
        EXPECT_EQ(c.Layout.InnerHeight, c.InnerHeight);
        EXPECT_FALSE(c.Layout.ShowInTaskBar);
        EXPECT_EQ(c.Layout.StartPosition, platform::StartPosition::CentreOwner);
        EXPECT_EQ(c.Layout.BackColour,
                  platform::Colour::System(platform::SystemColour::ButtonFace));
    }
}

TEST(InfoLayouts, EachLabelHasItsPlaceColoursFontBorderAlignmentAndCursor) {
    using platform::Alignment;
    using platform::Border;
    using platform::Colour;
    using platform::CursorShape;
    constexpr Colour White = Colour::Rgb(255, 255, 255);
    constexpr Colour Navy = Colour::Rgb(0, 0, 128);
    struct Case {
        const platform::WindowSpec& Layout;
        std::string_view Name;
        platform::TwipRect Rect;
        Colour Fore;
        std::optional<Colour> Back;
        Border LabelBorder;
        Alignment Align;
        platform::FontSpec Font;
        CursorShape Cursor;
    };
    const Case cases[] = {
        {AboutLayout(),
         "lblURL",
         {885, 2295, 2490, 420},
         Colour::Rgb(255, 255, 192),
         std::nullopt,
         Border::None,
         Alignment::Centre,
         {"Arial", 9.0f, 700, true},
         CursorShape::Hand},
        {AboutLayout(),
         "lblAbout",
         {60, 1125, 4575, 840},
         White,
         Navy,
         Border::Sunken3D,
         Alignment::Left,
         {"Arial", 8.25f, 700, false},
         CursorShape::Default},
        {AboutLayout(),
         "lblLogo",
         {60, 45, 4575, 840},
         White,
         Colour::Rgb(88, 134, 165),
         Border::Sunken3D,
         Alignment::Centre,
         {"Verdana", 14.25f, 700, false},
         CursorShape::Default},
        {QuickHelpLayout(),
         "lblQuickHelp",
         {150, 300, 4410, 2700},
         White,
         Navy,
         Border::Sunken3D,
         Alignment::Left,
         {"Arial", 9.75f, 400, false},
         CursorShape::Default},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name));
        const auto rows = c.Layout.Controls;
        const auto row =
            std::find_if(rows.begin(), rows.end(),
                         [&](const platform::ControlSpec& r) { return r.Name == c.Name; });
        ASSERT_NE(row, rows.end());
        EXPECT_EQ(row->Kind, platform::ControlKind::Label);
        EXPECT_EQ(row->Rect.Left, c.Rect.Left);
        EXPECT_EQ(row->Rect.Top, c.Rect.Top);
        EXPECT_EQ(row->Rect.Width, c.Rect.Width);
        EXPECT_EQ(row->Rect.Height, c.Rect.Height);
        EXPECT_EQ(row->ForeColour, c.Fore);
        EXPECT_EQ(row->BackColour, c.Back);
        EXPECT_EQ(row->Border, c.LabelBorder);
        EXPECT_EQ(row->Alignment, c.Align);
        ASSERT_TRUE(row->Font.has_value());
        EXPECT_EQ(row->Font->Face, c.Font.Face);
        EXPECT_EQ(row->Font->Points, c.Font.Points);
        EXPECT_EQ(row->Font->Weight, c.Font.Weight);
        EXPECT_EQ(row->Font->Underline, c.Font.Underline);
        EXPECT_EQ(row->Cursor, c.Cursor);
        EXPECT_TRUE(row->Caption.empty()) << "captions are set when the window loads";
    }
    EXPECT_EQ(AboutLayout().Controls[0].Name, "lblURL") << "the link lies above the description";
}

// ---------------------------------------------------------------------------
// The windows

class InfoWindowTest : public ::testing::Test {
protected:
    InfoWindowTest() : m_Owner(m_System.CreateWindow(OwnerLayout)) { m_Owner->Show(); }

    static PixelRect BoundsOf(platform::IWindow& window, std::string_view label) {
        return window.Get<platform::ILabel>(label).Bounds();
    }

    static constexpr platform::WindowSpec OwnerLayout{
        .Name = "fOwner", .InnerWidth = 7320, .InnerHeight = 6075};

    LinkOpener Opener() {
        return [this](std::string_view address) { m_Links.emplace_back(address); };
    }

    FakeWindowSystem m_System;
    std::unique_ptr<platform::IWindow> m_Owner;
    std::vector<std::string> m_Links;  // the addresses handed to the link opener
};

TEST_F(InfoWindowTest, AboutLoadsItsTextsAndTitleSize) {
    AboutWindow about(m_System, Opener());
    auto& window = about.Window();
    EXPECT_EQ(window.Get<platform::ILabel>("lblURL").Caption(), PublisherAddress);
    EXPECT_EQ(window.Get<platform::ILabel>("lblLogo").Caption(), "Ponderix");
    EXPECT_EQ(window.Get<platform::ILabel>("lblLogo").FontSize(), 25);
    EXPECT_EQ(window.Get<platform::ILabel>("lblAbout").Caption(), AboutWindow::Description());
}

TEST_F(InfoWindowTest, AboutPlacesItsLabelsWhenShownInFractionalPixels) {
    AboutWindow about(m_System, Opener());
    about.Show(*m_Owner);
    auto& window = about.Window();
    EXPECT_EQ(window.ScaleWidth(), 312);
    EXPECT_EQ(window.ScaleHeight(), 263);
    EXPECT_EQ(BoundsOf(window, "lblLogo"), (PixelRect{3.5f, 0, 305, 56}));
    EXPECT_EQ(BoundsOf(window, "lblAbout"), (PixelRect{3.5f, 56, 305, 207}));
    EXPECT_EQ(BoundsOf(window, "lblURL"), (PixelRect{7.5f, 231, 301, 28}));
}

TEST_F(InfoWindowTest, AboutPlacesAgainWhenItsSizeChanges) {
    AboutWindow about(m_System, Opener());
    about.Show(*m_Owner);
    auto& window = dynamic_cast<FakeWindow&>(about.Window());
    window.SetInnerSize(401, 300);
    EXPECT_EQ(BoundsOf(window, "lblLogo"), (PixelRect{48, 0, 305, 56}));
    EXPECT_EQ(BoundsOf(window, "lblAbout"), (PixelRect{48, 56, 305, 244}));
    EXPECT_EQ(BoundsOf(window, "lblURL"), (PixelRect{52, 268, 301, 28}));
}

TEST_F(InfoWindowTest, ADescriptionOfAnotherWidthIsCentredByItsOldWidthFirst) {
    AboutWindow about(m_System, Opener());
    auto& window = about.Window();
    window.Get<platform::ILabel>("lblAbout").Move(4, 75, 205, 56);
    about.Show(*m_Owner);
    EXPECT_EQ(BoundsOf(window, "lblAbout"), (PixelRect{53.5f, 56, 305, 207}));
    dynamic_cast<FakeWindow&>(window).SetInnerSize(312, 262);
    EXPECT_EQ(BoundsOf(window, "lblAbout"), (PixelRect{3.5f, 56, 305, 206}));
}

TEST_F(InfoWindowTest, AFailingMoveEndsThePlacingAndKeepsTheMovesBefore) {
    AboutWindow about(m_System, Opener());
    auto& window = dynamic_cast<FakeWindow&>(about.Window());
    m_System.FailOperation("lblAbout:Control.Move", 1);
    EXPECT_THROW(about.Show(*m_Owner), platform::PlatformError);
    EXPECT_EQ(BoundsOf(window, "lblLogo"), (PixelRect{3.5f, 0, 305, 56}));
    EXPECT_EQ(BoundsOf(window, "lblURL"), (PixelRect{59, 153, 166, 28})) << "the link stays put";
}

TEST_F(InfoWindowTest, TheLinkOpensTheAddressWhateverItShows) {
    AboutWindow about(m_System, Opener());
    about.Show(*m_Owner);
    auto& window = dynamic_cast<FakeWindow&>(about.Window());
    window.Get<platform::ILabel>("lblURL").SetCaption("somewhere else");
    window.ClickControl("lblURL");
    EXPECT_EQ(m_Links, std::vector<std::string>{std::string(PublisherAddress)});
    EXPECT_TRUE(window.IsLoaded()) << "the window stays open";
}

TEST_F(InfoWindowTest, QuickHelpFillsTheWholeInnerArea) {
    QuickHelpWindow help(m_System);
    auto& window = dynamic_cast<FakeWindow&>(help.Window());
    EXPECT_EQ(window.Get<platform::ILabel>("lblQuickHelp").Caption(), QuickHelpWindow::HelpText());
    help.Show(*m_Owner);
    EXPECT_EQ(BoundsOf(window, "lblQuickHelp"), (PixelRect{0, 0, 312, 231}));
    window.SetInnerSize(400, 301);
    EXPECT_EQ(BoundsOf(window, "lblQuickHelp"), (PixelRect{0, 0, 400, 301}));
}

TEST_F(InfoWindowTest, BothWindowsAreCentredOverTheirOwner) {
    AboutWindow about(m_System, Opener());
    QuickHelpWindow help(m_System);
    about.Show(*m_Owner);
    help.Show(*m_Owner);
    const auto owner = dynamic_cast<FakeWindow&>(*m_Owner).ScreenRect();
    for (platform::IWindow* window : {&about.Window(), &help.Window()}) {
        const auto rect = dynamic_cast<FakeWindow&>(*window).ScreenRect();
        EXPECT_LE(std::abs((rect.Left + rect.Width / 2) - (owner.Left + owner.Width / 2)), 1);
        EXPECT_LE(std::abs((rect.Top + rect.Height / 2) - (owner.Top + owner.Height / 2)), 1);
        EXPECT_EQ(dynamic_cast<FakeWindow&>(*window).Owner(), m_Owner.get());
    }
}

TEST_F(InfoWindowTest, EscapeClosesEitherWindowAsItClosesADialog) {
    AboutWindow about(m_System, Opener());
    QuickHelpWindow help(m_System);
    for (platform::IWindow* window : {&about.Window(), &help.Window()}) {
        window->Show(m_Owner.get());
        ASSERT_EQ(m_System.ActiveWindow(), window);
        m_System.PressKey(platform::KeyCode::Escape);
        EXPECT_FALSE(window->IsLoaded());
    }
    EXPECT_TRUE(m_Owner->IsLoaded());
}

TEST_F(InfoWindowTest, AScreenReaderFindsTheTextsAndTheLink) {
    using platform::AccessibleRole;
    AboutWindow about(m_System, Opener());
    QuickHelpWindow help(m_System);
    struct Case {
        platform::IWindow& Window;
        std::string_view Label;
        AccessibleRole Role;
        std::string Name;
    };
    const Case cases[] = {
        {about.Window(), "lblLogo", AccessibleRole::StaticText, "Ponderix"},
        {about.Window(), "lblURL", AccessibleRole::Link, std::string(PublisherAddress)},
        {about.Window(), "lblAbout", AccessibleRole::StaticText,
         platform::ShownText(AboutWindow::Description())},
        {help.Window(), "lblQuickHelp", AccessibleRole::StaticText,
         platform::ShownText(QuickHelpWindow::HelpText())},
    };
    for (const Case& c : cases) {
        const auto* label = dynamic_cast<FakeWindow&>(c.Window).FindVisible(c.Label);
        ASSERT_NE(label, nullptr) << c.Label;
        EXPECT_EQ(label->Role(), c.Role) << c.Label;
        EXPECT_EQ(label->AccessibleName(), c.Name) << c.Label;
    }
    EXPECT_TRUE(platform::ShownText(QuickHelpWindow::HelpText()).starts_with("Ponderix is very"))
        << "the empty first line is no part of the name";
    EXPECT_EQ(dynamic_cast<FakeWindow&>(help.Window()).Role(), AccessibleRole::Dialog);
    EXPECT_EQ(dynamic_cast<FakeWindow&>(help.Window()).AccessibleName(), "Quick Help");
}

}  // namespace
}  // namespace ponderix::ui
