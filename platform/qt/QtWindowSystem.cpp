#include "platform/qt/QtWindowSystem.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "assets/Assets.h"
#include "platform/core/CoreTimer.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtPointer.h"
#include "platform/qt/QtPopupMenu.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/X11Desktop.h"

namespace ponderix::platform::qt {
namespace {

// Wine's versions of the Windows fonts the layouts name and fontconfig cannot
// answer with a metric-compatible font of its own.
constexpr std::string_view WineFonts[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

QCursor LoadHandCursor() {
    const auto bytes = assets::FindAsset("hand.cur");
    return bytes.empty() ? QCursor(Qt::PointingHandCursor) : ToQCursor(DecodeCursor(bytes));
}

// The QTimer goes later: a tick's handler may be what destroys it.
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

class QtTimer final : public core::NativeTimer {
public:
    explicit QtTimer(std::function<void()> elapsed) : m_Timer(new QTimer) {
        QObject::connect(m_Timer.get(), &QTimer::timeout, m_Timer.get(),
                         [elapsed = std::move(elapsed)] { FromEventLoop(elapsed); });
    }

    void Start(int milliseconds) override {
        // Short intervals poll the cursor: coarse timers would stretch them.
        m_Timer->setTimerType(milliseconds < 20 ? Qt::PreciseTimer : Qt::CoarseTimer);
        m_Timer->start(milliseconds);
    }
    void Stop() override { m_Timer->stop(); }

private:
    std::unique_ptr<QTimer, DeleteLater> m_Timer;
};

}  // namespace

QtWindowSystem::QtWindowSystem()
    : WindowSystemBase(assets::DecodeAsset), m_Settings(std::make_unique<QtSettingsStore>()) {
    if (QApplication::instance() == nullptr) {
        throw PlatformError("the Qt window system needs a QApplication first");
    }
    // A native window made for one widget (an owned window's, to mark it off
    // the task bar) would otherwise make every widget beside it native too:
    // every control of the owner a window of its own, and the pointer's every
    // move from one control to another a crossing out of the owner.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    m_HandCursor = LoadHandCursor();
    InstallAccessibleFactory();
    if (OnWayland()) {
        // Qt's Wayland platform asks the compositor to activate the window
        // with the focus whenever the focus moves within the program. A
        // compositor that minimises a window hands the focus to what is left
        // (its About window), and Qt then asked for the minimised window
        // back: KWin restored it at once. The program asks for activation
        // itself where it shows a window.
        QObject::disconnect(qApp, &QGuiApplication::focusObjectChanged, qApp, nullptr);
    }
    m_Pointer = std::make_unique<PointerTracker>(
        PointerTracker::Desktop{[] { return QCursor::pos(); },
                                [](QPoint global) { return QApplication::widgetAt(global); }});
    // The program ends when its last window is unloaded (Run), not when Qt
    // sees the last window close.
    QApplication::setQuitOnLastWindowClosed(false);
    const QDir folder(ToQString(WineFontFolder));
    for (const std::string_view file : WineFonts) {
        const QString path = folder.filePath(ToQString(file));
        if (!QFileInfo::exists(path)) {
            continue;
        }
        const int id = QFontDatabase::addApplicationFont(path);
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
            const std::string name = ToUtf8(family);
            if (std::find(m_FontFamilies.begin(), m_FontFamilies.end(), name) ==
                m_FontFamilies.end()) {
                m_FontFamilies.push_back(name);
            }
        }
    }
}

QtWindowSystem::~QtWindowSystem() = default;

std::unique_ptr<core::Window> QtWindowSystem::MakeWindow(const WindowSpec& layout) {
    return std::make_unique<QtWindow>(*this, layout);
}

std::unique_ptr<core::NativeTimer> QtWindowSystem::MakeTimer(std::function<void()> elapsed) {
    return std::make_unique<QtTimer>(std::move(elapsed));
}

// The active window of the program, else the one shown last.
QWidget* QtWindowSystem::DialogParent() const {
    QWidget* active = QApplication::activeWindow();
    QWidget* shown = nullptr;
    for (const core::Window* window : Windows()) {
        QWidget* widget = WidgetOf(window->Handle());
        if (widget != nullptr && widget == active) {
            return widget;
        }
        if (widget != nullptr && widget->isVisible()) {
            shown = widget;
        }
    }
    return shown;
}

void QtWindowSystem::ShowErrorMessage(std::string_view prompt, std::string_view caption) {
    QMessageBox box(QMessageBox::Critical, ToQString(caption), ToQString(prompt), QMessageBox::Ok,
                    DialogParent());
    box.setObjectName(QStringLiteral("ponderixErrorMessage"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::unique_ptr<IPopupMenu> QtWindowSystem::CreatePopupMenu() {
    return std::make_unique<QtPopupMenu>(*this);
}

ScreenPoint QtWindowSystem::CursorPos() {
    const QPoint position = m_Pointer->CursorPos();
    return {position.x(), position.y()};
}

WindowHandle QtWindowSystem::WindowFromPoint(ScreenPoint point) {
    return HandleOf(m_Pointer->WidgetAt(QPoint(point.X, point.Y)));
}

std::pair<QWidget*, QPoint> QtWindowSystem::UnderPointer() {
    const QPoint position = m_Pointer->CursorPos();
    return {m_Pointer->WidgetAt(position), position};
}

bool QtWindowSystem::ShellOpen(std::string_view address) {
    const QUrl url(ToQString(address));
    return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

std::string QtWindowSystem::DecimalSeparator() {
    return ToUtf8(QLocale::system().decimalPoint());
}

ISettingsStore& QtWindowSystem::Settings() {
    return *m_Settings;
}

void QtWindowSystem::DoEvents() {
    QCoreApplication::processEvents();
}

int QtWindowSystem::Run() {
    if (AnyWindowLoaded()) {
        QEventLoop loop;
        m_RunLoop = &loop;
        loop.exec();
        m_RunLoop = nullptr;
    }
    // The widgets of the windows unloaded last.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

void QtWindowSystem::LastWindowUnloaded() {
    if (m_RunLoop != nullptr) {
        m_RunLoop->quit();
    }
}

}  // namespace ponderix::platform::qt
