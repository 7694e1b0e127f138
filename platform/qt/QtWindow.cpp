#include "platform/qt/QtWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <optional>

#include "assets/Assets.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtWindowSystem.h"
#include "platform/qt/X11Desktop.h"

namespace ponderix::platform::qt {

// The window's own widget: its background, and what the desktop and the
// keyboard do to it.
class WindowWidget final : public QWidget {
public:
    WindowWidget(QtWindow* window, const WindowSpec& layout, Picture picture)
        : QWidget(nullptr, FlagsOf(layout.Border)),
          Window(window),
          m_Background(ToQColor(layout.BackColour)),
          m_Picture(std::move(picture)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    static Qt::WindowFlags FlagsOf(WindowBorder border) {
        switch (border) {
            case WindowBorder::None:
                return Qt::Window | Qt::FramelessWindowHint;
            case WindowBorder::FixedDialog:
                return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint;
        }
        return Qt::Window;
    }

    // The window that gets the widget's events; null once it has gone.
    QtWindow* Window;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), m_Background);
        m_Shown.Draw(painter, QPointF(0, 0), m_Picture);  // natural size, clipped
    }

    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (QtWindow* window = Window) {
            FromEventLoop([window] { window->ClosedByUser(); });
        }
    }

    void resizeEvent(QResizeEvent* /*event*/) override {
        if (QtWindow* window = Window) {
            FromEventLoop([window] { window->InnerSizeChanged(); });
        }
    }

    // Whether the window is minimised. On X11 the window manager's own word
    // (WM_STATE), not Qt's: Qt says minimised as soon as the program asks,
    // also where the window manager then does not minimise (sway's, through
    // Xwayland), and the owned windows would hide for nothing.
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (QtWindow* window = Window;
            window != nullptr && event->type() == QEvent::WindowStateChange && !OnX11()) {
            FromEventLoop(
                [window, minimised = isMinimized()] { window->MinimisedChanged(minimised); });
        }
    }

    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override {
        if (QtWindow* window = Window; window != nullptr) {
            if (const std::optional<bool> iconic = IconicChange(eventType, message, *this)) {
                FromEventLoop(
                    [window, minimised = *iconic] { window->MinimisedChanged(minimised); });
            }
        }
        return QWidget::nativeEvent(eventType, message, result);
    }

    // A window without a frame moves by its bare background, as by a title
    // bar: the desktop moves it where it can, else it follows the pointer.
    // A press on a control (or the banner) stays with the control.
    void mousePressEvent(QMouseEvent* event) override {
        m_DragFrom.reset();
        if (event->button() != Qt::LeftButton || !(windowFlags() & Qt::FramelessWindowHint)) {
            QWidget::mousePressEvent(event);
            return;
        }
        event->accept();
        // Only a press the desktop delivered goes to the desktop: a press
        // replayed after a popup menu closed on it comes when the button is up
        // again, and the desktop would then move the window with the pointer
        // until the next click.
        QWindow* native = windowHandle();
        if (native == nullptr || !event->spontaneous() || !native->startSystemMove()) {
            m_DragFrom = event->globalPosition().toPoint() - pos();
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        if (m_DragFrom && (event->buttons() & Qt::LeftButton)) {
            move(event->globalPosition().toPoint() - *m_DragFrom);
            event->accept();
            return;
        }
        QWidget::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        m_DragFrom.reset();
        QWidget::mouseReleaseEvent(event);
    }

    // The keys that the focused control does not take for itself end here.
    void keyPressEvent(QKeyEvent* event) override {
        const std::int16_t code = KeyCodeOf(event->key());
        bool used = false;
        if (QtWindow* window = Window;
            window != nullptr && code != 0 && code != KeyCode::Tab && !event->isAutoRepeat()) {
            FromEventLoop(
                [&] { used = window->KeyPressed(code, ShiftStateOf(event->modifiers())); });
        }
        if (used) {
            event->accept();
        } else {
            QWidget::keyPressEvent(event);
        }
    }

    // Every Tab and Shift+Tab of the window's controls ends here.
    bool focusNextPrevChild(bool next) override {
        if (QtWindow* window = Window) {
            FromEventLoop([window, next] { window->FocusNext(!next); });
        }
        return true;
    }

private:
    QColor m_Background;
    Picture m_Picture;
    ShownPicture m_Shown;
    std::optional<QPoint> m_DragFrom;  // the pointer's offset from the window's corner
};

