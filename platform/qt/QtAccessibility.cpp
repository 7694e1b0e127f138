#include "platform/qt/QtAccessibility.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>

#include "platform/qt/QtControls.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtUserControlHost.h"

namespace ponderix::platform::qt {
namespace {

// The widget property that holds an AccessibleRole.
constexpr const char* RoleProperty = "ponderixAccessibleRole";

// The press of a button or a link of ours, if the widget has one.
std::function<void()> PressOf(QWidget* widget) {
    if (auto* clickable = dynamic_cast<ClickableWidget*>(widget)) {
        return clickable->OnPress;
    }
    if (auto* surface = dynamic_cast<SurfaceWidget*>(widget)) {
        return surface->OnPress;
    }
    return nullptr;
}

// The role set on one of our widgets, if any.
std::optional<AccessibleRole> RoleOf(const QWidget& widget) {
    const QVariant role = widget.property(RoleProperty);
    if (!role.isValid()) {
        return std::nullopt;
    }
    return static_cast<AccessibleRole>(role.toInt());
}

bool IsDecoration(const QWidget& widget) {
    return RoleOf(widget) == AccessibleRole::Decoration;
}

class ControlAccessible final : public QAccessibleWidget {
public:
    ControlAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    // The child widgets as Qt's own interface has them, less the decorations,
    // which readers do not meet.
    int childCount() const override { return static_cast<int>(Children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList children = Children();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr ? static_cast<int>(Children().indexOf(child->object())) : -1;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (CanPress()) {
            names.prepend(pressAction());
        }
        return names;
    }

    // Later, from the event loop: a press may open a menu or a message box,
    // and the screen reader waits for the answer to its request meanwhile.
    void doAction(const QString& action) override {
        if (action != pressAction() || !CanPress()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        QTimer::singleShot(0, widget(), [target = QPointer<QWidget>(widget())] {
            if (target != nullptr) {
                if (const std::function<void()> press = PressOf(target)) {
                    FromEventLoop(press);
                }
            }
        });
    }

    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

private:
    QWidgetList Children() const {
        QWidgetList children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && qobject_cast<QMenu*>(child) == nullptr &&
                !IsDecoration(*child)) {
                children.append(child);
            }
        }
        return children;
    }

    bool CanPress() const {
        return (role() == QAccessible::Button || role() == QAccessible::Link) &&
               static_cast<bool>(PressOf(widget()));
    }
};

// The program as Qt presents it, with its open popup menus among its windows.
// Qt leaves them out, so a menu had no place in the program, and a reader took
// it for an object already gone: it said the item but never the menu.
class ApplicationAccessible final : public QAccessibleApplication {
public:
    int childCount() const override {
        return QAccessibleApplication::childCount() + static_cast<int>(OpenMenus().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int windows = QAccessibleApplication::childCount();
        if (index < windows) {
            return QAccessibleApplication::child(index);
        }
        const QWidgetList menus = OpenMenus();
        return index - windows < menus.size()
                   ? QAccessible::queryAccessibleInterface(menus[index - windows])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const int window = QAccessibleApplication::indexOfChild(child);
        if (window >= 0 || child == nullptr) {
            return window;
        }
        const auto menu = static_cast<int>(OpenMenus().indexOf(child->object()));
        return menu >= 0 ? QAccessibleApplication::childCount() + menu : -1;
    }

private:
    static QWidgetList OpenMenus() {
        QWidgetList menus;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMenu*>(window) != nullptr && window->isVisible()) {
                menus.append(window);
            }
        }
        return menus;
    }
};

// The program itself, and the widgets of our own classes, which add no
// meta-object of their own to QWidget's; Qt's widgets have their own
// interfaces.
QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (object == qApp) {
        return new ApplicationAccessible;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || widget->metaObject() != &QWidget::staticMetaObject) {
        return nullptr;
    }
    const std::optional<AccessibleRole> role = RoleOf(*widget);
    return role ? new ControlAccessible(widget, ToQAccessibleRole(*role)) : nullptr;
}

AccessibleChangeListener g_Listener = nullptr;

// Tells screen readers of the widget, or of its child of that index (from 0).
void Tell(QWidget& widget, QAccessible::Event what, int child = -1) {
    QAccessibleEvent event(&widget, what);
    if (child >= 0) {
        event.setChild(child);
    }
    QAccessible::updateAccessibility(&event);
}

void Heard(QWidget& widget, QAccessible::Event what) {
    if (g_Listener != nullptr) {
        g_Listener(widget, what);
    }
}

}  // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void SetAccessibleRole(QWidget& widget, AccessibleRole role) {
    widget.setProperty(RoleProperty, static_cast<int>(role));
}

// QWidget tells of a new text itself, and of the same text again on some
// versions of Qt only.
void TellAccessibleName(QWidget& widget, const QString& name) {
    if (widget.accessibleName() != name) {
        widget.setAccessibleName(name);
    } else {
        Tell(widget, QAccessible::NameChanged);
    }
    Heard(widget, QAccessible::NameChanged);
}

void TellAccessibleDescription(QWidget& widget, const QString& description) {
    if (widget.accessibleDescription() != description) {
        widget.setAccessibleDescription(description);
    } else {
        Tell(widget, QAccessible::DescriptionChanged);
    }
    Heard(widget, QAccessible::DescriptionChanged);
}

namespace {

// Filters the events of the list it is a child of, so goes with it.
class CurrentRowTeller final : public QObject {
public:
    explicit CurrentRowTeller(QListWidget& list) : QObject(&list) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // After Qt has told of the list itself.
            QTimer::singleShot(0, this, [list = static_cast<QListWidget*>(watched)] {
                if (list->hasFocus() && list->currentRow() >= 0) {
                    TellFocus(*list, list->currentRow());
                }
            });
        }
        return false;
    }
};

}  // namespace

void TellFocus(QWidget& widget, int child) {
    Tell(widget, QAccessible::Focus, child);
}

void TellCurrentRowOnFocus(QListWidget& list) {
    list.installEventFilter(new CurrentRowTeller(list));
}

void TellAnnouncement(QWidget& widget, const QString& text) {
    widget.hide();
    widget.setAccessibleName(text);
    widget.show();
    Heard(widget, QAccessible::ObjectShow);
}

void SetAccessibleChangeListener(AccessibleChangeListener listener) {
    g_Listener = listener;
}

QAccessible::Role ToQAccessibleRole(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::StaticText:
            return QAccessible::StaticText;
        case AccessibleRole::EditableText:
            return QAccessible::EditableText;
        case AccessibleRole::List:
            return QAccessible::List;
        case AccessibleRole::RadioButton:
            return QAccessible::RadioButton;
        case AccessibleRole::Grouping:
            return QAccessible::Grouping;
        case AccessibleRole::Graphic:
            return QAccessible::Graphic;
        case AccessibleRole::PushButton:
            return QAccessible::Button;
        case AccessibleRole::Link:
            return QAccessible::Link;
        case AccessibleRole::Window:
            return QAccessible::Window;
        case AccessibleRole::Dialog:
            return QAccessible::Dialog;
        case AccessibleRole::Notification:
            return QAccessible::Notification;
        case AccessibleRole::Decoration:
            return QAccessible::NoRole;
        case AccessibleRole::Default:
        case AccessibleRole::Pane:
            return QAccessible::Pane;
    }
    return QAccessible::Pane;
}

}  // namespace ponderix::platform::qt
