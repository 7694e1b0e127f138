// Windows on the Qt backend: flags and sizes, where the controls land and how
// they stack, focus and the keyboard, what is drawn, showing, minimising and
// unloading.
#include <QGuiApplication>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/qt/tests/QtTestSupport.h"

namespace ponderix::platform::qt::testing {
namespace {

using Names = std::vector<std::string>;

// Rows of every kind in three frames, the windowed and the windowless mixed.
constexpr ControlSpec Controls[] = {
    HelpKey,
    {.Kind = ControlKind::Frame,
     .Name = "Frame2",
     .Rect = {3675, 1320, 3195, 2130},
     .BackColour = Grey},
    {.Kind = ControlKind::Frame,
     .Name = "Frame1",
     .Rect = {360, 1320, 3135, 2130},
     .BackColour = Grey},
    {.Kind = ControlKind::Frame,
     .Name = "Frame4",
     .Rect = {360, 3570, 6510, 1650},
     .BackColour = Grey},
    {.Kind = ControlKind::Image,
     .Name = "imBanner",
     .Rect = {240, 120, 5625, 900},
     .Picture = {"banner.bmp"}},
    {.Kind = ControlKind::Label, .Name = "lblName", .Index = 0, .Rect = {240, 120, 5625, 900}},
    {.Kind = ControlKind::Label,
     .Name = "lblLegend",
     .Index = 0,
     .Rect = {240, 5550, 300, 300},
     .BackColour = Colour::Rgb(0, 0, 255)},
    {.Kind = ControlKind::Image,
     .Name = "imKey",
     .Rect = {4500, 5400, 600, 450},
     .Picture = {"key_close.bmp"}},
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 1,
     .Container = "Frame1",
     .Rect = {345, 1605, 930, 255},
     .Caption = "Pounds",
     .BackColour = Silver,
     .TabIndex = 9,
     .Value = true},
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 0,
     .Container = "Frame1",
     .Rect = {1755, 1605, 1065, 255},
     .Caption = "Kilograms",
     .BackColour = Silver,
     .TabIndex = 8},
    {.Kind = ControlKind::TextBox,
     .Name = "Text1",
     .Container = "Frame1",
     .Rect = {255, 735, 1395, 645},
     .BackColour = Silver,
     .Border = Border::FlatSingle,
     .TabIndex = 1},
    {.Kind = ControlKind::Label,
     .Name = "lblUnit",
     .Container = "Frame1",
     .Rect = {1830, 750, 975, 615}},
    {.Kind = ControlKind::ListBox,
     .Name = "List1",
     .Container = "Frame2",
     .Rect = {255, 630, 2715, 1065},
     .TabIndex = 4},
    {.Kind = ControlKind::UserControl,
     .Name = "btnRecord",
     .Container = "Frame4",
     .Rect = {180, 535, 2265, 600},
     .ClassId = Recorder::ClassId},
    {.Kind = ControlKind::Label,
     .Name = "lblBMI",
     .Container = "Frame4",
     .Rect = {2685, 420, 3615, 825},
     .BackColour = Silver,
     .Border = Border::FlatSingle},
    {.Kind = ControlKind::Timer, .Name = "Timer1", .Enabled = false, .IntervalMs = 250},
};

constexpr WindowSpec WindowLayout = [] {
    WindowSpec layout = TestWindow(Controls, {"background.bmp"});
    layout.Icon = {"ponderix.ico"};
    return layout;
}();

constexpr ControlSpec AboutControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblAbout",
     .Rect = {60, 1125, 4575, 840},
     .ForeColour = White,
     .BackColour = Navy,
     .Border = Border::Sunken3D},
};

constexpr WindowSpec DialogLayout = TestDialog(AboutControls);

constexpr WindowSpec BackgroundLayout = [] {
    WindowSpec layout = TestWindow({}, {"background.bmp"});
    layout.BackColour = Colour::Rgb(255, 0, 255);
    return layout;
}();

class QtWindowTest : public QtBackendTest {};