QtWindow::QtWindow(QtWindowSystem& system, const WindowSpec& layout)
    : Window(system, layout), m_QtSystem(system) {
    QIcon icon;
    if (!layout.Icon.File.empty()) {
        const auto file = assets::FindAsset(layout.Icon.File);
        if (file.empty()) {
            throw PlatformError("no icon named '" + std::string(layout.Icon.File) + "'");
        }
        icon = ToQIcon(file);
    }
    Picture picture;
    if (!layout.Picture.File.empty()) {
        picture = system.LoadPicture(layout.Picture);
    }
    m_Widget = new WindowWidget(this, layout, std::move(picture));
    m_Widget->setFixedSize(NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerWidth))),
                           NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerHeight))));
    m_Widget->setWindowTitle(ToQString(layout.Caption));
    m_Widget->setObjectName(ToQString(layout.Name));
    m_Widget->setFont(ToQFont(layout.Font, m_Widget->devicePixelRatioF()));
    m_Widget->setWindowIcon(icon);
    SetAccessibleRole(*m_Widget, Role());
    Build();
    // Named once every control exists: a heading may follow what it names.
    for (const Entry& entry : Entries()) {
        if (entry.Visible != nullptr) {
            entry.Visible->AccessibleNameChanged();
        }
    }
}

QtWindow::~QtWindow() {
    Dispose();
}

WindowHandle QtWindow::NativeHandle() const {
    return HandleOf(m_Widget);
}

WholePixelRect QtWindow::InnerRect() const {
    return {0, 0, m_Widget->width(), m_Widget->height()};
}

WholePixelRect QtWindow::OuterRect() const {
    const QRect inner = m_Widget->geometry();
    return {inner.left(), inner.top(), inner.width(), inner.height()};
}

WholePixelRect QtWindow::WorkArea() const {
    const auto* owner = Owner() != nullptr ? WidgetOf(Owner()->Handle()) : nullptr;
    QScreen* screen = (owner != nullptr ? owner : m_Widget.data())->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen != nullptr ? screen->availableGeometry() : m_Widget->geometry();
    return {area.left(), area.top(), area.width(), area.height()};
}

void QtWindow::MoveTo(int left, int top) {
    m_Widget->setGeometry(QRect(QPoint(left, top), m_Widget->size()));
}

void QtWindow::MakeOwned(core::Window& owner) {
    m_Widget->setParent(WidgetOf(owner.Handle()), m_Widget->windowFlags());
}

void QtWindow::ShowNative(bool again) {
    if (again && m_Widget->isMinimized()) {
        m_Widget->showNormal();
    }
    ShowWidget();
    m_Widget->raise();
    m_Widget->activateWindow();
    // A surface that now lies under the resting cursor hears of it, as a move
    // from the desktop would tell it (Qt sends none).
    QTimer::singleShot(0, m_Widget, [widget = m_Widget, &system = m_QtSystem] {
        const auto [under, at] = system.UnderPointer();
        auto* surface = dynamic_cast<SurfaceWidget*>(under);
        if (surface != nullptr && surface->window() == widget) {
            surface->MoveTo(surface->mapFromGlobal(at));
        }
    });
}

void QtWindow::MinimiseNative() {
    m_Widget->showMinimized();
}

void QtWindow::HideWithOwner(bool hidden) {
    // A Wayland compositor keeps an owned window, which is transient for its
    // owner, with it (Qt cannot even learn that the owner was minimised).
    if (OnWayland()) {
        return;
    }
    if (hidden && m_Widget->isVisible()) {
        m_HiddenWithOwner = true;
        m_Widget->hide();
    } else if (!hidden && m_HiddenWithOwner) {
        m_HiddenWithOwner = false;
        // A window manager minimises a dialog together with its owner, and Qt
        // keeps that state through the hiding. Mapped minimised again, the
        // dialog would make the window manager minimise its owner once more:
        // it comes back as the owner does, not minimised.
        m_Widget->setWindowState(m_Widget->windowState() & ~Qt::WindowMinimized);
        ShowWidget();
    }
}

// An owned window has no task-bar entry of its own.
void QtWindow::ShowWidget() {
    if (Owner() != nullptr) {
        ShowOffTaskBar(*m_Widget);
    } else {
        m_Widget->show();
    }
}

// A widget of no size that no one sees or clicks, in the window: a
// notification that screen readers read when it comes into view.
void QtWindow::AnnounceNative(const std::string& text) {
    if (m_Widget == nullptr) {
        return;
    }
    if (m_Announcement == nullptr) {
        m_Announcement = new QWidget(m_Widget);
        m_Announcement->setObjectName(QStringLiteral("ponderixAnnouncement"));
        m_Announcement->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_Announcement->setFocusPolicy(Qt::NoFocus);
        m_Announcement->setGeometry(0, 0, 1, 1);
        SetAccessibleRole(*m_Announcement, AccessibleRole::Notification);
    }
    TellAnnouncement(*m_Announcement, ToQString(text));
}

// An owned window that goes while it is active hands the keyboard back to its
// owner, as Windows does: without a window manager to do it, the owner would
// take keys but never hear that it is active, and show no focus to the
// keyboard or to a screen reader.
void QtWindow::DestroyNative() {
    if (m_Widget != nullptr) {
        const bool active = m_Widget->isActiveWindow();
        m_Widget->Window = nullptr;
        m_Widget->hide();
        m_Widget->deleteLater();
        QWidget* owner = Owner() != nullptr ? WidgetOf(Owner()->Handle()) : nullptr;
        if (active && owner != nullptr && owner->isVisible()) {
            owner->activateWindow();
        }
    }
}

}  // namespace ponderix::platform::qt
