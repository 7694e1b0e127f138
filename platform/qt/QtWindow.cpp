#include "platform/qt/QtWindow.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "assets/Assets.h"
#include "platform/LayoutSupport.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtUserControlHost.h"
#include "platform/qt/QtWindowSystem.h"

namespace ponderix::platform::qt {

// The window's own widget: its background, and what the desktop does to it.
class WindowWidget final : public QWidget {
public:
    WindowWidget(QtWindow* window, const WindowSpec& layout, QImage picture)
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

    // The window object that gets the widget's events; null once detached.
    QtWindow* Window;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), m_Background);
        if (!m_Picture.isNull()) {
            painter.drawImage(QPoint(0, 0), m_Picture);  // natural size, clipped
        }
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

    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange && Window != nullptr) {
            Window->MinimisedChanged(isMinimized());
        }
    }

private:
    QColor m_Background;
    QImage m_Picture;
};

QtWindow::QtWindow(QtWindowSystem& system, const WindowSpec& layout)
    : m_System(system), m_Layout(layout) {
    QImage picture;
    if (!layout.Picture.File.empty()) {
        picture = ToQImage(system.LoadPicture(layout.Picture).Pixels());
    }
    QIcon icon;
    if (!layout.Icon.File.empty()) {
        const auto file = assets::FindAsset(layout.Icon.File);
        if (file.empty()) {
            throw PlatformError("no icon named '" + std::string(layout.Icon.File) + "'");
        }
        icon = ToQIcon(file);
    }
    m_Widget = new WindowWidget(this, layout, std::move(picture));
    m_InnerSize = {NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerWidth))),
                   NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerHeight)))};
    m_Widget->setFixedSize(m_InnerSize);
    m_Widget->setWindowTitle(ToQString(layout.Caption));
    m_Widget->setObjectName(ToQString(layout.Name));
    m_Widget->setFont(ToQFont(layout.Font));
    if (!icon.isNull()) {
        m_Widget->setWindowIcon(icon);
    }
    m_System.AddWindow(this);
    try {
        Build();
    } catch (...) {
        m_Loaded = false;
        Destroy();
        m_Controls.clear();
        m_System.RemoveWindow(this);
        throw;
    }
}

QtWindow::~QtWindow() {
    if (m_Loaded) {
        // Owned windows go with their owner, as they do when it is unloaded.
        for (QtWindow* other : std::vector<QtWindow*>(m_System.Windows())) {
            if (other->m_Owner == this) {
                other->Unload();
            }
        }
        m_Loaded = false;
        Destroy();
    }
    for (QtWindow* other : m_System.Windows()) {
        if (other->m_Owner == this) {
            other->m_Owner = nullptr;
        }
    }
    m_Controls.clear();
    m_System.RemoveWindow(this);
    m_System.WindowUnloaded();
}

void QtWindow::Build() {
    for (const ControlSpec& row : m_Layout.Controls) {
        std::string key = ControlKey(row.Name, row.Index);
        QWidget* container = ContainerWidget(row.Container);
        Entry entry{&row, MakeControl(*this, row, container, key), nullptr};
        entry.Backend = dynamic_cast<QtControl*>(entry.Control.get());
        m_Index[std::move(key)] = m_Controls.size();
        m_Controls.push_back(std::move(entry));
    }
    Restack();
    SetTabOrder();
    // User controls load once the whole window exists.
    for (Entry& entry : m_Controls) {
        if (auto* host = dynamic_cast<QtUserControlHost*>(entry.Control.get())) {
            host->Load();
        }
    }
}

QWidget* QtWindow::ContainerWidget(std::string_view container) const {
    if (container.empty()) {
        return m_Widget;
    }
    for (const Entry& entry : m_Controls) {
        if (entry.Row->Kind == ControlKind::Frame && entry.Row->Name == container) {
            return WidgetOf(entry);
        }
    }
    throw PlatformError("no frame '" + std::string(container) + "' to hold a control");
}

// Rows of a container are listed topmost first, and the windowless ones lie
// below all windowed ones: raising from the bottom up, windowless first, leaves
// exactly that order.
void QtWindow::Restack() {
    for (const bool windowed : {false, true}) {
        for (auto entry = m_Controls.rbegin(); entry != m_Controls.rend(); ++entry) {
            if (QWidget* widget = WidgetOf(*entry);
                widget != nullptr && IsWindowed(entry->Row->Kind) == windowed) {
                widget->raise();
            }
        }
    }
}

QWidget* QtWindow::WidgetOf(const Entry& entry) {
    return entry.Backend != nullptr ? entry.Backend->Widget() : nullptr;
}

void QtWindow::SetTabOrder() {
    for (const ControlSpec* row : TabOrder(m_Layout)) {
        QWidget* widget = WidgetOf(m_Controls[m_Index.at(ControlKey(row->Name, row->Index))]);
        if (widget != nullptr && (widget->focusPolicy() & Qt::TabFocus) != 0) {
            if (!m_TabChain.empty()) {
                QWidget::setTabOrder(m_TabChain.back(), widget);
            }
            m_TabChain.push_back(widget);
        }
    }
    // Controls left out of the tab order take the focus only when clicked.
    for (const Entry& entry : m_Controls) {
        QWidget* widget = WidgetOf(entry);
        if (widget != nullptr && entry.Row->TabIndex < 0 &&
            (widget->focusPolicy() & Qt::TabFocus) != 0) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
    }
}

