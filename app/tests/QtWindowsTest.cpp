// The program's own windows on the Qt backend, drawn off screen: the main
// window's frame, places, stacking and picture; a real click on the calculate
// key with its result and saved settings; the information windows' frames and
// colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "app/Main.h"
#include "calc/Bmi.h"
#include "controls/picture_button/PictureButton.h"
#include "platform/qt/QtWindowSystem.h"
#include "ui/info/AboutWindow.h"
#include "ui/info/QuickHelpWindow.h"

namespace ponderix::app {
namespace {

using platform::qt::QtWindowSystem;

QWidget* WidgetOf(platform::IWindow& window) {
    return reinterpret_cast<QWidget*>(window.Handle());
}

QWidget* Find(platform::IWindow& window, const char* key) {
    return WidgetOf(window)->findChild<QWidget*>(QString::fromLatin1(key));
}

QImage Grab(platform::IWindow& window) {
    return WidgetOf(window)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb Rgb(int red, int green, int blue) {
    return qRgb(red, green, blue);
}

QRgb Rgb(calc::Colour colour) {
    return qRgb(colour.Red, colour.Green, colour.Blue);
}

// The picture's pixel as the screen shows it.
QRgb PixelOf(const platform::Picture& picture, int x, int y) {
    return 0xFF000000u | (picture.Pixels().At(x, y) & 0xFFFFFFu);
}

// Every pixel of the picture appears unchanged at that place of the image.
bool ShowsPictureAt(const QImage& image, const platform::Picture& picture, int left, int top) {
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (image.pixel(left + x, top + y) != PixelOf(picture, x, y)) {
                ADD_FAILURE() << "first difference at " << left + x << ", " << top + y;
                return false;
            }
        }
    }
    return true;
}

int CountColour(const QImage& image, QRect area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

class QtWindowsTest : public ::testing::Test {
protected:
    QtWindowsTest() {
        QDir(ConfigHome()).removeRecursively();
        m_Main = Main(m_System);
        QTest::qWait(50);
    }

    static QString ConfigHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }

    platform::IWindow& Window() { return m_Main->Window(); }

    QtWindowSystem m_System;
    std::unique_ptr<ui::MainWindow> m_Main;
};

TEST_F(QtWindowsTest, TheMainWindowIsABorderless488By405WindowWithATaskBarEntry) {
    QWidget* window = WidgetOf(Window());
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window->size(), QSize(488, 405));
    EXPECT_EQ(window->frameGeometry().size(), QSize(488, 405));
    EXPECT_EQ(window->windowTitle(), "Ponderix");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(QtWindowsTest, ControlsStandWhereTheirTwipsSay) {
    struct Case {
        const char* Key;
        QRect Pixels;  // relative to the container
    };
    const Case cases[] = {
        {"btnForm(0)", {398, 11, 21, 21}},    {"btnForm(2)", {448, 11, 21, 21}},
        {"Frame1", {24, 88, 209, 142}},       {"Frame2", {245, 88, 213, 142}},
        {"Frame4", {24, 238, 434, 110}},      {"Text1", {17, 49, 93, 43}},
        {"List1", {17, 42, 181, 71}},         {"optWeightUnit(1)", {23, 107, 62, 17}},
        {"btnCalculate", {12, 36, 151, 40}},  {"lblBMI", {179, 28, 241, 55}},
        {"lblLegend(4)", {384, 370, 20, 20}},
    };
    for (const Case& c : cases) {
        QWidget* widget = Find(Window(), c.Key);
        ASSERT_NE(widget, nullptr) << c.Key;
        EXPECT_EQ(widget->geometry(), c.Pixels) << c.Key;
    }
}

TEST_F(QtWindowsTest, TheWeightBoxHoldsTheFocusAndTheBannerHidesTheNameLabel) {
    QWidget* window = WidgetOf(Window());
    EXPECT_EQ(window->focusWidget(), Find(Window(), "Text1"));
    EXPECT_EQ(window->childAt(200, 40), Find(Window(), "imBanner"))
        << "the banner lies above the name label in their shared rectangle";
    EXPECT_EQ(window->childAt(408, 21), Find(Window(), "btnForm(0)"));
}

TEST_F(QtWindowsTest, TheWindowShowsItsPicturesAndColours) {
    const QImage image = Grab(Window());
    ASSERT_EQ(image.size(), QSize(488, 405));

    const platform::Picture background = m_System.LoadPicture({"background.bmp"});
    struct Spot {
        int X, Y;
        QRgb Expected;
        const char* What;
    };
    const Spot spots[] = {
        {0, 0, Rgb(128, 128, 128), "a rounded corner's grey"},
        {10, 200, Rgb(0, 130, 191), "the outer panel"},
        {239, 150, Rgb(0, 87, 130), "the inner panel between the weight and height panels"},
        {487, 404, PixelOf(background, 487, 404), "the picture's last shown pixel: not stretched"},
        {30, 120, Rgb(128, 128, 128), "the weight panel"},
        {300, 250, Rgb(128, 128, 128), "the result panel"},
        {74, 95, Rgb(224, 224, 224), "a heading's background"},
        {45, 140, Rgb(192, 192, 192), "the weight box's background"},
    };
    for (const Spot& spot : spots) {
        EXPECT_EQ(image.pixel(spot.X, spot.Y), spot.Expected) << spot.What;
    }
    const std::pair<int, calc::BmiBand> swatches[] = {{16, calc::BmiBand::Underweight},
                                                      {127, calc::BmiBand::Normal},
                                                      {207, calc::BmiBand::Overweight},
                                                      {310, calc::BmiBand::Obese},
                                                      {384, calc::BmiBand::Extreme}};
    for (const auto& [left, band] : swatches) {
        EXPECT_EQ(image.pixel(left + 10, 380), Rgb(calc::BandColour(band))) << left;
    }
    EXPECT_TRUE(ShowsPictureAt(image, m_System.LoadPicture({"banner.bmp"}), 16, 8))
        << "only the banner shows in the rectangle it shares with the name label";
    EXPECT_TRUE(ShowsPictureAt(image, m_System.LoadPicture({"key_help.bmp"}), 398, 11));
    EXPECT_TRUE(ShowsPictureAt(image, m_System.LoadPicture({"calculate.bmp"}), 36, 274));
}

TEST_F(QtWindowsTest, ARealClickOnCalculateShowsTheResultAndSavesIt) {
    QWidget* key = Find(Window(), "btnCalculate");
    ASSERT_NE(key, nullptr);
    const QPoint middle(75, 20);
    QTest::mouseMove(key, middle);
    QTest::mousePress(key, Qt::LeftButton, Qt::NoModifier, middle);
    QTest::mouseRelease(key, Qt::LeftButton, Qt::NoModifier, middle);
    QTest::qWait(20);

    EXPECT_EQ(Window().Get<platform::ILabel>("lblBMI").Caption(), "21.33");
    EXPECT_EQ(Window().Get<platform::ILabel>("lblIWeight").Caption(),
              "Weight for 22.5 BMI : 147.68 lbs");
    const QImage image = Grab(Window());
    EXPECT_GT(CountColour(image, QRect(203, 266, 241, 55), Rgb(0, 128, 0)), 50)
        << "the BMI is green";

    QFile file(ConfigHome() + "/Ponderix/Ponderix.ini");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    EXPECT_TRUE(lines.contains("[Settings]"));
    EXPECT_TRUE(lines.contains("Weight=140"));
    EXPECT_TRUE(lines.contains("Height=\" 20\""));
}

// What a screen reader finds, walking the window as Orca does: every object
// named, the publisher's link once, and after a result the result in a
// sentence and the notification that reads it out.
TEST_F(QtWindowsTest, AReaderMeetsEveryObjectOnceAndNamedAndTheResultInASentence) {
    Window().UserControl<controls::PictureButton>("btnCalculate").Click.Raise();
    QTest::qWait(20);
    std::vector<std::pair<QAccessible::Role, QString>> met;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* object) {
        for (int i = 0; i < object->childCount(); ++i) {
            QAccessibleInterface* child = object->child(i);
            if (child != nullptr && child->role() != QAccessible::ListItem) {
                met.emplace_back(child->role(), child->text(QAccessible::Name));
                walk(child);
            }
        }
    };
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(WidgetOf(Window()));
    ASSERT_NE(root, nullptr);
    walk(root);
    int links = 0;
    for (const auto& [role, name] : met) {
        EXPECT_FALSE(name.isEmpty()) << "an object of role " << role << " without a name";
        links += role == QAccessible::Link && name == QLatin1String("Tarnwick") ? 1 : 0;
    }
    EXPECT_EQ(links, 1) << "the banner and the name under it are one link";
    const auto has = [&](QAccessible::Role role, const QString& name) {
        return std::find(met.begin(), met.end(), std::pair(role, name)) != met.end();
    };
    EXPECT_TRUE(has(QAccessible::StaticText, QStringLiteral("Your BMI is: 21.33, Normal")));
    EXPECT_TRUE(has(QAccessible::StaticText, QStringLiteral("Normal"))) << "the legend's words";
    EXPECT_TRUE(has(QAccessible::Notification,
                    QStringLiteral("21.33, Normal. Weight for 22.5 BMI : 147.68 lbs")));
}