TEST_F(QtWindowTest, MainWindowIsFramelessWithTaskBarEntryAndFixedInnerSize) {
    auto window = m_System.CreateWindow(WindowLayout);
    QWidget* widget = WidgetOf(*window);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isWindow());
    EXPECT_EQ(widget->windowType(), Qt::Window);  // not a tool or dialog: a task-bar entry
    EXPECT_TRUE(widget->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(widget->parentWidget(), nullptr);
    EXPECT_EQ(widget->minimumSize(), QSize(488, 405));
    EXPECT_EQ(widget->maximumSize(), QSize(488, 405));
    EXPECT_EQ(widget->windowTitle(), QStringLiteral("Test"));
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
    auto main = m_System.CreateWindow(WindowLayout);
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
    auto window = m_System.CreateWindow(WindowLayout);
    struct Case {
        std::string_view Key;
        QRect Expected;
        std::string_view Container;
    };
    const std::vector<Case> cases = {
        {"btnHelp", {398, 11, 21, 21}, "fTest"},  // sized to its picture
        {"Frame1", {24, 88, 209, 142}, "fTest"},
        {"Frame2", {245, 88, 213, 142}, "fTest"},
        {"Frame4", {24, 238, 434, 110}, "fTest"},
        {"imBanner", {16, 8, 375, 60}, "fTest"},
        {"lblName(0)", {16, 8, 375, 60}, "fTest"},
        {"lblLegend(0)", {16, 370, 20, 20}, "fTest"},
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
    auto window = m_System.CreateWindow(WindowLayout);
    EXPECT_EQ(Stacking(WidgetOf(*window)),
              (Names{"btnHelp", "Frame2", "Frame1", "Frame4", "imBanner", "lblName(0)",
                     "lblLegend(0)", "imKey"}));
    EXPECT_EQ(Stacking(Find(*window, "Frame1")),
              (Names{"optUnit(1)", "optUnit(0)", "Text1", "lblUnit"}));
    EXPECT_EQ(Stacking(Find(*window, "Frame4")), (Names{"btnRecord", "lblBMI"}));
}

TEST_F(QtWindowTest, BringToFrontRaisesWithinItsOwnGroup) {
    auto window = m_System.CreateWindow(WindowLayout);
    window->Get<IImage>("imKey").BringToFront();
    window->Get<IFrame>("Frame4").BringToFront();
    EXPECT_EQ(Stacking(WidgetOf(*window)), (Names{"Frame4", "btnHelp", "Frame2", "Frame1", "imKey",
                                                  "imBanner", "lblName(0)", "lblLegend(0)"}));
    // Already the topmost windowless control: nothing changes.
    window->Get<IImage>("imKey").BringToFront();
    EXPECT_EQ(Stacking(WidgetOf(*window))[4], "imKey");
}

TEST_F(QtWindowTest, MoveRoundsEdgesToNearestPixelAndBoundsReadBackWhatWasSet) {
    auto window = m_System.CreateWindow(WindowLayout);
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

TEST_F(QtWindowTest, TabGoesOnFromTheControlTheUserClickedInto) {
    auto window = m_System.CreateWindow(WindowLayout);
    window->Show();
    QWidget* root = WidgetOf(*window);
    EXPECT_EQ(root->focusWidget(), Find(*window, "Text1"));
    auto* list = qobject_cast<QListWidget*>(Find(*window, "List1"));
    list->addItem(QStringLiteral("4'"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(root->focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(root->focusWidget(), Find(*window, "optUnit(1)")) << "the group's selected button";
    QTest::keyClick(root->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(root->focusWidget(), Find(*window, "Text1")) << "round to the first again";
    for (const char* key : {"lblName(0)", "Frame1", "imBanner", "lblBMI"}) {
        EXPECT_EQ(Find(*window, key)->focusPolicy(), Qt::NoFocus) << key;
    }
    // A picture button takes the focus from the keyboard only: a click leaves it.
    EXPECT_EQ(Find(*window, "btnHelp")->focusPolicy(), Qt::TabFocus);
    QTest::mouseClick(Find(*window, "btnHelp"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(root->focusWidget(), Find(*window, "Text1"));
}

TEST_F(QtWindowTest, AnArrowKeyMovesToTheNextOptionButtonOfTheGroupAndSelectsIt) {
    auto window = m_System.CreateWindow(WindowLayout);
    window->Show();
    Wait(20);
    auto& kilograms = window->Get<IOptionButton>("optUnit", 0);
    int clicks = 0;
    kilograms.Click.Connect([&] { ++clicks; });
    QWidget* pounds = Find(*window, "optUnit(1)");
    pounds->setFocus();
    QTest::keyClick(pounds, Qt::Key_Right);
    EXPECT_EQ(WidgetOf(*window)->focusWidget(), Find(*window, "optUnit(0)"));
    EXPECT_TRUE(kilograms.Value());
    EXPECT_FALSE(window->Get<IOptionButton>("optUnit", 1).Value());
    EXPECT_EQ(clicks, 1);
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
    auto window = m_System.CreateWindow(WindowLayout);
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
    auto window = m_System.CreateWindow(WindowLayout);
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
    auto main = m_System.CreateWindow(WindowLayout);
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

// Window managers minimise a dialog together with the window it belongs to,
// before the backend hides it. Shown again minimised, the dialog would ask the
// window manager to minimise it, which minimises its owner with it again.
TEST_F(QtWindowTest, OwnedWindowMinimisedWithItsOwnerByTheDesktopComesBackNormal) {
    auto main = m_System.CreateWindow(WindowLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    QWidget* mainWidget = WidgetOf(*main);
    QWidget* dialogWidget = WidgetOf(*dialog);
    for (int cycle = 0; cycle < 3; ++cycle) {
        dialogWidget->setWindowState(dialogWidget->windowState() | Qt::WindowMinimized);
        main->Minimise();
        ASSERT_TRUE(mainWidget->isMinimized());
        EXPECT_FALSE(dialogWidget->isVisible());
        main->Show();
        EXPECT_FALSE(mainWidget->isMinimized()) << "cycle " << cycle;
        EXPECT_TRUE(dialogWidget->isVisible()) << "cycle " << cycle;
        EXPECT_FALSE(dialogWidget->isMinimized()) << "cycle " << cycle;
    }
}

TEST_F(QtWindowTest, AnActiveOwnedWindowThatGoesHandsTheKeyboardBackToItsOwner) {
    auto main = m_System.CreateWindow(WindowLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    Wait(20);
    dialog->Show(main.get());
    Wait(20);
    ASSERT_EQ(QApplication::activeWindow(), WidgetOf(*dialog));
    dialog->Unload();
    Wait(20);
    EXPECT_EQ(QApplication::activeWindow(), WidgetOf(*main));
    EXPECT_EQ(QApplication::focusWidget(), Find(*main, "Text1")) << "its focus as it was";
}

TEST_F(QtWindowTest, UnloadDeletesTheWidgetsLaterAndLeavesTheControlsThrowing) {
    auto main = m_System.CreateWindow(WindowLayout);
    auto dialog = m_System.CreateWindow(DialogLayout);
    main->Show();
    dialog->Show(main.get());
    const QPointer<QWidget> mainWidget = WidgetOf(*main);
    const QPointer<QWidget> dialogWidget = WidgetOf(*dialog);
    auto& name = main->Get<ILabel>("lblName", 0);
    main->Unload();
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_EQ(main->Handle(), 0u);
    EXPECT_FALSE(mainWidget.isNull()) << "not inside a handler that may be the widget's own";
    EXPECT_FALSE(mainWidget->isVisible());
    FlushDeletes();
    EXPECT_TRUE(mainWidget.isNull()) << "the widget is deleted once Qt gets round to it";
    EXPECT_TRUE(dialogWidget.isNull());
    EXPECT_THROW(name.Caption(), PlatformError);
}

TEST_F(QtWindowTest, RunReturnsWhenTheLastWindowIsUnloaded) {
    auto main = m_System.CreateWindow(WindowLayout);
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
    auto main = m_System.CreateWindow(WindowLayout);
    main->Show();
    main->Unloaded.Connect([&] { main.reset(); });
    main->Unload();
    EXPECT_EQ(main, nullptr);
    FlushDeletes();
}

TEST_F(QtWindowTest, UserControlClassesMustBeRegistered) {
    QtWindowSystem bare;
    EXPECT_THROW(bare.CreateWindow(WindowLayout), PlatformError);
    EXPECT_TRUE(bare.Windows().empty()) << "nothing of the window is left";
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
