// Where the pointer is and which window of the program lies under it, answered
// from what the desktop already told the program where that is certain, and
// by asking the desktop otherwise.
//
// Two things make asking the desktop a poor answer. On X11 every question Qt
// asks of the pointer (QCursor::pos, QApplication::widgetAt) is a round trip
// to the X server, and a hovered picture button asks both a hundred times a
// second. And a desktop may not know where the pointer is at all: Wayland
// never tells a program where the pointer is outside its own windows (Qt's
// QCursor::pos stays where the pointer was last seen), and Xwayland's X server
// stops following it once it is over a window that is not an X window.
//
// So the crossing events come first. When the pointer leaves a window of the
// program and enters none other (a leave or crossing event, or the window it
// was in going or being minimised), nothing of the program is under it: the
// position is then the last one seen, and no widget of the program lies at
// it, until the pointer enters one of the program's windows again (an enter
// event, or any pointer event inside one of them).
//
// Inside the program's windows, what is certain: the position of the last
// pointer event that reached one of them without a grab (no button held, no
// popup open) and inside that window, or the desktop's own answer; and that
// window as the top-level under it. Every pointer or crossing event the X
// server sends, of any window of the program and whether Qt delivers it or not
// (a window that a modal dialog blocks, a grab by another program), ends the
// certainty until Qt delivers it; so does any top-level of the program being
// shown, hidden, moved, resized or restacked. A window of another program that
// comes over the pointer sends the window below it a crossing event, so the
// certainty ends then too. The widget under the pointer inside the known
// top-level is worked out from the widgets' own geometry, which the program
// keeps itself, once, and again after any widget was shown, hidden, moved,
// resized, restacked or reparented (the program sets no masks on its widgets,
// nor makes them transparent to the mouse after they are made).
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <optional>

namespace ponderix::platform::qt {

class PointerTracker final : public QObject, public QAbstractNativeEventFilter {
public:
    // How to ask the desktop: Qt's own calls, or a test's.
    struct Desktop {
        std::function<QPoint()> CursorPos;
        std::function<QWidget*(QPoint)> WidgetAt;
    };

    // Watches the application's events from now on; a QApplication must exist.
    explicit PointerTracker(Desktop desktop);
    ~PointerTracker() override;
    PointerTracker(const PointerTracker&) = delete;
    PointerTracker& operator=(const PointerTracker&) = delete;

    // The pointer's position on the screen; the last one seen while it is
    // outside every window of the program.
    QPoint CursorPos();
    // The deepest widget of the program at the point, or null; null at the
    // pointer's position while it is outside every window of the program.
    QWidget* WidgetAt(QPoint global);

    // Whether both would be answered without asking the desktop now.
    bool Knows() const;
    // Whether the crossing events say that the pointer is over no window of
    // the program.
    bool IsOutside() const { return m_Outside; }

    // The application's events, and the native events of X11.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void Learn(QPoint global, QWidget* window);
    void Forget();
    // The pointer is over that top-level window of the program, at the point.
    void Inside(QWindow* window, QPoint global);
    // It left that window, or the window went from under it.
    void Left(const QWindow* window);

    Desktop m_Desktop;
    QPointer<QWidget> m_Window;  // the top-level under the pointer, when known
    QPoint m_Position;
    QPointer<QWidget> m_Under;  // the deepest widget there, once worked out
    // The desktop's last answer to CursorPos, while nothing has come since.
    std::optional<QPoint> m_Asked;

    // The top-level the pointer was last seen in, as the crossing events say.
    QPointer<QWindow> m_In;
    // Where the pointer was last seen by any event of the program's windows.
    QPoint m_LastSeen;
    // It left every window of the program since.
    bool m_Outside = false;
};

}  // namespace ponderix::platform::qt
