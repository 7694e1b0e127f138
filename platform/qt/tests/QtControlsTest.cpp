// The standard controls on the Qt backend: what labels show and how they fit,
// the text box, the list box, option buttons, images, frames and timers.
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/tests/QtTestSupport.h"

namespace ponderix::platform::qt::testing {
namespace {

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

// The lowest row of the image with a pixel of that colour, or -1.
int LowestRowWith(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.bottom(); y >= area.top(); --y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (Rgb(image, x, y) == colour) {
                return y;
            }
        }
    }
    return -1;
}

constexpr FontSpec Large{"Times New Roman", 26.25f, 400};

// Labels of every sort, images, and the controls the user types into and chooses
// from, in frames of their own, over the window's picture.
constexpr ControlSpec Controls[] = {
    {.Kind = ControlKind::Image,
     .Name = "imBanner",
     .Rect = {240, 120, 5625, 900},
     .Cursor = CursorShape::Hand,
     .Picture = {"banner.bmp"}},
    {.Kind = ControlKind::Label,
     .Name = "lblName",
     .Index = 0,
     .Rect = {240, 120, 5625, 900},
     .Caption = "(Your company name && link or small banner here)",
     .ForeColour = White,
     .BackColour = Grey,
     .Border = Border::FlatSingle,
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Tahoma", 17.25f, 700},
     .Cursor = CursorShape::Hand},
    {.Kind = ControlKind::Label,
     .Name = "lblRange",
     .Index = 0,
     .Rect = {540, 5595, 1305, 195},
     .Caption = " = Underweight",
     .ForeColour = White,
     .Font = FontSpec{"Tahoma", 8.25f, 700},
     .AutoSize = true},
    {.Kind = ControlKind::Image,
     .Name = "imKey",
     .Rect = {4500, 5400, 600, 450},
     .Picture = {"key_close.bmp"}},
    {.Kind = ControlKind::Frame,
     .Name = "Frame1",
     .Rect = {360, 1320, 3135, 2130},
     .BackColour = Grey},
    {.Kind = ControlKind::Frame,
     .Name = "Frame2",
     .Rect = {3675, 1320, 3195, 2130},
     .BackColour = Grey},
    {.Kind = ControlKind::Frame,
     .Name = "Frame4",
     .Rect = {360, 3570, 6510, 1650},
     .BackColour = Grey},
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 1,
     .Container = "Frame1",
     .Rect = {345, 1605, 930, 255},
     .Caption = "Pounds",
     .BackColour = Silver,
     .Value = true},
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 0,
     .Container = "Frame1",
     .Rect = {1755, 1605, 1065, 255},
     .Caption = "Kilograms",
     .BackColour = Silver},
    {.Kind = ControlKind::TextBox,
     .Name = "Text1",
     .Container = "Frame1",
     .Rect = {255, 735, 1395, 645},
     .Alignment = Alignment::Right,
     .Font = Large},
    {.Kind = ControlKind::Label,
     .Name = "lblUnit",
     .Container = "Frame1",
     .Rect = {1830, 750, 975, 615},
     .Caption = "Lbs",
     .Font = Large},
    {.Kind = ControlKind::ListBox,
     .Name = "List1",
     .Container = "Frame2",
     .Rect = {255, 630, 2715, 1065},
     .Border = Border::Sunken3D,
     .Font = FontSpec{"Verdana", 14.25f, 400}},
    {.Kind = ControlKind::Label,
     .Name = "lblCaptions",
     .Index = 1,
     .Container = "Frame2",
     .Rect = {840, 90, 1560, 240},
     .Caption = "Select Height:",
     .BackColour = Colour::Rgb(224, 224, 224),
     .Alignment = Alignment::Centre},
    {.Kind = ControlKind::Label,
     .Name = "lblBMI",
     .Container = "Frame4",
     .Rect = {2685, 420, 3615, 825},
     .BackColour = Silver,
     .Border = Border::FlatSingle,
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Arial", 41.25f, 700}},
    {.Kind = ControlKind::Timer, .Name = "Timer1", .Enabled = false, .IntervalMs = 250},
};

