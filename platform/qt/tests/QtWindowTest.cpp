// Windows on the Qt backend: flags and sizes, where the controls land and how
// they stack, focus, what is drawn, showing, minimising and unloading.
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/qt/tests/QtTestSupport.h"

namespace ponderix::platform::qt::testing {
namespace {

using Names = std::vector<std::string>;

class QtWindowTest : public QtBackendTest {};

TEST_F(QtWindowTest, MainWindowIsFramelessWithTaskBarEntryAndFixedInnerSize) {
    auto window = m_System.CreateWindow(MainLayout);
    QWidget* widget = WidgetOf(*window);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isWindow());
    EXPECT_EQ(widget->windowType(), Qt::Window);  // not a tool or dialog: a task-bar entry
    EXPECT_TRUE(widget->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(widget->parentWidget(), nullptr);
    EXPECT_EQ(widget->minimumSize(), QSize(488, 405));
    EXPECT_EQ(widget->maximumSize(), QSize(488, 405));
    EXPECT_EQ(widget->windowTitle(), QStringLiteral("Ponderix"));
    EXPECT_FALSE(widget->windowIcon().isNull());
    EXPECT_FALSE(widget->isVisible()) << "windows are built hidden";

    window->Show();
    EXPECT_EQ(widget->frameGeometry().size(), QSize(488, 405)) << "outer size is inner size";
    EXPECT_EQ(window->ScaleWidth(), 488.0f);
    EXPECT_EQ(window->ScaleHeight(), 405.0f);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(widget->geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(widget->geometry().center().y() - screen.center().y()), 1);
}

TEST_F(QtWindowTest, DialogIsOwnedFixedWithCloseBoxOnlyAndCentredOverOwner) {
    auto main = m_System.CreateWindow(MainLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    QWidget* widget = WidgetOf(*dialog);
    EXPECT_EQ(widget->windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = widget->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::FramelessWindowHint));
    // Owned by the main window: kept above it, and no task-bar entry of its own.
    EXPECT_EQ(widget->parentWidget(), WidgetOf(*main));
    EXPECT_EQ(widget->minimumSize(), QSize(312, 263));
    EXPECT_EQ(widget->maximumSize(), QSize(312, 263));
    EXPECT_EQ(widget->windowTitle(), QStringLiteral("About"));
    const QPoint owner = WidgetOf(*main)->geometry().center();
    EXPECT_LE(std::abs(widget->geometry().center().x() - owner.x()), 1);
    EXPECT_LE(std::abs(widget->geometry().center().y() - owner.y()), 1);
}

TEST_F(QtWindowTest, ControlsArePlacedFromTwipsRelativeToTheirContainer) {
    auto window = m_System.CreateWindow(MainLayout);
    struct Case {
        std::string_view Key;
        QRect Expected;
        std::string_view Container;
    };
    const std::vector<Case> cases = {
        {"btnHelp", {398, 11, 21, 21}, "fMain"},  // sized to its picture
        {"Frame1", {24, 88, 209, 142}, "fMain"},
        {"Frame2", {245, 88, 213, 142}, "fMain"},
        {"Frame4", {24, 238, 434, 110}, "fMain"},
        {"imBanner", {16, 8, 375, 60}, "fMain"},
        {"lblName(0)", {16, 8, 375, 60}, "fMain"},
        {"lblLegend(0)", {16, 370, 20, 20}, "fMain"},
        {"Text1", {17, 49, 93, 43}, "Frame1"},
        {"optUnit(1)", {23, 107, 62, 17}, "Frame1"},
        {"List1", {17, 42, 181, 71}, "Frame2"},
        {"lblBMI", {179, 28, 241, 55}, "Frame4"},
        // 535 twips are 35 2/3 pixels: the top goes to 36, the bottom edge
        // (1135 twips, 75 2/3) to 76, so the height stays 40.
        {"btnRecord", {12, 36, 151, 40}, "Frame4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Key));
        const QWidget* widget = Find(*window, c.Key);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.Expected);
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), c.Container);
    }
}

TEST_F(QtWindowTest, WindowedControlsLieAboveWindowlessOnesInTableOrder) {
    auto window = m_System.CreateWindow(MainLayout);
    EXPECT_EQ(Stacking(WidgetOf(*window)),
              (Names{"btnHelp", "Frame2", "Frame1", "Frame4", "imBanner", "lblName(0)",
                     "lblLegend(0)", "lblRange(0)", "imKey"}));
    EXPECT_EQ(Stacking(Find(*window, "Frame1")),
              (Names{"optUnit(1)", "optUnit(0)", "Text1", "lblCaptions(0)", "lblUnit"}));
    EXPECT_EQ(Stacking(Find(*window, "Frame4")), (Names{"btnRecord", "lblBMI"}));
}

