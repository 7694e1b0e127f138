#include "platform/qt/QtPointer.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>

namespace ponderix::platform::qt {
namespace {

// The top-level widget whose native window this is.
QWidget* WidgetOfWindow(const QWindow* window) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) {
            return widget;
        }
    }
    return nullptr;
}

// As QApplication::widgetAt finds it once it knows the top-level.
QWidget* DeepestAt(QWidget& window, QPoint global) {
    if (window.testAttribute(Qt::WA_TransparentForMouseEvents)) {
        return nullptr;
    }
    QWidget* child = window.childAt(window.mapFromGlobal(global));
    return child != nullptr ? child : &window;
}

// An X event about the pointer: a button, a move or a crossing, or an event of
// an extension (the input extension's pointer events come so).
bool IsPointerEvent(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7F) {
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
        case XCB_MOTION_NOTIFY:
        case XCB_ENTER_NOTIFY:
        case XCB_LEAVE_NOTIFY:
        case XCB_GE_GENERIC:
            return true;
        default:
            return false;
    }
}

// A popup of the program is open, or opening.
bool PopupShown() {
    if (QApplication::activePopupWidget() != nullptr) {
        return true;
    }
    const QWindowList windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.begin(), windows.end(), [](const QWindow* window) {
        return window->type() == Qt::Popup && window->isVisible();
    });
}

}  // namespace

PointerTracker::PointerTracker(Desktop desktop) : m_Desktop(std::move(desktop)) {
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
}

PointerTracker::~PointerTracker() {
    if (qApp != nullptr) {
        qApp->removeNativeEventFilter(this);
        qApp->removeEventFilter(this);
    }
}

bool PointerTracker::Knows() const {
    return m_Outside || (m_Window != nullptr && m_Window->isVisible() && !m_Window->isMinimized());
}

QPoint PointerTracker::CursorPos() {
    if (m_Outside) {
        return m_LastSeen;
    }
    if (Knows()) {
        return m_Position;
    }
    const QPoint position = m_Desktop.CursorPos();
    m_Asked = position;
    return position;
}

QWidget* PointerTracker::WidgetAt(QPoint global) {
    if (m_Outside && global == m_LastSeen) {
        return nullptr;
    }
    if (Knows() && global == m_Position) {
        if (m_Under == nullptr) {
            m_Under = DeepestAt(*m_Window, global);
        }
        return m_Under;
    }
    QWidget* widget = m_Desktop.WidgetAt(global);
    // The desktop's two answers together, with nothing in between: the
    // pointer is there, over that window.
    if (widget != nullptr && m_Asked == global) {
        Learn(global, widget->window());
    }
    m_Asked.reset();
    return widget;
}

void PointerTracker::Learn(QPoint global, QWidget* window) {
    if (window != m_Window || global != m_Position) {
        m_Under = nullptr;
    }
    m_Window = window;
    m_Position = global;
    m_Asked.reset();
}

void PointerTracker::Forget() {
    m_Window = nullptr;
    m_Under = nullptr;
    m_Asked.reset();
}

void PointerTracker::Inside(QWindow* window, QPoint global) {
    m_In = window;
    m_LastSeen = global;
    m_Outside = false;
}

void PointerTracker::Left(const QWindow* window) {
    // A leave that comes after the pointer entered another window of the
    // program says nothing of where it is now.
    if (m_In == nullptr || m_In == window) {
        m_In = nullptr;
        m_Outside = true;
    }
    Forget();
}

bool PointerTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Enter: {
            if (!watched->isWindowType()) {
                break;
            }
            auto* window = static_cast<QWindow*>(watched);
            QPoint global;
            Qt::MouseButtons buttons;
            if (event->type() == QEvent::Enter) {
                global = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
                buttons = QGuiApplication::mouseButtons();
            } else {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                global = mouse->globalPosition().toPoint();
                buttons = mouse->buttons();
            }
            const bool inside = window->geometry().contains(global);
            if (inside || event->type() == QEvent::Enter) {
                Inside(window, global);
            }
            // While a button is held or a popup is open, the events go to the
            // window that holds the mouse, wherever the pointer is.
            QWidget* widget =
                buttons == Qt::NoButton && QApplication::activePopupWidget() == nullptr && inside
                    ? WidgetOfWindow(window)
                    : nullptr;
            if (widget != nullptr) {
                Learn(global, widget);
            } else {
                Forget();
            }
            break;
        }
        case QEvent::Leave:
            // The window under the pointer may hear that it left when a popup
            // opens and takes the mouse; the pointer is still where it was.
            if (watched->isWindowType() && !PopupShown()) {
                Left(static_cast<QWindow*>(watched));
            } else if (watched->isWindowType()) {
                Forget();
            }
            break;
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            if (watched->isWidgetType()) {
                auto* widget = static_cast<QWidget*>(watched);
                // The window the pointer was in went from under it: what comes
                // there instead tells the program so (an enter), if it is its.
                if (widget->isWindow() && m_In != nullptr && widget->windowHandle() == m_In &&
                    (event->type() == QEvent::Hide ||
                     (event->spontaneous() && widget->isMinimized()))) {
                    Left(m_In);
                    break;
                }
            }
            [[fallthrough]];
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ZOrderChange:
        case QEvent::ParentChange:
            if (watched->isWidgetType()) {
                if (static_cast<QWidget*>(watched)->isWindow()) {
                    Forget();
                } else {
                    m_Under = nullptr;  // worked out again at the next question
                }
            }
            break;
        default:
            break;
    }
    return false;
}

bool PointerTracker::nativeEventFilter(const QByteArray& eventType, void* message,
                                       qintptr* /*result*/) {
    if (eventType == "xcb_generic_event_t" && message != nullptr &&
        IsPointerEvent(*static_cast<const xcb_generic_event_t*>(message))) {
        Forget();  // until Qt delivers it, if it does
    }
    return false;
}

}  // namespace ponderix::platform::qt