constexpr WindowSpec Layout = TestWindow(Controls, {"background.bmp"});

// The About window's description with its link, which the window moves into it.
constexpr ControlSpec AboutControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblURL",
     .Rect = {885, 2295, 2490, 420},
     .ForeColour = Colour::Rgb(255, 255, 192),
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Arial", 9, 700, true},
     .Cursor = CursorShape::Hand},
    {.Kind = ControlKind::Label,
     .Name = "lblAbout",
     .Rect = {60, 1125, 4575, 840},
     .ForeColour = White,
     .BackColour = Navy,
     .Border = Border::Sunken3D,
     .Font = FontSpec{"Arial", 8.25f, 700}},
};

constexpr WindowSpec DialogLayout = TestDialog(AboutControls);

class QtControlsTest : public QtBackendTest {
protected:
    QtControlsTest() : m_Window(m_System.CreateWindow(Layout)) {}

    std::unique_ptr<IWindow> m_Window;
};

TEST_F(QtControlsTest, LabelBreaksLinesAtCarriageReturnAloneAndWithLineFeed) {
    auto& label = m_Window->Get<ILabel>("lblRange", 0);  // sizes itself to its text
    auto heightOf = [&](std::string_view caption) {
        label.SetCaption(caption);
        return Geometry(*m_Window, "lblRange(0)").height();
    };
    const int one = heightOf("Ag");
    const int two = heightOf("Ag\nAg");
    const int three = heightOf("Ag\nAg\nAg");
    ASSERT_GT(two, one);
    ASSERT_GT(three, two);
    struct Case {
        std::string_view Caption;
        int Expected;
    };
    const std::vector<Case> cases = {
        {"Ag\rAg", two},         {"Ag\r\nAg", two},       {"Ag\r\rAg", three},
        {"Ag\r\n\r\nAg", three}, {"Ag\r\nAg\rAg", three}, {"Ag", one},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(heightOf(c.Caption), c.Expected)
            << "caption with " << c.Caption.size() << " chars";
        EXPECT_EQ(label.Caption(), c.Caption) << "the caption reads back as set";
    }
}

TEST_F(QtControlsTest, LabelShowsDoubledAmpersandOnceAndDropsSingleOne) {
    auto& label = m_Window->Get<ILabel>("lblRange", 0);
    const QFontMetrics metrics(Find(*m_Window, "lblRange(0)")->font());
    struct Case {
        std::string_view Caption;
        QString Shown;
    };
    const std::vector<Case> cases = {
        {"Tom && Jerry", QStringLiteral("Tom & Jerry")},
        {"&Calculate", QStringLiteral("Calculate")},
        {"A&&&B", QStringLiteral("A&B")},
        {"100%", QStringLiteral("100%")},
    };
    for (const Case& c : cases) {
        label.SetCaption(c.Caption);
        EXPECT_EQ(Geometry(*m_Window, "lblRange(0)").width(), metrics.size(0, c.Shown).width())
            << std::string(c.Caption);
        EXPECT_EQ(label.Caption(), c.Caption);
    }
}

TEST_F(QtControlsTest, LabelWrapsLongLinesAndCutsOffWhatDoesNotFit) {
    auto dialog = m_System.CreateWindow(DialogLayout);
    dialog->Show();
    auto& about = dialog->Get<ILabel>("lblAbout");  // 305 x 56, white on navy
    const QRect area = Geometry(*dialog, "lblAbout");
    const QRect inside = area.adjusted(2, 2, -2, -2);  // the edge's outer ring is white
    about.SetCaption("Short");
    const int oneLine = LowestRowWith(Grab(*dialog), inside, 0xFFFFFF);
    about.SetCaption("Words that go on well past the width of the label wrap onto the next line");
    const int wrapped = LowestRowWith(Grab(*dialog), inside, 0xFFFFFF);
    EXPECT_GT(wrapped, oneLine + 8) << "a second line is drawn";

    std::string many;
    for (int line = 0; line < 30; ++line) {
        many += "Line\r\n";
    }
    about.SetCaption(many);
    const QImage shown = Grab(*dialog);
    const QRgb face = ToRgb(Colour::System(SystemColour::ButtonFace));
    for (int x = area.left(); x <= area.right(); x += 7) {
        EXPECT_EQ(Rgb(shown, x, area.bottom() + 2), face) << "nothing below the label at x " << x;
    }
}

