// User controls on the Qt backend: the load sequence, the surface's mouse
// notifications, its drawing and its size, and the real picture button on it.
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/CoreUserControlHost.h"
#include "platform/qt/tests/QtTestSupport.h"

namespace ponderix::platform::qt::testing {
namespace {

using Log = std::vector<std::string>;

Picture SolidPicture(int width, int height, std::uint32_t argb) {
    Bitmap bitmap{width, height, {}};
    bitmap.Pixels.assign(static_cast<std::size_t>(width * height), argb);
    return Picture::FromBitmap(std::move(bitmap));
}

constexpr PropertyEntry RecorderProperties[] = {{"Colour", 7}, {"Size", 3}};

// The program's picture button beside a recorder in a frame.
constexpr ControlSpec Controls[] = {
    HelpKey,
    {.Kind = ControlKind::Frame,
     .Name = "Frame4",
     .Rect = {360, 3570, 6510, 1650},
     .BackColour = Grey},
    {.Kind = ControlKind::UserControl,
     .Name = "btnRecord",
     .Container = "Frame4",
     .Rect = {180, 535, 2265, 600},
     .ClassId = Recorder::ClassId,
     .Properties = RecorderProperties},
};

constexpr WindowSpec Layout = TestWindow(Controls);

class QtUserControlTest : public QtBackendTest {
protected:
    QtUserControlTest()
        : m_Window(m_System.CreateWindow(Layout)),
          m_Recorder(m_Window->UserControl<Recorder>("btnRecord")),
          m_Surface(Find(*m_Window, "btnRecord")) {}

    // What the recorder received since the last call.
    Log Received() {
        Log log = std::move(m_Recorder.Log);
        m_Recorder.Log.clear();
        return log;
    }

    QRgb ShownAt(int x, int y) {
        return Grab(*m_Window).pixel(SurfaceOrigin() + QPoint(x, y)) & 0xFFFFFFu;
    }
    QPoint SurfaceOrigin() const { return m_Surface->mapTo(m_Surface->window(), QPoint(0, 0)); }

    std::unique_ptr<IWindow> m_Window;
    Recorder& m_Recorder;
    QWidget* m_Surface;
};

TEST_F(QtUserControlTest, ReadsItsPropertiesThenTakesItsLayoutSizeOnce) {
    EXPECT_EQ(Received(), (Log{"Read(2)", "Resize(2265,600)"}));
    EXPECT_EQ(m_Surface->geometry(), QRect(12, 36, 151, 40));
    EXPECT_TRUE(m_Surface->hasMouseTracking());
    EXPECT_TRUE(m_Surface->children().isEmpty()) << "no child widget between cursor and surface";
    auto& host = m_Window->Get<IUserControlHost>("btnRecord");
    EXPECT_EQ(host.Bounds(), (PixelRect{12, 35.6666679f, 151, 40}));
}

TEST_F(QtUserControlTest, MouseNotificationsCarryButtonShiftAndTwips) {
    m_Window->Show();
    Wait(20);
    Received();
    QTest::mouseMove(m_Surface, QPoint(3, 4));
    QTest::mousePress(m_Surface, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 6));
    QTest::mouseMove(m_Surface, QPoint(7, 8));
    QTest::mouseRelease(m_Surface, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier,
                        QPoint(7, 8));
    EXPECT_EQ(Received(), (Log{"Move(0,0,45,60)", "Down(1,1,75,90)", "Move(1,0,105,120)",
                               "Up(1,6,105,120)", "Click"}));

