// The window system on Qt 6 Widgets: the program's windows and controls as real
// widgets on the desktop. Construct it once a QApplication exists; it then
// serves the whole program on the application's (the user-interface) thread.
//
// Implements (IWindowSystem):
// - [x] RegisterUserControl, CreateWindow: windows built hidden from their layouts
//       (QtWindow.h), user controls hosted on surfaces (QtUserControlHost.h)
// - [x] LoadPicture: the program's BMP files, decoded once and cached
// - [x] ShowErrorMessage: a modal QMessageBox, critical icon, one OK button
// - [x] CreatePopupMenu: QMenu (QtPopupMenu.h)
// - [x] CursorPos, WindowFromPoint: QCursor::pos() and QApplication::widgetAt()
// - [x] ShellOpen: QDesktopServices::openUrl
// - [x] DecimalSeparator: the system locale's
// - [x] Settings: per user, an INI file as QSettings writes it (QtSettingsStore.h)
// - [x] DoEvents, Run: processEvents(), and an event loop that ends when no
//       loaded window is left
// - [x] fonts: Wine's Tahoma and MS Sans Serif registered by path when installed;
//       Verdana, Arial and Times New Roman are left to fontconfig's substitutes
#pragma once

#include <QCursor>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PictureCache.h"
#include "platform/UserControlRegistry.h"
#include "platform/WindowSystem.h"

class QEventLoop;
class QWidget;

namespace ponderix::platform::qt {

class QtWindow;
class QtSettingsStore;

class QtWindowSystem final : public IWindowSystem {
public:
    // Where Wine's Windows fonts are installed.
    static constexpr std::string_view WineFontFolder = "/usr/share/wine/fonts";

    QtWindowSystem();
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    // IWindowSystem
    void RegisterUserControl(UserControlClass userControlClass) override;
    std::unique_ptr<IWindow> CreateWindow(const WindowSpec& layout) override;
    Picture LoadPicture(AssetName asset) override;
    void ShowErrorMessage(std::string_view prompt, std::string_view caption) override;
    std::unique_ptr<IPopupMenu> CreatePopupMenu() override;
    ScreenPoint CursorPos() override;
    WindowHandle WindowFromPoint(ScreenPoint point) override;
    bool ShellOpen(std::string_view address) override;
    std::string DecimalSeparator() override;
    ISettingsStore& Settings() override;
    void DoEvents() override;
    int Run() override;

    // The font families registered from Wine's fonts at construction.
    const std::vector<std::string>& RegisteredFontFamilies() const { return m_FontFamilies; }

    // For the backend's windows.
    const UserControlRegistry& UserControlClasses() const { return m_Classes; }
    // A cursor file of the assets as a cursor, decoded once.
    const QCursor& Cursor(std::string_view file);
    void AddWindow(QtWindow* window);
    void RemoveWindow(QtWindow* window);
    // A window was unloaded: the message loop ends when it was the last one.
    void WindowUnloaded();
    const std::vector<QtWindow*>& Windows() const { return m_Windows; }

private:
    bool AnyWindowLoaded() const;
    QWidget* DialogParent() const;

    UserControlRegistry m_Classes;
    PictureCache m_Pictures;
    std::map<std::string, QCursor, std::less<>> m_Cursors;
    std::vector<QtWindow*> m_Windows;  // every window object, oldest first
    std::vector<std::string> m_FontFamilies;
    std::unique_ptr<QtSettingsStore> m_Settings;
    QEventLoop* m_RunLoop = nullptr;
};

}  // namespace ponderix::platform::qt