TEST_F(QtControlsTest, LabelFontSizeIsInPointsAtNinetySixDotsPerInch) {
    auto& label = m_Window->Get<ILabel>("lblName", 0);
    EXPECT_EQ(label.FontSize(), 17.25f);
    EXPECT_EQ(Find(*m_Window, "lblName(0)")->font().pixelSize(), 23);
    const std::vector<std::pair<float, int>> cases = {
        {8.25f, 11},  {9, 12},     {17.25f, 23}, {26.25f, 35}, {14.25f, 19},
        {41.25f, 55}, {9.75f, 13}, {25, 33},     {17, 23},
    };
    for (const auto& [points, pixels] : cases) {
        label.SetFontSize(points);
        EXPECT_EQ(label.FontSize(), points);
        EXPECT_EQ(Find(*m_Window, "lblName(0)")->font().pixelSize(), pixels) << points;
    }
    EXPECT_THROW(label.SetFontSize(0), PlatformError);
    // Controls without a font of their own take the window's.
    EXPECT_EQ(Find(*m_Window, "optUnit(0)")->font().pixelSize(), 11);
    EXPECT_EQ(Find(*m_Window, "Text1")->font().pixelSize(), 35);
}

TEST_F(QtControlsTest, LabelColoursAndTransparency) {
    m_Window->Show();
    auto& bmi = m_Window->Get<ILabel>("lblBMI");
    bmi.SetCaption("88");
    bmi.SetForeColour(Colour::Rgb(255, 0, 0));
    EXPECT_EQ(bmi.ForeColour(), Colour::Rgb(255, 0, 0));
    const QImage shown = Grab(*m_Window);
    const QRect area = Geometry(*m_Window, "lblBMI").translated(24, 238);
    EXPECT_GT(LowestRowWith(shown, area, 0xFF0000), area.top()) << "the text is drawn in red";
    // The unit label is transparent: the panel's grey shows around its text.
    const QRect unit = Geometry(*m_Window, "lblUnit").translated(24, 88);
    EXPECT_EQ(Rgb(shown, unit.right() - 1, unit.bottom() - 1), 0x808080u);
}

TEST_F(QtControlsTest, LinkLabelAboveDescriptionShowsNavyThroughAndTakesTheClick) {
    auto dialog = m_System.CreateWindow(DialogLayout);
    dialog->Show();
    auto& link = dialog->Get<ILabel>("lblURL");
    auto& about = dialog->Get<ILabel>("lblAbout");
    link.Move(59, 100, 166, 28);  // inside the description, as the About window places it
    link.SetCaption("https://tarnwick.example/");
    int linkClicks = 0;
    int aboutClicks = 0;
    link.Click.Connect([&] { ++linkClicks; });
    about.Click.Connect([&] { ++aboutClicks; });
    const QImage shown = Grab(*dialog);
    EXPECT_EQ(Rgb(shown, 60, 101), 0x000080u) << "navy shows through the link's background";
    EXPECT_GT(LowestRowWith(shown, QRect(59, 100, 166, 28), 0xFFFFC0), 100) << "light yellow text";

    QWidget* target = QApplication::widgetAt(WidgetOf(*dialog)->mapToGlobal(QPoint(62, 103)));
    ASSERT_EQ(target, Find(*dialog, "lblURL"));
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(linkClicks, 1);
    EXPECT_EQ(aboutClicks, 0);
}

