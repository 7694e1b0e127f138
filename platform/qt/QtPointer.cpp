#include "platform/qt/QtPointer.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWindow>

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
    return m_Window != nullptr && m_Window->isVisible() && !m_Window->isMinimized();
}

QPoint PointerTracker::CursorPos() {
    if (Knows()) {
        return m_Position;
    }
    const QPoint position = m_Desktop.CursorPos();
    m_Asked = position;
    return position;
}

QWidget* PointerTracker::WidgetAt(QPoint global) {
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

bool PointerTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Enter: {
            if (!watched->isWindowType()) {
                break;
            }
            const auto* window = static_cast<QWindow*>(watched);
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
            // While a button is held or a popup is open, the events go to the
            // window that holds the mouse, wherever the pointer is.
            QWidget* widget = buttons == Qt::NoButton &&
                                      QApplication::activePopupWidget() == nullptr &&
                                      window->geometry().contains(global)
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
            if (watched->isWindowType()) {
                Forget();
            }
            break;
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ZOrderChange:
        case QEvent::WindowStateChange:
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