TEST_F(QtWindowTest, BringToFrontRaisesWithinItsOwnGroup) {
    auto window = m_System.CreateWindow(MainLayout);
    window->Get<IImage>("imKey").BringToFront();
    window->Get<IFrame>("Frame4").BringToFront();
    EXPECT_EQ(Stacking(WidgetOf(*window)),
              (Names{"Frame4", "btnHelp", "Frame2", "Frame1", "imKey", "imBanner", "lblName(0)",
                     "lblLegend(0)", "lblRange(0)"}));
    // Already the topmost windowless control: nothing changes.
    window->Get<IImage>("imKey").BringToFront();
    EXPECT_EQ(Stacking(WidgetOf(*window))[4], "imKey");
}

TEST_F(QtWindowTest, MoveRoundsEdgesToNearestPixelAndBoundsReadBackWhatWasSet) {
    auto window = m_System.CreateWindow(MainLayout);
    auto& label = window->Get<ILabel>("lblName", 0);
    struct Case {
        PixelRect Set;
        QRect Expected;
    };
    const std::vector<Case> cases = {
        {{3.5f, 7.5f, 305, 20}, {4, 8, 305, 20}},       // halves go up, edges keep their gap
        {{7.5f, 0, 301, 20}, {8, 0, 301, 20}},          // ends on the same column (309)
        {{-0.5f, 2.4f, 10.2f, 10.6f}, {0, 2, 10, 11}},  // -0.5 -> 0; 2.4 + 10.6 = 13
        {{10.49f, 10.51f, 0.5f, 0.5f}, {10, 11, 1, 0}},
    };
    for (const Case& c : cases) {
        label.Move(c.Set.Left, c.Set.Top, c.Set.Width, c.Set.Height);
        EXPECT_EQ(Geometry(*window, "lblName(0)"), c.Expected);
        EXPECT_EQ(label.Bounds(), c.Set);
    }
    label.Move(1.25f, 2.75f);  // keeps its size
    EXPECT_EQ(label.Bounds(), (PixelRect{1.25f, 2.75f, 0.5f, 0.5f}));
}

TEST_F(QtWindowTest, FirstFocusableControlInTabOrderHasFocusAndTabOrderFollowsTabIndex) {
    auto window = m_System.CreateWindow(MainLayout);
    window->Show();
    QWidget* text = Find(*window, "Text1");
    EXPECT_EQ(WidgetOf(*window)->focusWidget(), text);
    // The focus chain from the text box, keeping only the controls that take it.
    std::vector<std::string> order;
    QWidget* widget = text;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && !widget->objectName().isEmpty()) {
            order.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget != text && order.size() < 20);
    EXPECT_EQ(order, (Names{"Text1", "List1", "optUnit(0)", "optUnit(1)"}));
    for (const char* key : {"lblName(0)", "Frame1", "imBanner", "lblBMI"}) {
        EXPECT_EQ(Find(*window, key)->focusPolicy(), Qt::NoFocus) << key;
    }
}

