// The window-system contract on real widgets, drawn off screen. The driver
// acts as the user through Qt's own input (QTest), on the widget the input
// would reach, and reads what the widgets show.
#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtWindowSystem.h"
#include "platform/tests/conformance/Conformance.h"

namespace ponderix::platform::conformance {
namespace {

constexpr int WaitForDialogMs = 2000;

QWidget* WidgetOf(const IWindow& window) {
    return reinterpret_cast<QWidget*>(window.Handle());
}

QWidget* Find(const IWindow& window, std::string_view key) {
    QWidget* root = WidgetOf(window);
    if (root == nullptr) {
        throw PlatformError("the window is unloaded");
    }
    auto* widget = root->findChild<QWidget*>(
        QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    if (widget == nullptr) {
        throw PlatformError("no widget '" + std::string(key) + "'");
    }
    return widget;
}

// Presses and releases the left button at a point of the screen on the widget
// there, as the desktop would deliver it.
void PressAndRelease(QWidget* widget, QPoint global) {
    const QPointer<QWidget> target = widget;
    QTest::mousePress(target, Qt::LeftButton, {}, target->mapFromGlobal(global));
    if (QApplication::activePopupWidget() == nullptr) {
        // The press may have closed a popup: the release goes where the pointer is.
        QWidget* under = QApplication::widgetAt(global);
        if (under != nullptr) {
            QTest::mouseRelease(under, Qt::LeftButton, {}, under->mapFromGlobal(global));
        }
        return;
    }
    if (!target.isNull()) {
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFromGlobal(global));
    }
}

// What screen readers are told, while a driver records it.
std::vector<std::string>* g_ReaderEvents = nullptr;

void RecordReaderEvent(QWidget& widget, QAccessible::Event event) {
    if (g_ReaderEvents != nullptr && event == QAccessible::ObjectShow) {
        // An announcement: what a reader reads of it when it comes into view.
        const QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(&widget);
        if (shown != nullptr && shown->role() == QAccessible::Notification &&
            shown->state().invisible == 0) {
            g_ReaderEvents->push_back("announce " + shown->text(QAccessible::Name).toStdString());
        }
        return;
    }
    const char* what = event == QAccessible::NameChanged          ? "name"
                       : event == QAccessible::DescriptionChanged ? "description"
                                                                  : nullptr;
    if (g_ReaderEvents != nullptr && what != nullptr && !widget.objectName().isEmpty()) {
        g_ReaderEvents->push_back(std::string(what) + " " + widget.objectName().toStdString());
    }
}

AccessibleRole FromQAccessibleRole(QAccessible::Role role) {
    switch (role) {
        case QAccessible::StaticText:
            return AccessibleRole::StaticText;
        case QAccessible::EditableText:
            return AccessibleRole::EditableText;
        case QAccessible::List:
            return AccessibleRole::List;
        case QAccessible::RadioButton:
            return AccessibleRole::RadioButton;
        case QAccessible::Grouping:
            return AccessibleRole::Grouping;
        case QAccessible::Graphic:
            return AccessibleRole::Graphic;
        case QAccessible::Button:
            return AccessibleRole::PushButton;
        case QAccessible::Link:
            return AccessibleRole::Link;
        case QAccessible::Pane:
            return AccessibleRole::Pane;
        case QAccessible::Window:
            return AccessibleRole::Window;
        case QAccessible::Dialog:
            return AccessibleRole::Dialog;
        default:
            return AccessibleRole::Default;
    }
}

class QtDriver final : public Driver {
public:
    QtDriver() {
        g_ReaderEvents = &m_ReaderEvents;
        qt::SetAccessibleChangeListener(&RecordReaderEvent);
    }
    ~QtDriver() override {
        qt::SetAccessibleChangeListener(nullptr);
        g_ReaderEvents = nullptr;
    }

    IWindowSystem& System() override { return m_System; }