TEST_F(QtControlsTest, LabelAndImageClickOnLeftPressAndReleaseInside) {
    m_Window->Show();
    int clicks = 0;
    m_Window->Get<IImage>("imBanner").Click.Connect([&] { ++clicks; });
    QWidget* banner = Find(*m_Window, "imBanner");
    QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(banner, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1) << "the right button does not click";
    QTest::mousePress(banner, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(banner, Qt::LeftButton, {}, QPoint(10, 500));
    EXPECT_EQ(clicks, 1) << "released outside";
    m_Window->Get<IImage>("imBanner").SetEnabled(false);
    EXPECT_FALSE(m_Window->Get<IImage>("imBanner").Enabled());
    QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1) << "disabled";
}

TEST_F(QtControlsTest, HandCursorComesFromTheProgramsCursorWithItsHotSpot) {
    const CursorImage hand = DecodeCursor(FindHandCursor());
    for (const char* key : {"lblName(0)", "imBanner"}) {
        const QCursor cursor = Find(*m_Window, key)->cursor();
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << key;
        EXPECT_EQ(cursor.hotSpot(), QPoint(hand.HotSpotX, hand.HotSpotY)) << key;
    }
    EXPECT_EQ(Find(*m_Window, "lblBMI")->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtControlsTest, ImageShowsAndHides) {
    m_Window->Show();
    auto& key = m_Window->Get<IImage>("imKey");
    const QRgb picture = m_System.LoadPicture({"key_close.bmp"}).Pixels().At(10, 10) & 0xFFFFFFu;
    const QRgb background =
        m_System.LoadPicture({"background.bmp"}).Pixels().At(310, 370) & 0xFFFFFFu;
    ASSERT_NE(picture, background);
    EXPECT_EQ(Rgb(Grab(*m_Window), 310, 370), picture);
    key.SetVisible(false);
    EXPECT_FALSE(key.Visible());
    EXPECT_EQ(Rgb(Grab(*m_Window), 310, 370), background);
    key.SetVisible(true);
    key.Move(0, 0);
    EXPECT_EQ(Rgb(Grab(*m_Window), 10, 10), picture);
}

TEST_F(QtControlsTest, TextBoxHoldsUtf8TextAlignedRightWithAFlatBorder) {
    auto& text = m_Window->Get<ITextBox>("Text1");
    EXPECT_EQ(text.Text(), "");
    for (const std::string value : {"140", "72,5", "Grüße ½ kg", ""}) {
        text.SetText(value);
        EXPECT_EQ(text.Text(), value);
    }
    const auto* edit = qobject_cast<const QLineEdit*>(Find(*m_Window, "Text1"));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->alignment().testFlag(Qt::AlignRight));
    QTest::keyClicks(Find(*m_Window, "Text1"), "65");
    EXPECT_EQ(text.Text(), "65");
}

TEST_F(QtControlsTest, ListBoxSelectsOneRowScrolledIntoViewAndRefusesRowsItLacks) {
    auto& list = m_Window->Get<IListBox>("List1");
    auto* widget = qobject_cast<QListWidget*>(Find(*m_Window, "List1"));
    ASSERT_NE(widget, nullptr);
    m_Window->Show();
    EXPECT_EQ(list.ListIndex(), -1);
    for (int row = 0; row < 36; ++row) {
        list.AddItem(std::to_string(48 + row) + "\"");
    }
    EXPECT_EQ(list.ListCount(), 36);
    EXPECT_EQ(list.List(35), "83\"");
    EXPECT_EQ(list.ListIndex(), -1) << "adding rows selects nothing";
    for (const int row : {20, 35, 0}) {
        list.SetListIndex(row);
        EXPECT_EQ(list.ListIndex(), row);
        EXPECT_TRUE(
            widget->viewport()->rect().intersects(widget->visualItemRect(widget->item(row))))
            << "row " << row << " is scrolled into view";
    }
    list.SetListIndex(-1);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_TRUE(widget->selectedItems().isEmpty());
    for (const int row : {-2, 36, 1000}) {
        EXPECT_THROW(list.SetListIndex(row), PlatformError) << row;
    }
    EXPECT_THROW(list.List(36), PlatformError);
    EXPECT_EQ(widget->selectionMode(), QAbstractItemView::SingleSelection);
    // The user's choice reads back.
    list.SetListIndex(2);
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {},
                      widget->visualItemRect(widget->item(3)).center());
    EXPECT_EQ(list.ListIndex(), 3);
}