TEST_F(QtWindowTest, DrawsBackgroundPictureAtNaturalSizeFromTopLeft) {
    auto window = m_System.CreateWindow(BackgroundLayout);
    window->Show();
    const QImage shown = Grab(*window);
    const Bitmap& picture = m_System.LoadPicture({"background.bmp"}).Pixels();
    ASSERT_EQ(shown.size(), QSize(488, 405));
    ASSERT_GE(picture.Width, 488);
    ASSERT_GE(picture.Height, 405);
    int mismatches = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if ((shown.pixel(x, y) & 0xFFFFFFu) != (picture.At(x, y) & 0xFFFFFFu)) {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "every pixel shown is the picture's own, unscaled";
}

TEST_F(QtWindowTest, DrawsOpaqueColoursBordersFramesAndUnstretchedImages) {
    auto window = m_System.CreateWindow(MainLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    window->Show();
    dialog->Show(window.get());
    const QImage shown = Grab(*window);
    const QImage about = Grab(*dialog);
    const Bitmap& key = m_System.LoadPicture({"key_close.bmp"}).Pixels();
    const Bitmap& background = m_System.LoadPicture({"background.bmp"}).Pixels();
    auto rgb = [](QRgb pixel) { return pixel & 0xFFFFFFu; };
    struct Case {
        const char* What;
        const QImage& Image;
        QPoint At;
        QRgb Expected;
    };
    const std::vector<Case> cases = {
        {"legend swatch", shown, {26, 380}, 0x0000FF},
        {"frame fill", shown, {24 + 200, 88 + 130}, 0x808080},
        {"frame fill, second frame", shown, {245 + 5, 88 + 130}, 0x808080},
        {"flat border of the result label, top-left", shown, {24 + 179, 238 + 28}, 0x000000},
        {"flat border, bottom-right", shown, {24 + 179 + 240, 238 + 28 + 54}, 0x000000},
        {"result label fill inside its border", shown, {24 + 179 + 5, 238 + 28 + 50}, 0xC0C0C0},
        {"text box fill", shown, {24 + 17 + 4, 88 + 49 + 38}, 0xC0C0C0},
        {"text box flat border", shown, {24 + 17, 88 + 49 + 20}, 0x000000},
        {"image: picture pixel", shown, {300 + 10, 360 + 10}, rgb(key.At(10, 10))},
        {"image: past its picture, the window shows",
         shown,
         {300 + 30, 360 + 25},
         rgb(background.At(330, 385))},
        {"sunken edge, outer top-left", about, {4, 75}, 0x808080},
        {"sunken edge, inner top-left", about, {5, 76}, 0x000000},
        {"sunken edge, outer bottom-right", about, {4 + 304, 75 + 55}, 0xFFFFFF},
        {"sunken edge, inner bottom-right", about, {4 + 303, 75 + 54}, 0xE3E3E3},
        {"navy inside the sunken edge", about, {4 + 300, 75 + 50}, 0x000080},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rgb(c.Image.pixel(c.At)), c.Expected) << c.What;
    }
}

TEST_F(QtWindowTest, ResizeIsRaisedWhenFirstShownAndWhenInnerSizeChanges) {
    auto window = m_System.CreateWindow(MainLayout);
    int resizes = 0;
    float widthSeen = 0;
    window->Resize.Connect([&] {
        ++resizes;
        widthSeen = window->ScaleWidth();
    });
    window->Show();
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(widthSeen, 488.0f);
    window->Show();
    EXPECT_EQ(resizes, 1) << "showing again is no resize";
    WidgetOf(*window)->setFixedSize(500, 400);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(widthSeen, 500.0f);
}

TEST_F(QtWindowTest, OwnedWindowHidesWhileOwnerIsMinimisedAndReturnsWithIt) {
    auto main = m_System.CreateWindow(MainLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    QWidget* dialogWidget = WidgetOf(*dialog);
    ASSERT_TRUE(dialogWidget->isVisible());
    main->Minimise();
    EXPECT_TRUE(WidgetOf(*main)->isMinimized());
    EXPECT_FALSE(dialogWidget->isVisible());
    main->Show();  // restores the minimised window
    EXPECT_FALSE(WidgetOf(*main)->isMinimized());
    EXPECT_TRUE(dialogWidget->isVisible());
}

TEST_F(QtWindowTest, UnloadTakesOwnedWindowsFirstRaisesUnloadedOnceAndLeavesControlsThrowing) {
    auto main = m_System.CreateWindow(MainLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    std::vector<std::string> unloaded;
    main->Unloaded.Connect([&] { unloaded.emplace_back("main"); });
    dialog->Unloaded.Connect([&] { unloaded.emplace_back("dialog"); });
    const QPointer<QWidget> mainWidget = WidgetOf(*main);
    auto& caption = main->Get<ILabel>("lblCaptions", 0);
    auto& timer = main->Get<ITimer>("Timer1");

    main->Unload();
    main->Unload();
    EXPECT_EQ(unloaded, (Names{"dialog", "main"}));
    EXPECT_FALSE(main->IsLoaded());
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_EQ(main->Handle(), 0u);
    EXPECT_THROW(caption.SetCaption("x"), PlatformError);
    EXPECT_THROW(timer.SetEnabled(true), PlatformError);
    EXPECT_THROW(main->Get<IListBox>("List1").AddItem("x"), PlatformError);
    EXPECT_THROW(main->Show(), PlatformError);
    EXPECT_THROW(dialog->Get<ILabel>("lblURL").SetCaption("x"), PlatformError);
    FlushDeletes();
    EXPECT_TRUE(mainWidget.isNull()) << "the widget is deleted once Qt gets round to it";
    EXPECT_THROW(caption.Caption(), PlatformError);
}

TEST_F(QtWindowTest, CloseBoxUnloadsTheWindowLikeUnload) {
    auto main = m_System.CreateWindow(MainLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    int unloaded = 0;
    dialog->Unloaded.Connect([&] { ++unloaded; });
    WidgetOf(*dialog)->close();
    EXPECT_EQ(unloaded, 1);
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_TRUE(main->IsLoaded());
}

TEST_F(QtWindowTest, RunReturnsWhenTheLastWindowIsUnloaded) {
    auto main = m_System.CreateWindow(MainLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    QTimer::singleShot(10, [&] { dialog->Unload(); });
    QTimer::singleShot(20, [&] {
        EXPECT_TRUE(main->IsLoaded());
        main->Unload();
    });
    EXPECT_EQ(m_System.Run(), 0);
    EXPECT_FALSE(main->IsLoaded());
}

TEST_F(QtWindowTest, UnloadedHandlerMayDestroyTheWindowObject) {
    auto main = m_System.CreateWindow(MainLayout);
    main->Show();
    main->Unloaded.Connect([&] { main.reset(); });
    main->Unload();
    EXPECT_EQ(main, nullptr);
    FlushDeletes();
}

TEST_F(QtWindowTest, UnknownControlsAndUserControlClassesAreRefused) {
    auto window = m_System.CreateWindow(MainLayout);
    EXPECT_THROW(window->Control("lblNothing"), PlatformError);
    EXPECT_THROW(window->Get<ITextBox>("lblBMI"), PlatformError);
    QtWindowSystem bare;
    EXPECT_THROW(bare.CreateWindow(MainLayout), PlatformError);
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