    // A real event loop: QTest::qWait sleeps between rounds of events, which
    // would hide a timer that ticks faster than it should.
    void Pump(int milliseconds) override {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

    void PressTab(bool backwards) override {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) {
            target = QApplication::activeWindow();
        }
        if (target == nullptr) {
            return;
        }
        if (backwards) {
            QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
        } else {
            QTest::keyClick(target, Qt::Key_Tab);
        }
    }

    void PressKey(std::int16_t keyCode, std::int16_t shift) override {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) {
            target = QApplication::activeWindow();
        }
        if (target == nullptr) {
            return;
        }
        Qt::KeyboardModifiers modifiers;
        modifiers.setFlag(Qt::ShiftModifier, (shift & ShiftState::Shift) != 0);
        modifiers.setFlag(Qt::ControlModifier, (shift & ShiftState::Ctrl) != 0);
        modifiers.setFlag(Qt::AltModifier, (shift & ShiftState::Alt) != 0);
        QTest::keyClick(target, static_cast<Qt::Key>(qt::QtKeyOf(keyCode)), modifiers);
    }

    void ClickAt(ScreenPoint point) override {
        const QPoint global(point.X, point.Y);
        QWidget* target = QApplication::activePopupWidget();
        if (target == nullptr) {
            target = QApplication::widgetAt(global);
        }
        if (target != nullptr) {
            PressAndRelease(target, global);
        }
    }

    void MoveCursor(ScreenPoint point) override {
        if (m_WentUnseenTo) {
            // Where the pointer really went first, for the offscreen desktop
            // to tell the window that it comes back.
            QCursor::setPos(*m_WentUnseenTo);
            m_WentUnseenTo.reset();
        }
        QCursor::setPos(point.X, point.Y);
    }

    // As a Wayland compositor does: the window under the pointer hears that
    // the pointer left it, and the position Qt knows stays where it was.
    void MovePointerOutOfEveryWindow(ScreenPoint to) override {
        if (QWindow* window = QGuiApplication::topLevelAt(QCursor::pos())) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(window, &leave);
        }
        m_WentUnseenTo = QPoint(to.X, to.Y);
    }

    void WhenMenuOpens(MenuAction action) override {
        WhenOpen([] { return QApplication::activePopupWidget(); },
                 [action](QWidget* popup) {
                     switch (action.What) {
                         case MenuAction::Kind::Return:
                             QTest::keyClick(popup, Qt::Key_Return);
                             break;
                         case MenuAction::Kind::Escape:
                             QTest::keyClick(popup, Qt::Key_Escape);
                             break;
                         case MenuAction::Kind::PressAt:
                             PressAndRelease(popup, QPoint(action.At.X, action.At.Y));
                             break;
                     }
                     // A menu that stays open would hold the test for ever.
                     QTimer::singleShot(WaitForDialogMs, popup, [popup] {
                         ADD_FAILURE() << "the menu stayed open";
                         popup->close();
                     });
                 });
    }

    void WhenMessageBoxOpens() override {
        WhenOpen(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
            [this](QWidget* widget) {
                auto* box = static_cast<QMessageBox*>(widget);
                m_Messages.push_back({box->text().toStdString(), box->windowTitle().toStdString()});
                box->accept();
            });
    }

    std::vector<SeenMessage> MessagesSeen() override { return m_Messages; }

    std::string FocusedControl(IWindow& window) override {
        QWidget* root = WidgetOf(window);
        QWidget* focused = QApplication::focusWidget();
        if (root == nullptr || focused == nullptr || focused->window() != root) {
            return {};
        }
        // A part of a control (a list's viewport) stands for the control.
        while (focused != root && focused->objectName().isEmpty()) {
            focused = focused->parentWidget();
        }
        return focused != root ? focused->objectName().toStdString() : std::string();
    }

