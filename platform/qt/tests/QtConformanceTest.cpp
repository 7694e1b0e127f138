// The window-system contract on real widgets, drawn off screen. The driver
// acts as the user through Qt's own input (QTest), on the widget the input
// would reach, and reads what the widgets show.
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
#include <functional>
#include <memory>

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

class QtDriver final : public Driver {
public:
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

    void MoveCursor(ScreenPoint point) override { QCursor::setPos(point.X, point.Y); }

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

    qt::QtWindowSystem m_System;
    QObject m_Owner;  // the pending actions' timers, stopped with the driver
    std::vector<SeenMessage> m_Messages;
};

INSTANTIATE_TEST_SUITE_P(Contract, ConformanceTest,
                         ::testing::Values(Backend{
                             "Qt",
                             [] { return std::unique_ptr<Driver>(std::make_unique<QtDriver>()); }}),
                         BackendName);

}  // namespace
}  // namespace ponderix::platform::conformance
