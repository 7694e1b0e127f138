#include "platform/qt/QtWindowSystem.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>
#include <algorithm>

#include "assets/Assets.h"
#include "platform/LayoutSupport.h"
#include "platform/qt/QtPopupMenu.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtWindow.h"

namespace ponderix::platform::qt {
namespace {

// Wine's versions of the Windows fonts the layouts name and fontconfig cannot
// answer with a metric-compatible font of its own.
constexpr std::string_view WineFonts[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

}  // namespace

QtWindowSystem::QtWindowSystem()
    : m_Pictures(assets::DecodeAsset), m_Settings(std::make_unique<QtSettingsStore>()) {
    if (QApplication::instance() == nullptr) {
        throw PlatformError("the Qt window system needs a QApplication first");
    }
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

void QtWindowSystem::RegisterUserControl(UserControlClass userControlClass) {
    m_Classes.Register(std::move(userControlClass));
}

std::unique_ptr<IWindow> QtWindowSystem::CreateWindow(const WindowSpec& layout) {
    CheckLayout(layout);
    m_Classes.CheckClassesOf(layout);
    return std::make_unique<QtWindow>(*this, layout);
}

Picture QtWindowSystem::LoadPicture(AssetName asset) {
    return m_Pictures.Load(asset);
}

const QCursor& QtWindowSystem::Cursor(std::string_view file) {
    if (const auto cached = m_Cursors.find(file); cached != m_Cursors.end()) {
        return cached->second;
    }
    QCursor cursor(Qt::PointingHandCursor);  // when the program's own is missing
    if (const auto bytes = assets::FindAsset(file); !bytes.empty()) {
        cursor = ToQCursor(DecodeCursor(bytes));
    }
    return m_Cursors.emplace(std::string(file), cursor).first->second;
}

// The active window of the program, else the one shown last.
QWidget* QtWindowSystem::DialogParent() const {
    QWidget* active = QApplication::activeWindow();
    for (auto window = m_Windows.rbegin(); window != m_Windows.rend(); ++window) {
        QWidget* widget = (*window)->Widget();
        if (widget != nullptr && widget == active) {
            return widget;
        }
    }
    for (auto window = m_Windows.rbegin(); window != m_Windows.rend(); ++window) {
        QWidget* widget = (*window)->Widget();
        if (widget != nullptr && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

void QtWindowSystem::ShowErrorMessage(std::string_view prompt, std::string_view caption) {
    QMessageBox box(QMessageBox::Critical, ToQString(caption), ToQString(prompt), QMessageBox::Ok,
                    DialogParent());
    box.setObjectName(QStringLiteral("ponderixErrorMessage"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::unique_ptr<IPopupMenu> QtWindowSystem::CreatePopupMenu() {
    return std::make_unique<QtPopupMenu>();
}

ScreenPoint QtWindowSystem::CursorPos() {
    const QPoint position = QCursor::pos();
    return {position.x(), position.y()};
}

WindowHandle QtWindowSystem::WindowFromPoint(ScreenPoint point) {
    return reinterpret_cast<WindowHandle>(QApplication::widgetAt(QPoint(point.X, point.Y)));
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

void QtWindowSystem::AddWindow(QtWindow* window) {
    m_Windows.push_back(window);
}

void QtWindowSystem::RemoveWindow(QtWindow* window) {
    std::erase(m_Windows, window);
}

bool QtWindowSystem::AnyWindowLoaded() const {
    return std::any_of(m_Windows.begin(), m_Windows.end(),
                       [](const QtWindow* window) { return window->IsLoaded(); });
}

void QtWindowSystem::WindowUnloaded() {
    if (m_RunLoop != nullptr && !AnyWindowLoaded()) {
        m_RunLoop->quit();
    }
}

}  // namespace ponderix::platform::qt