TEST_F(QtWindowsTest, AWeightOf100000CharactersGoesThroughTheTextBoxAndTheStoreWhole) {
    const std::string weight = "70" + std::string(99998, 'x');
    m_Main.reset();
    m_System.Settings().SaveSetting("Ponderix", "Settings", "Weight", weight);
    m_Main = Main(m_System);
    QTest::qWait(20);

    auto* edit = qobject_cast<QLineEdit*>(Find(Window(), "Text1"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text().size(), 100000) << "restored whole";
    // Typed at the end, past what a line edit holds by default.
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, "kg");
    const std::string typed = Window().Get<platform::ITextBox>("Text1").Text();
    EXPECT_TRUE(typed == weight + "kg") << typed.size() << " characters";

    QWidget* key = Find(Window(), "btnCalculate");
    const QPoint middle(75, 20);
    QTest::mouseMove(key, middle);
    QTest::mousePress(key, Qt::LeftButton, Qt::NoModifier, middle);
    QTest::mouseRelease(key, Qt::LeftButton, Qt::NoModifier, middle);
    QTest::qWait(20);
    EXPECT_EQ(Window().Get<platform::ILabel>("lblBMI").Caption(), "10.67");
    const std::string stored = m_System.Settings().GetSetting("Ponderix", "Settings", "Weight", "");
    EXPECT_TRUE(stored == weight + "kg") << stored.size() << " characters";
}