    QTest::mousePress(m_Surface, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(m_Surface, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mousePress(m_Surface, Qt::MiddleButton, {}, QPoint(1, 1));
    QTest::mouseRelease(m_Surface, Qt::MiddleButton, {}, QPoint(1, 1));
    EXPECT_EQ(Received(),
              (Log{"Down(2,0,150,150)", "Up(2,0,150,150)", "Down(4,0,15,15)", "Up(4,0,15,15)"}))
        << "only the left button clicks";
}

TEST_F(QtUserControlTest, SurfaceHoldsTheMouseWhileAButtonIsDownAndClicksOnlyInside) {
    m_Window->Show();
    QTest::mouseMove(m_Surface, QPoint(5, 5));
    Received();
    QTest::mousePress(m_Surface, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(m_Surface, QPoint(200, -10));  // outside the surface
    QTest::mouseRelease(m_Surface, Qt::LeftButton, {}, QPoint(200, -10));
    EXPECT_EQ(Received(), (Log{"Down(1,0,75,75)", "Move(1,0,3000,-150)", "Up(1,0,3000,-150)"}))
        << "no click for a release outside";
}

TEST_F(QtUserControlTest, DoubleClickComesInTheOrderDownUpClickDblClickUp) {
    m_Window->Show();
    QTest::mouseMove(m_Surface, QPoint(2, 2));
    Received();
    // The first press and release, then the second press as Qt reports it.
    QTest::mouseClick(m_Surface, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseDClick(m_Surface, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(m_Surface, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(Received(),
              (Log{"Down(1,0,30,30)", "Up(1,0,30,30)", "Click", "DblClick", "Up(1,0,30,30)"}));
}

TEST_F(QtUserControlTest, DrawnFaceStaysThroughHidingAndRepainting) {
    m_Window->Show();
    IUserControlSite& site = m_Recorder.Site;
    const QRgb face = ToRgb(Colour::System(SystemColour::ButtonFace));
    site.Clear();
    EXPECT_EQ(ShownAt(2, 2), face);
    site.DrawPicture(SolidPicture(10, 10, 0xFFFF0000u));
    EXPECT_EQ(ShownAt(2, 2), 0xFF0000u);
    EXPECT_EQ(ShownAt(20, 2), face) << "drawn at natural size from 0, 0";
    // A half-transparent picture is copied, not blended.
    site.DrawPicture(SolidPicture(4, 4, 0x4000FF00u));
    EXPECT_EQ(ShownAt(1, 1), 0x00FF00u);
    EXPECT_EQ(ShownAt(6, 6), 0xFF0000u) << "the earlier drawing stays where not drawn over";

    WidgetOf(*m_Window)->hide();
    WidgetOf(*m_Window)->show();
    m_Surface->repaint();
    EXPECT_EQ(ShownAt(1, 1), 0x00FF00u);
    EXPECT_EQ(ShownAt(6, 6), 0xFF0000u);
    site.Clear();
    EXPECT_EQ(ShownAt(1, 1), face);
    EXPECT_THROW(site.DrawPicture(Picture{}), PlatformError);
}

TEST_F(QtUserControlTest, SetWidthResizesAndNotifiesFromWithinTheCallOnlyOnAChange) {
    IUserControlSite& site = m_Recorder.Site;
    Received();
    // As a picture button does: every resize puts the size back to its own.
    m_Recorder.OnResize = [&] {
        if (site.Width() != 1500) {
            site.SetWidth(1500);
        }
    };
    site.SetWidth(3000);
    EXPECT_EQ(Received(), (Log{"Resize(3000,600)", "Resize(1500,600)"}));
    EXPECT_EQ(m_Surface->width(), 100);
    site.SetWidth(1500);
    site.SetHeight(600);
    EXPECT_EQ(Received(), Log{}) << "no change, no resize";
    site.SetHeight(300);
    EXPECT_EQ(Received(), (Log{"Resize(1500,300)"}));
    EXPECT_EQ(m_Surface->size(), QSize(100, 20));
    EXPECT_EQ(site.Width(), 1500.0f);
    EXPECT_EQ(site.Height(), 300.0f);
    // The host's Move works in pixels.
    m_Window->Get<IUserControlHost>("btnRecord").Move(1, 2, 10, 20);
    EXPECT_EQ(Received(), (Log{"Resize(150,300)", "Resize(1500,300)"}));
    EXPECT_EQ(m_Surface->geometry(), QRect(1, 2, 100, 20));
}

TEST_F(QtUserControlTest, PictureButtonFitsItsPictureWhateverSizeItIsGiven) {
    auto& help = m_Window->Get<IUserControlHost>("btnHelp");
    help.Move(398, 11, 50, 50);
    EXPECT_EQ(Geometry(*m_Window, "btnHelp"), QRect(398, 11, 21, 21));
    EXPECT_EQ(help.Bounds(), (PixelRect{398, 11, 21, 21}));
}

TEST_F(QtUserControlTest, SurfaceIsTheWindowUnderTheCursorUntilSomethingCoversIt) {
    m_Window->Show();
    const QPoint centre = m_Surface->mapToGlobal(m_Surface->rect().center());
    const ScreenPoint point{centre.x(), centre.y()};
    EXPECT_EQ(m_System.WindowFromPoint(point), m_Recorder.Site.Handle());
    EXPECT_EQ(m_Recorder.Site.Handle(), reinterpret_cast<WindowHandle>(m_Surface));

    QWidget cover(nullptr, Qt::Window | Qt::FramelessWindowHint);
    cover.setGeometry(QRect(centre - QPoint(5, 5), QSize(10, 10)));
    cover.show();
    EXPECT_EQ(m_System.WindowFromPoint(point), reinterpret_cast<WindowHandle>(&cover));
    cover.hide();
    EXPECT_EQ(m_System.WindowFromPoint(point), m_Recorder.Site.Handle());
    EXPECT_EQ(m_System.WindowFromPoint({-5000, -5000}), 0u);
}

TEST_F(QtUserControlTest, PictureButtonLightsUpUnderTheCursorAndGoesOutWhenItLeaves) {
    m_Window->Show();
    auto& help = m_Window->UserControl<controls::PictureButton>("btnHelp");
    QWidget* surface = Find(*m_Window, "btnHelp");
    const QPoint origin = surface->mapTo(surface->window(), QPoint(0, 0));
    auto faceAt = [&](int x, int y) {
        return Grab(*m_Window).pixel(origin + QPoint(x, y)) & 0xFFFFFFu;
    };
    // A pixel where the two faces differ.
    const Bitmap& normalFace = m_System.LoadPicture({"key_help.bmp"}).Pixels();
    const Bitmap& litFace = m_System.LoadPicture({"key_help_lit.bmp"}).Pixels();
    QPoint at(-1, -1);
    for (int i = 0; i < normalFace.Width * normalFace.Height && at.x() < 0; ++i) {
        const int x = i % normalFace.Width;
        const int y = i / normalFace.Width;
        if ((normalFace.At(x, y) ^ litFace.At(x, y)) & 0xFFFFFFu) {
            at = {x, y};
        }
    }
    ASSERT_GE(at.x(), 0);
    const std::uint32_t normal = normalFace.At(at.x(), at.y()) & 0xFFFFFFu;
    const std::uint32_t lit = litFace.At(at.x(), at.y()) & 0xFFFFFFu;
    EXPECT_EQ(faceAt(at.x(), at.y()), normal);

    int enters = 0;
    int leaves = 0;
    help.MouseEnter.Connect([&] { ++enters; });
    help.MouseLeave.Connect([&] { ++leaves; });
    QCursor::setPos(surface->mapToGlobal(QPoint(10, 10)));
    QTest::mouseMove(surface, QPoint(10, 10));
    EXPECT_EQ(help.State(), controls::PictureButton::Hover);
    EXPECT_EQ(faceAt(at.x(), at.y()), lit);
    EXPECT_EQ(enters, 1);

    QCursor::setPos(surface->mapToGlobal(QPoint(-100, 200)));
    for (int i = 0; i < 50 && leaves == 0; ++i) {
        Wait(5);
    }
    EXPECT_EQ(leaves, 1) << "the polling timer found the cursor gone";
    EXPECT_EQ(faceAt(at.x(), at.y()), normal);
}

// On Wayland, and through Xwayland once the pointer is over a window that is
// no X window, the desktop goes on saying that the pointer is where it was;
// only the crossing event says that it left. The key goes out at the next tick
// all the same, and its poll stops.
TEST_F(QtUserControlTest, APictureButtonGoesOutWhenThePointerLeavesUnseen) {
    m_Window->Show();
    auto& help = m_Window->UserControl<controls::PictureButton>("btnHelp");
    ITimer& poll = dynamic_cast<IUserControlSite&>(m_Window->Get<IUserControlHost>("btnHelp"))
                       .Timer("tmrUpdate");
    QWidget* surface = Find(*m_Window, "btnHelp");
    const QPoint over = surface->mapToGlobal(QPoint(10, 10));
    QCursor::setPos(over);
    QTest::mouseMove(surface, QPoint(10, 10));
    ASSERT_EQ(help.State(), controls::PictureButton::Hover);
    ASSERT_TRUE(poll.Enabled());
    int leaves = 0;
    help.MouseLeave.Connect([&] { ++leaves; });

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(WidgetOf(*m_Window)->windowHandle(), &leave);
    for (int i = 0; i < 50 && leaves == 0; ++i) {
        Wait(5);
    }
    EXPECT_EQ(QCursor::pos(), over) << "the desktop still says the pointer is over it";
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(help.State(), controls::PictureButton::Normal);
    EXPECT_FALSE(poll.Enabled()) << "a pointer resting elsewhere costs nothing";
    Wait(30);
    EXPECT_EQ(leaves, 1);

    QCursor::setPos(surface->mapToGlobal(QPoint(-100, 200)));  // where it went
    QTest::mouseMove(surface, QPoint(12, 10));
    EXPECT_EQ(help.State(), controls::PictureButton::Hover) << "and it lights again once back";
}

TEST_F(QtUserControlTest, ACursorComingOverTheSurfaceOrAWindowShownUnderItIsOneMoveThere) {
    m_Window->Show();
    QCursor::setPos(m_Surface->mapToGlobal(QPoint(4, 5)));
    Wait(20);
    Received();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_Surface, &leave);
    QEnterEvent enter(QPointF(4, 5), QPointF(4, 5), m_Surface->mapToGlobal(QPointF(4, 5)));
    QApplication::sendEvent(m_Surface, &enter);
    QTest::mouseMove(m_Surface, QPoint(4, 5));
    EXPECT_EQ(Received(), Log{"Move(0,0,60,75)"}) << "the cursor came back: one move, not two";
    m_Window->Show();
    Wait(20);
    EXPECT_EQ(Received(), Log{}) << "shown again where nothing changed";
    WidgetOf(*m_Window)->hide();
    m_Window->Show();
    Wait(20);
    EXPECT_EQ(Received(), Log{"Move(0,0,60,75)"}) << "shown after it was hidden";
}

TEST_F(QtUserControlTest, APictureButtonGoesOutWhenAMenuOverItIsClosedByAPressElsewhere) {
    m_Window->Show();
    auto& help = m_Window->UserControl<controls::PictureButton>("btnHelp");
    QWidget* surface = Find(*m_Window, "btnHelp");
    QCursor::setPos(surface->mapToGlobal(QPoint(10, 10)));
    QTest::mouseMove(surface, QPoint(10, 10));
    ASSERT_EQ(help.State(), controls::PictureButton::Hover);
    int leaves = 0;
    help.MouseLeave.Connect([&] { ++leaves; });
    const QPoint elsewhere = WidgetOf(*m_Window)->mapToGlobal(QPoint(100, 300));
    QTimer::singleShot(50, [&] {
        QWidget* open = QApplication::activePopupWidget();
        ASSERT_NE(open, nullptr);
        QCursor::setPos(elsewhere);
        QTest::mousePress(open, Qt::LeftButton, {}, open->mapFromGlobal(elsewhere));
        QWidget* under = QApplication::widgetAt(elsewhere);
        QTest::mouseRelease(under, Qt::LeftButton, {}, under->mapFromGlobal(elsewhere));
    });
    const auto menu = m_System.CreatePopupMenu();
    menu->InsertItem(0, 1, "About");
    EXPECT_EQ(menu->Track(m_System.CursorPos(), *m_Window), 0u);
    for (int i = 0; i < 50 && leaves == 0; ++i) {
        Wait(5);
    }
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(help.State(), controls::PictureButton::Normal) << "not left lit";
}

TEST_F(QtUserControlTest, ChildrenOfTheDesignAndOperationsAfterUnload) {
    IUserControlSite& site = m_Recorder.Site;
    EXPECT_EQ(site.PictureBox("picBox").Width(), 1635.0f);
    EXPECT_THROW(site.Timer("picBox"), PlatformError);
    EXPECT_THROW(site.PictureBox("nothing"), PlatformError);
    ITimer& timer = site.Timer("tmrTick");
    int ticks = 0;
    timer.Tick.Connect([&] { ++ticks; });
    EXPECT_EQ(timer.Interval(), 1);
    timer.SetEnabled(true);
    Wait(100);
    EXPECT_GE(ticks, 5) << "a 1 ms timer polls as often as timers go";
    site.PropertyChanged("Picture");
    const auto* host = dynamic_cast<core::UserControlHost*>(&m_Window->Control("btnRecord"));
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->ChangedProperties(), Log{"Picture"});

    m_Window->Unload();
    const int atUnload = ticks;
    Wait(30);
    EXPECT_EQ(ticks, atUnload) << "the children's timers stop with the window";
    EXPECT_THROW(site.SetWidth(10), PlatformError);
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