TEST_F(QtControlsTest, OptionButtonsOfAFrameFormOneGroupAndClickOnlyForTheUser) {
    m_Window->Show();
    auto& kilograms = m_Window->Get<IOptionButton>("optUnit", 0);
    auto& pounds = m_Window->Get<IOptionButton>("optUnit", 1);
    std::vector<std::string> clicks;
    kilograms.Click.Connect([&] { clicks.emplace_back("kg"); });
    pounds.Click.Connect([&] { clicks.emplace_back("lb"); });
    EXPECT_FALSE(kilograms.Value());
    EXPECT_TRUE(pounds.Value());
    kilograms.SetValue(true);
    EXPECT_TRUE(kilograms.Value());
    EXPECT_FALSE(pounds.Value());
    EXPECT_TRUE(clicks.empty()) << "setting the value is no click";

    QWidget* poundsWidget = Find(*m_Window, "optUnit(1)");
    QTest::mouseClick(poundsWidget, Qt::LeftButton, {}, QPoint(8, poundsWidget->height() / 2));
    EXPECT_EQ(clicks, std::vector<std::string>{"lb"});
    EXPECT_TRUE(pounds.Value());
    EXPECT_FALSE(kilograms.Value());

    pounds.SetValue(false);
    EXPECT_FALSE(pounds.Value());
    EXPECT_FALSE(kilograms.Value());
    // The background is filled with the button's colour.
    const QRect area = Geometry(*m_Window, "optUnit(0)").translated(24, 88);
    EXPECT_EQ(Rgb(Grab(*m_Window), area.right() - 1, area.bottom() - 1), 0xC0C0C0u);
}

TEST_F(QtControlsTest, FrameWithoutBorderDrawsNoCaption) {
    m_Window->Show();
    const QImage shown = Grab(*m_Window);
    const QRect frame = Geometry(*m_Window, "Frame2");
    const QRect heading = Geometry(*m_Window, "lblCaptions(1)").translated(frame.topLeft());
    int other = 0;
    for (int y = frame.top(); y < frame.top() + 20; ++y) {
        for (int x = frame.left(); x < frame.left() + 50; ++x) {
            if (!heading.contains(x, y) && Rgb(shown, x, y) != 0x808080u) {
                ++other;
            }
        }
    }
    EXPECT_EQ(other, 0) << "only the panel's grey where a caption would be";
}

TEST_F(QtControlsTest, TimerTicksWhileEnabledAndEnablingStartsTheIntervalAnew) {
    auto& timer = m_Window->Get<ITimer>("Timer1");
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 250);
    QElapsedTimer clock;
    std::vector<qint64> ticks;
    timer.Tick.Connect([&] { ticks.push_back(clock.elapsed()); });
    Wait(300);
    EXPECT_TRUE(ticks.empty()) << "a disabled timer does not tick";

    timer.SetInterval(120);
    timer.SetEnabled(true);
    Wait(80);
    timer.SetEnabled(false);
    timer.SetEnabled(true);  // the interval starts again here
    clock.start();
    Wait(200);
    ASSERT_FALSE(ticks.empty());
    EXPECT_GE(ticks.front(), 110) << "the first tick comes a whole interval after enabling";
    timer.SetEnabled(false);
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
