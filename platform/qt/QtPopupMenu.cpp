#include "platform/qt/QtPopupMenu.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <optional>

#include "platform/core/CoreWindow.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtConversions.h"

namespace ponderix::platform::qt {

class MenuWidget final : public QMenu {
public:
    MenuWidget() {
        setObjectName(QStringLiteral("ponderixPopupMenu"));
        // Qt's own replay of the press that closed the menu, on the desktops
        // that have one: ours below replays it on every desktop, once.
        setAttribute(Qt::WA_NoMouseReplay);
    }

    // Where the left press that closed the menu landed, outside it; none
    // when the menu closed otherwise.
    std::optional<QPoint> PressedOutside;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && activeAction() == nullptr) {
            close();
            return;
        }
        QMenu::keyPressEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && !rect().contains(event->position().toPoint())) {
            PressedOutside = event->globalPosition().toPoint();
        }
        QMenu::mousePressEvent(event);
    }
};

namespace {

// As a menu opens, the window under it hands Qt's focus to the menu, and Qt
// tells screen readers that the window was activated (it still is the active
// window): a reader then announces the window over the menu's first item.
// While the menu is open, that focus-out of its owner's window is held back;
// Qt does nothing else with it (the focus inside the window is Qt's popup
// handling's, which this event does not reach).
class HoldsBackTheFocusOutToAMenu final : public QObject {
public:
    explicit HoldsBackTheFocusOutToAMenu(const IWindow& owner) {
        // None once the owner is unloaded.
        if (QWidget* widget = WidgetOf(owner.Handle())) {
            m_Window = widget->windowHandle();
        }
        if (m_Window != nullptr) {
            m_Window->installEventFilter(this);
        }
    }
    ~HoldsBackTheFocusOutToAMenu() override {
        if (m_Window != nullptr) {
            m_Window->removeEventFilter(this);
        }
    }
    HoldsBackTheFocusOutToAMenu(const HoldsBackTheFocusOutToAMenu&) = delete;
    HoldsBackTheFocusOutToAMenu& operator=(const HoldsBackTheFocusOutToAMenu&) = delete;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        return event->type() == QEvent::FocusOut &&
               static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason;
    }

private:
    // The owner may be unloaded while the menu is open.
    QPointer<QWindow> m_Window;
};

// The press and release, delivered to the widget under the point once the
// handler that opened the menu is done, as the desktop's queue would.
void ReplayClick(QPoint global) {
    QTimer::singleShot(0, qApp, [global] {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QWidget* widget = QApplication::widgetAt(global);
            if (widget == nullptr) {
                return;
            }
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(type, widget->mapFromGlobal(global.toPointF()), global.toPointF(),
                              Qt::LeftButton, held, QApplication::keyboardModifiers());
            QApplication::sendEvent(widget, &event);
        }
    });
}

}  // namespace

QtPopupMenu::QtPopupMenu(IWindowSystem& system)
    : m_System(system), m_Menu(std::make_unique<MenuWidget>()) {}

// What a reader calls the widget at the point, if anything.
QString QtPopupMenu::NameAt(ScreenPoint at) const {
    QWidget* widget = WidgetOf(m_System.WindowFromPoint(at));
    QAccessibleInterface* accessible =
        widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

QtPopupMenu::~QtPopupMenu() = default;

void QtPopupMenu::InsertItem(unsigned position, unsigned id, std::string_view text) {
    auto* action = new QAction(ToQString(text), m_Menu.get());
    action->setData(id);
    const QList<QAction*> actions = m_Menu->actions();
    if (position < static_cast<unsigned>(actions.size())) {
        m_Menu->insertAction(actions[static_cast<qsizetype>(position)], action);
    } else {
        m_Menu->addAction(action);
    }
}

unsigned QtPopupMenu::Track(ScreenPoint at, const IWindow& owner) {
    // Not parented to the owner's widget: the owner may be unloaded, and its
    // widget deleted, while the menu is open.
    m_Menu->ensurePolished();
    const QSize size = m_Menu->sizeHint();
    m_Menu->PressedOutside.reset();
    // Opened by the keyboard or a reader, on its first item, which a reader
    // then says; opened by the mouse, on no item, and a reader says the menu.
    // It is named after the key that opened it.
    const core::VisibleControl* pressing = core::PressingIn(owner);
    const bool keyboard = pressing != nullptr;
    m_Menu->setAccessibleName(keyboard ? ToQString(pressing->AccessibleName()) : NameAt(at));
    QTimer::singleShot(0, m_Menu.get(), [menu = m_Menu.get(), keyboard] {
        if (!menu->isVisible() || menu->activeAction() != nullptr) {
            return;
        }
        if (keyboard && !menu->actions().isEmpty()) {
            menu->setActiveAction(menu->actions().front());
        } else {
            TellFocus(*menu);
        }
    });
    QAction* chosen = nullptr;
    {
        const HoldsBackTheFocusOutToAMenu holdsBack(owner);
        chosen = m_Menu->exec(QPoint(at.X - size.width(), at.Y));
    }
    // Closed without a choice, the keyboard is back where it was: a reader
    // says so, as it says the key when the focus comes to it (Qt tells it
    // nothing, the focus never having left the window). A choice opens a
    // window, which a reader says instead.
    if (keyboard && chosen == nullptr) {
        QTimer::singleShot(0, qApp, [] {
            if (QWidget* focused = QApplication::focusWidget()) {
                TellFocus(*focused);
            }
        });
    }
    if (m_Menu->PressedOutside) {
        ReplayClick(*m_Menu->PressedOutside);
    }
    return chosen != nullptr ? chosen->data().toUInt() : 0u;
}

}  // namespace ponderix::platform::qt