    std::pair<int, int> Selection(IWindow& window, std::string_view key) override {
        auto* edit = qobject_cast<QLineEdit*>(Find(window, key));
        if (edit == nullptr) {
            throw PlatformError("'" + std::string(key) + "' is no text box");
        }
        if (!edit->hasSelectedText()) {
            return {edit->cursorPosition(), 0};
        }
        return {edit->selectionStart(), static_cast<int>(edit->selectedText().size())};
    }

    WholePixelRect ScreenRect(IWindow& window, std::string_view key) override {
        const QWidget* widget = key.empty() ? WidgetOf(window) : Find(window, key);
        const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
        return {origin.x(), origin.y(), widget->width(), widget->height()};
    }

    bool IsOnScreen(IWindow& window) override {
        const QWidget* widget = WidgetOf(window);
        return widget != nullptr && widget->isVisible() && !widget->isMinimized();
    }

    WholePixelRect WorkArea(IWindow& window) override {
        const QRect area = WidgetOf(window)->screen()->availableGeometry();
        return {area.left(), area.top(), area.width(), area.height()};
    }

    // What the widget paints, as the screen would show it.
    Bitmap SurfaceShows(IWindow& window, std::string_view key) override {
        const QImage image =
            Find(window, key)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        Bitmap shown{image.width(), image.height(), {}};
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
            shown.Pixels.insert(shown.Pixels.end(), row, row + image.width());
        }
        return shown;
    }

    AccessibleRole RoleOf(IWindow& window, std::string_view key) override {
        return FromQAccessibleRole(Accessible(window, key).role());
    }
    std::string NameOf(IWindow& window, std::string_view key) override {
        return Accessible(window, key).text(QAccessible::Name).toStdString();
    }
    std::string DescriptionOf(IWindow& window, std::string_view key) override {
        return Accessible(window, key).text(QAccessible::Description).toStdString();
    }
    void PressByReader(IWindow& window, std::string_view key) override {
        QAccessibleActionInterface* actions = Accessible(window, key).actionInterface();
        if (actions == nullptr) {
            throw PlatformError("'" + std::string(key) + "' has no actions");
        }
        actions->doAction(QAccessibleActionInterface::pressAction());
    }
    std::vector<std::string> ReaderEvents(IWindow& /*window*/) override {
        return std::exchange(m_ReaderEvents, {});
    }

    void RestoreByUser(IWindow& window) override { WidgetOf(window)->showNormal(); }
    void CloseByUser(IWindow& window) override { WidgetOf(window)->close(); }

private:
    // Once `find` answers a widget (within a while), `act` on it once; with no
    // widget by then, nothing is done.
    void WhenOpen(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
        auto* poll = new QTimer(&m_Owner);
        auto waited = std::make_shared<QElapsedTimer>();
        waited->start();
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, poll, [=] {
            QWidget* widget = find();
            if (widget == nullptr && waited->elapsed() < WaitForDialogMs) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            if (widget != nullptr) {
                act(widget);
            }
        });
        poll->start();
    }

    static QAccessibleInterface& Accessible(IWindow& window, std::string_view key) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(
            key.empty() ? WidgetOf(window) : Find(window, key));
        if (accessible == nullptr) {
            throw PlatformError("'" + std::string(key) + "' has no accessible interface");
        }
        return *accessible;
    }

    qt::QtWindowSystem m_System;
    QObject m_Owner;  // the pending actions' timers, stopped with the driver
    std::vector<SeenMessage> m_Messages;
    std::vector<std::string> m_ReaderEvents;
    // Where the pointer went without the desktop saying so.
    std::optional<QPoint> m_WentUnseenTo;
};

INSTANTIATE_TEST_SUITE_P(Contract, ConformanceTest,
                         ::testing::Values(Backend{
                             "Qt",
                             [] { return std::unique_ptr<Driver>(std::make_unique<QtDriver>()); }}),
                         BackendName);

}  // namespace
}  // namespace ponderix::platform::conformance