TEST_F(QtWindowsTest, TheInformationWindowsAreFixedDialogsOverTheMainWindow) {
    struct Case {
        const char* Caption;
        QSize Inner;
    };
    ui::AboutWindow about(m_System, {});
    ui::QuickHelpWindow help(m_System);
    about.Show(Window());
    help.Show(Window());
    QTest::qWait(20);
    for (auto [window, inner] : {std::pair{&about.Window(), QSize(312, 263)},
                                 std::pair{&help.Window(), QSize(312, 231)}}) {
        QWidget* widget = WidgetOf(*window);
        SCOPED_TRACE(widget->windowTitle().toStdString());
        EXPECT_EQ(widget->size(), inner);
        EXPECT_EQ(widget->minimumSize(), inner) << "not resizable";
        EXPECT_EQ(widget->maximumSize(), inner);
        EXPECT_TRUE(widget->windowFlags().testFlag(Qt::Dialog));
        EXPECT_TRUE(widget->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(widget->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(widget->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(widget->parentWidget(), WidgetOf(Window()))
            << "owned: above it, no task-bar entry";
    }
}

TEST_F(QtWindowsTest, TheAboutWindowShowsTheLinkInLightYellowOnTheNavyDescription) {
    ui::AboutWindow about(m_System, {});
    about.Show(Window());
    QTest::qWait(20);
    const QImage image = Grab(about.Window());
    EXPECT_EQ(image.pixel(300, 10), Rgb(88, 134, 165)) << "the steel-blue title";
    EXPECT_EQ(image.pixel(300, 150), Rgb(0, 0, 128)) << "the navy description";
    const QRect link(8, 231, 301, 28);
    EXPECT_GT(CountColour(image, link, Rgb(255, 255, 192)), 30) << "light-yellow link text";
    EXPECT_GT(CountColour(image, link, Rgb(0, 0, 128)), 1000) << "on the description's navy";
    EXPECT_EQ(WidgetOf(about.Window())->childAt(150, 245), Find(about.Window(), "lblURL"))
        << "the link takes the clicks in its rectangle";

    ui::QuickHelpWindow help(m_System);
    help.Show(Window());
    QTest::qWait(20);
    const QImage helpImage = Grab(help.Window());
    EXPECT_EQ(helpImage.pixel(305, 225), Rgb(0, 0, 128)) << "the help text fills the window";
}

}  // namespace
}  // namespace ponderix::app

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A folder of its own for each process: CTest runs the cases side by side.
    qputenv("XDG_CONFIG_HOME", QByteArray(PONDERIX_TEST_CONFIG_HOME "/") +
                                   QByteArray::number(QCoreApplication::applicationPid()));
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
