// Where the pointer is and which window of the program lies under it, answered
// from what the desktop already told the program where that is certain, and
// by asking the desktop otherwise. On X11 every question Qt asks of the
// pointer (QCursor::pos, QApplication::widgetAt) is a round trip to the X
// server, and a hovered picture button asks both a hundred times a second.
//
// What is certain: the position of the last pointer event that reached one of
// the program's windows without a grab (no button held, no popup open) and
// inside that window, or the desktop's own answer; and that window as the
// top-level under it. Every pointer or crossing event the desktop sends, of
// any window of the program and whether Qt delivers it or not (a window that a
// modal dialog blocks, a grab by another program), ends the certainty until
// Qt delivers it; so does any top-level of the program being shown, hidden,
// moved, resized or restacked. A window of another program that comes over
// the pointer sends the window below it a crossing event, so the certainty
// ends then too. The widget under the pointer inside the known top-level is
// worked out from the widgets' own geometry, which the program keeps itself,
// once, and again after any widget was shown, hidden, moved, resized,
// restacked or reparented (the program sets no masks on its widgets, nor
// makes them transparent to the mouse after they are made).
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
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

    // The pointer's position on the screen.
    QPoint CursorPos();
    // The deepest widget of the program at the point, or null.
    QWidget* WidgetAt(QPoint global);

    // Whether both would be answered without asking the desktop now.
    bool Knows() const;

    // The application's events, and the native events of X11.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void Learn(QPoint global, QWidget* window);
    void Forget();

    Desktop m_Desktop;
    QPointer<QWidget> m_Window;  // the top-level under the pointer, when known
    QPoint m_Position;
    QPointer<QWidget> m_Under;  // the deepest widget there, once worked out
    // The desktop's last answer to CursorPos, while nothing has come since.
    std::optional<QPoint> m_Asked;
};

}  // namespace ponderix::platform::qt