void QtWindow::FocusFirstControl() {
    for (QWidget* widget : m_TabChain) {
        if (widget->isEnabled() && widget->isVisibleTo(m_Widget)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

IControl& QtWindow::Control(std::string_view name, int index) {
    const auto found = m_Index.find(ControlKey(name, index));
    if (found == m_Index.end()) {
        throw PlatformError("window '" + std::string(m_Layout.Name) + "' has no control '" +
                            ControlKey(name, index) + "'");
    }
    return *m_Controls[found->second].Control;
}

float QtWindow::ScaleWidth() const {
    return static_cast<float>(m_InnerSize.width());
}

float QtWindow::ScaleHeight() const {
    return static_cast<float>(m_InnerSize.height());
}

void QtWindow::CheckLoaded(std::string_view controlKey) const {
    if (!m_Loaded) {
        throw PlatformError("'" + std::string(controlKey) + "' is gone: window '" +
                            std::string(m_Layout.Name) + "' is unloaded");
    }
}

QWidget* QtWindow::Widget() const {
    return m_Loaded ? m_Widget.data() : nullptr;
}

WindowHandle QtWindow::Handle() const {
    return reinterpret_cast<WindowHandle>(Widget());
}

void QtWindow::Show(IWindow* owner) {
    CheckLoaded(m_Layout.Name);
    if (m_Shown) {
        // Again: restored if minimised, and to the front.
        if (m_Widget->isMinimized()) {
            m_Widget->showNormal();
        }
        m_Widget->show();
        m_Widget->raise();
        m_Widget->activateWindow();
        return;
    }
    m_Shown = true;
    auto* ownerWindow = dynamic_cast<QtWindow*>(owner);
    if (ownerWindow != nullptr && ownerWindow != this && ownerWindow->IsLoaded()) {
        // A child window of the owner's: above it, with no task-bar entry of its own.
        m_Owner = ownerWindow;
        m_Widget->setParent(ownerWindow->m_Widget, m_Widget->windowFlags());
    }
    PlaceOnScreen();
    // Resize is raised once, below, for the size the window is shown at.
    m_ReportedSize = m_Widget->size();
    m_InnerSize = m_ReportedSize;
    m_Widget->show();
    m_Widget->raise();
    m_Widget->activateWindow();
    FocusFirstControl();
    Resize.Raise();
}

// Centred on the owner or on the screen, and kept on the screen.
void QtWindow::PlaceOnScreen() {
    QScreen* screen = m_Owner != nullptr ? m_Owner->m_Widget->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect area = m_Layout.StartPosition == StartPosition::CentreOwner && m_Owner != nullptr
                           ? m_Owner->m_Widget->geometry()
                           : available;
    const QSize size = m_Widget->size();
    int left = area.left() + (area.width() - size.width()) / 2;
    int top = area.top() + (area.height() - size.height()) / 2;
    left = std::max(available.left(), std::min(left, available.right() + 1 - size.width()));
    top = std::max(available.top(), std::min(top, available.bottom() + 1 - size.height()));
    m_Widget->setGeometry(QRect(QPoint(left, top), size));
}

void QtWindow::Minimise() {
    CheckLoaded(m_Layout.Name);
    m_Widget->showMinimized();
}

void QtWindow::MinimisedChanged(bool minimised) {
    for (QtWindow* other : std::vector<QtWindow*>(m_System.Windows())) {
        if (other->m_Owner == this && other->m_Loaded && other->m_Shown) {
            other->HideWithOwner(minimised);
        }
    }
}

void QtWindow::HideWithOwner(bool hidden) {
    if (hidden && m_Widget->isVisible()) {
        m_HiddenWithOwner = true;
        m_Widget->hide();
    } else if (!hidden && m_HiddenWithOwner) {
        m_HiddenWithOwner = false;
        m_Widget->show();
    }
}

void QtWindow::InnerSizeChanged() {
    if (!m_Loaded || !m_Shown || m_Widget->size() == m_ReportedSize) {
        return;
    }
    m_ReportedSize = m_Widget->size();
    m_InnerSize = m_ReportedSize;
    Resize.Raise();
}

void QtWindow::ClosedByUser() {
    Unload();
}

void QtWindow::Unload() {
    if (!m_Loaded) {
        return;
    }
    for (QtWindow* other : std::vector<QtWindow*>(m_System.Windows())) {
        if (other->m_Owner == this) {
            other->Unload();
        }
    }
    m_Loaded = false;
    m_Shown = false;
    Destroy();
    // The handler may destroy this object: nothing here is touched after it.
    QtWindowSystem& system = m_System;
    Unloaded.Raise();
    system.WindowUnloaded();
}

void QtWindow::Destroy() {
    for (Entry& entry : m_Controls) {
        if (entry.Backend != nullptr) {
            entry.Backend->Detach();
        }
    }
    if (m_Widget != nullptr) {
        m_Widget->Window = nullptr;
        m_Widget->hide();
        // Later: this may run inside one of the widget's own event handlers.
        m_Widget->deleteLater();
    }
}

}  // namespace ponderix::platform::qt
