// The pointer as the Qt backend answers it on X11 without asking the X server:
// from what it was told, until anything could have changed it. The desktop's
// answers are counted; the X server's own events are made up here, as the
// tests draw off screen.
#include <xcb/xcb.h>

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <string>

#include "platform/qt/QtPointer.h"
#include "platform/qt/tests/QtTestSupport.h"

namespace ponderix::platform::qt::testing {
namespace {

class QtPointerTest : public ::testing::Test {
protected:
    QtPointerTest()
        : m_Tracker({[this] {
                         ++m_Asked;
                         return QCursor::pos();
                     },
                     [this](QPoint global) {
                         ++m_Asked;
                         return QApplication::widgetAt(global);
                     }}) {
        m_Window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        m_Window.setGeometry(100, 100, 300, 200);
        m_Button->setGeometry(10, 10, 50, 30);
        m_Window.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&m_Window));
        // Over the button; the X server would say that the pointer moved.
        QCursor::setPos(m_Window.mapToGlobal(QPoint(20, 20)));
        QCoreApplication::processEvents();
        XServerSends(XCB_MOTION_NOTIFY);
    }

    // As the picture button asks: where the pointer is, and what lies there.
    QWidget* Poll() { return m_Tracker.WidgetAt(m_Tracker.CursorPos()); }

    // Polls once; the number of questions it asked the desktop.
    int AskedByPoll() {
        const int before = m_Asked;
        Poll();
        return m_Asked - before;
    }

    void XServerSends(std::uint8_t responseType) {
        xcb_generic_event_t event{};
        event.response_type = responseType;
        m_Tracker.nativeEventFilter("xcb_generic_event_t", &event, nullptr);
    }

    QWindow* Native() { return m_Window.windowHandle(); }

    int m_Asked = 0;
    PointerTracker m_Tracker;
    QWidget m_Window;
    QWidget* m_Button = new QWidget(&m_Window);
};

TEST_F(QtPointerTest, AsksTheDesktopOnceThenAnswersFromWhatItWasTold) {
    EXPECT_EQ(Poll(), m_Button);
    EXPECT_EQ(m_Asked, 2) << "the position, then the window there";
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(Poll(), m_Button);
    }
    EXPECT_EQ(m_Asked, 2) << "a resting pointer costs no more questions";
    EXPECT_TRUE(m_Tracker.Knows());

    // The widgets' own geometry answers for the widgets inside the window,
    // whatever happens to them.
    QWidget cover(&m_Window);
    cover.setGeometry(0, 0, 40, 40);
    cover.hide();
    struct Step {
        std::string What;
        std::function<void()> Act;
        QWidget* Under;
    };
    const Step steps[] = {
        {"the button hidden", [&] { m_Button->hide(); }, &m_Window},
        {"shown again", [&] { m_Button->show(); }, m_Button},
        {"moved away", [&] { m_Button->move(100, 100); }, &m_Window},
        {"moved back", [&] { m_Button->move(10, 10); }, m_Button},
        {"made smaller", [&] { m_Button->resize(5, 5); }, &m_Window},
        {"made larger", [&] { m_Button->resize(50, 30); }, m_Button},
        {"a sibling shown over it", [&] { cover.show(); }, &cover},
        {"the button raised above it", [&] { m_Button->raise(); }, m_Button},
        {"the sibling raised again", [&] { cover.raise(); }, &cover},
        {"the button put into it", [&] { m_Button->setParent(&cover), m_Button->show(); },
         m_Button},
        {"the sibling gone",
         [&] { m_Button->setParent(&m_Window), m_Button->show(), cover.hide(); }, m_Button},
    };
    for (const Step& step : steps) {
        step.Act();
        EXPECT_EQ(Poll(), step.Under) << step.What;
    }
    EXPECT_EQ(m_Asked, 2);

    // Another point than the pointer's is the desktop's to answer.
    EXPECT_EQ(m_Tracker.WidgetAt(m_Window.mapToGlobal(QPoint(200, 150))), &m_Window);
    EXPECT_EQ(m_Asked, 3);
}

TEST_F(QtPointerTest, AMoveThatQtDeliversIsTheAnswerWithoutAsking) {
    QTest::mouseMove(Native(), QPoint(200, 150));
    EXPECT_TRUE(m_Tracker.Knows());
    EXPECT_EQ(m_Tracker.CursorPos(), m_Window.mapToGlobal(QPoint(200, 150)));
    EXPECT_EQ(Poll(), &m_Window);
    QTest::mouseMove(Native(), QPoint(15, 15));
    EXPECT_EQ(Poll(), m_Button);
    EXPECT_EQ(m_Asked, 0);
}

TEST_F(QtPointerTest, WhileAButtonIsHeldTheEventsTellNothing) {
    QTest::mouseMove(Native(), QPoint(15, 15));
    QTest::mousePress(Native(), Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_FALSE(m_Tracker.Knows()) << "the mouse is held by the window it was pressed in";
    QTest::mouseMove(Native(), QPoint(200, 150));
    EXPECT_FALSE(m_Tracker.Knows());
    QTest::mouseRelease(Native(), Qt::LeftButton, {}, QPoint(200, 150));
    EXPECT_TRUE(m_Tracker.Knows()) << "released inside the window, without a grab";
    EXPECT_EQ(Poll(), &m_Window);
}

TEST_F(QtPointerTest, WhatEndsTheCertainty) {
    QWidget other(nullptr, Qt::Window | Qt::FramelessWindowHint);
    other.setGeometry(500, 500, 50, 50);
    struct Case {
        std::string What;
        std::function<void()> Act;
        std::function<void()> Undo;
    };
    const Case cases[] = {
        {"X: a button pressed", [&] { XServerSends(XCB_BUTTON_PRESS); }, {}},
        {"X: a button released", [&] { XServerSends(XCB_BUTTON_RELEASE); }, {}},
        {"X: the pointer moved", [&] { XServerSends(XCB_MOTION_NOTIFY); }, {}},
        {"X: the pointer came in", [&] { XServerSends(XCB_ENTER_NOTIFY); }, {}},
        {"X: the pointer went out", [&] { XServerSends(XCB_LEAVE_NOTIFY); }, {}},
        {"X: the pointer, sent again", [&] { XServerSends(XCB_LEAVE_NOTIFY | 0x80); }, {}},
        {"X: an input extension event", [&] { XServerSends(XCB_GE_GENERIC); }, {}},
        {"another window shown", [&] { other.show(); }, [&] { other.hide(); }},
        {"the window moved", [&] { m_Window.move(120, 100); }, [&] { m_Window.move(100, 100); }},
        {"the window raised", [&] { m_Window.raise(); }, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        AskedByPoll();
        ASSERT_TRUE(m_Tracker.Knows());
        test.Act();
        QCoreApplication::processEvents();
        EXPECT_FALSE(m_Tracker.Knows());
        EXPECT_EQ(AskedByPoll(), 2) << "asks the desktop again";
        if (test.Undo) {
            test.Undo();
            QCoreApplication::processEvents();
        }
    }
}

// The desktop may not know where the pointer went (Wayland, Xwayland): its
// answer stays where the pointer was, over the button. The crossing events say
// that the pointer is over no window of the program, until it comes back.
TEST_F(QtPointerTest, APointerThatLeftEveryWindowIsOverNoneOfThemTillItComesBack) {
    QWidget other(nullptr, Qt::Window | Qt::FramelessWindowHint);
    other.setGeometry(500, 500, 50, 50);
    other.show();
    static_cast<void>(QTest::qWaitForWindowExposed(&other));
    const auto leave = [](QWindow* window) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(window, &event);
    };
    const auto enter = [](QWindow* window, QPoint local) {
        QEnterEvent event(local, local, window->mapToGlobal(local));
        QApplication::sendEvent(window, &event);
    };
    struct Case {
        std::string What;
        std::function<void()> Leave;
        std::function<void()> ComeBack;
    };
    // Each comes back to another point over the button: Qt passes on no move
    // to where the pointer already was.
    const Case cases[] = {
        {"left, and entered again", [&] { leave(Native()); },
         [&] { enter(Native(), QPoint(20, 20)); }},
        {"left, and moved over it again", [&] { leave(Native()); },
         [&] { QTest::mouseMove(Native(), QPoint(21, 20)); }},
        {"the window hidden from under it", [&] { m_Window.hide(); },
         [&] {
             m_Window.show();
             static_cast<void>(QTest::qWaitForWindowExposed(&m_Window));
             enter(Native(), QPoint(22, 20));
         }},
        {"the window minimised from under it", [&] { m_Window.showMinimized(); },
         [&] {
             m_Window.showNormal();
             QTest::mouseMove(Native(), QPoint(23, 20));
         }},
        {"into another window of the program, then out of that",
         [&] {
             leave(Native());
             enter(other.windowHandle(), QPoint(5, 5));
             leave(other.windowHandle());
         },
         [&] { enter(Native(), QPoint(24, 20)); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        ASSERT_EQ(Poll(), m_Button);
        test.Leave();
        QCoreApplication::processEvents();
        EXPECT_TRUE(m_Tracker.IsOutside());
        EXPECT_EQ(AskedByPoll(), 0) << "nothing to ask while outside";
        EXPECT_EQ(Poll(), nullptr);
        test.ComeBack();
        QCoreApplication::processEvents();
        EXPECT_FALSE(m_Tracker.IsOutside());
        EXPECT_EQ(Poll(), m_Button);
    }
    leave(Native());
    EXPECT_EQ(m_Tracker.CursorPos(), m_Window.mapToGlobal(QPoint(24, 20))) << "the last one seen";
    EXPECT_EQ(m_Tracker.WidgetAt(m_Window.mapToGlobal(QPoint(200, 150))), &m_Window)
        << "another point than the pointer's is still the desktop's to answer";

    // Out of a window after the pointer came into another: about the first,
    // the leave says nothing.
    enter(Native(), QPoint(25, 20));
    enter(other.windowHandle(), QPoint(5, 5));
    leave(Native());
    EXPECT_FALSE(m_Tracker.IsOutside());
    // A popup takes the mouse, and Qt tells the window below that the pointer
    // left it: it is still where it was.
    QMenu menu;
    menu.addAction(QStringLiteral("About"));
    menu.popup(m_Window.mapToGlobal(QPoint(200, 100)));
    QCoreApplication::processEvents();
    leave(Native());
    EXPECT_FALSE(m_Tracker.IsOutside());
    menu.close();
}

TEST_F(QtPointerTest, WhatLeavesTheCertainty) {
    const std::pair<std::string, std::function<void()>> cases[] = {
        {"X: the window is exposed", [&] { XServerSends(XCB_EXPOSE); }},
        {"X: a property changes", [&] { XServerSends(XCB_PROPERTY_NOTIFY); }},
        {"X: a key is pressed", [&] { XServerSends(XCB_KEY_PRESS); }},
        {"a control inside the window hidden and shown",
         [&] {
             m_Button->hide();
             m_Button->show();
         }},
        {"the window repainted", [&] { m_Window.repaint(); }},
    };
    AskedByPoll();
    for (const auto& [what, act] : cases) {
        SCOPED_TRACE(what);
        act();
        QCoreApplication::processEvents();
        EXPECT_TRUE(m_Tracker.Knows());
        EXPECT_EQ(AskedByPoll(), 0);
    }
}

TEST_F(QtPointerTest, AnEventBetweenTheDesktopsTwoAnswersKeepsThemApart) {
    const QPoint position = m_Tracker.CursorPos();
    XServerSends(XCB_MOTION_NOTIFY);  // the pointer may be elsewhere by now
    EXPECT_EQ(m_Tracker.WidgetAt(position), m_Button);
    EXPECT_FALSE(m_Tracker.Knows());
    EXPECT_EQ(AskedByPoll(), 2);
    EXPECT_TRUE(m_Tracker.Knows());
}

TEST_F(QtPointerTest, WhileAPopupIsOpenOnlyTheDesktopKnows) {
    AskedByPoll();
    QMenu menu;
    menu.addAction(QStringLiteral("About"));
    menu.popup(m_Window.mapToGlobal(QPoint(200, 100)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_Tracker.Knows()) << "a window of the program was shown";
    // The popup holds the mouse: its events come from wherever the pointer is.
    QTest::mouseMove(menu.windowHandle(), QPoint(2, 2));
    EXPECT_FALSE(m_Tracker.Knows());
    EXPECT_EQ(AskedByPoll(), 2);
    EXPECT_TRUE(m_Tracker.Knows()) << "the desktop's answer holds until an event comes";
    menu.close();
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
