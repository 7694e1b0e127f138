// The window system on Qt 6 Widgets: the program's windows and controls as real
// widgets on the desktop. Construct it once a QApplication exists; it then
// serves the whole program on the application's (the user-interface) thread.
//
// How it differs from the other backends: timers are QTimers, precise for
// short intervals (the picture button polls the cursor every 10 ms), and the
// cursor is answered from the pointer and crossing events the program already
// received where they are certain (QtPointer.h): not by two round trips to an
// X server each time, and right where the desktop cannot say where the pointer
// is (Wayland, Xwayland); the message box and the popup menu run Qt's own modal loops; the settings
// are an INI file per user (QtSettingsStore.h). Wine's Tahoma and MS Sans Serif are registered by
// path when installed, as fontconfig has no metric-compatible faces of its own for them; Verdana,
// Arial and Times New Roman are left to fontconfig's substitutes.
#pragma once

#include <QCursor>
#include <QPoint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/WindowSystemBase.h"

class QEventLoop;
class QWidget;

namespace ponderix::platform::qt {

class QtSettingsStore;
class PointerTracker;

class QtWindowSystem final : public core::WindowSystemBase {
public:
    // Where Wine's Windows fonts are installed.
    static constexpr std::string_view WineFontFolder = "/usr/share/wine/fonts";

    QtWindowSystem();
    ~QtWindowSystem() override;

    // IWindowSystem
    void ShowErrorMessage(std::string_view prompt, std::string_view caption) override;
    std::unique_ptr<IPopupMenu> CreatePopupMenu() override;
    ScreenPoint CursorPos() override;
    WindowHandle WindowFromPoint(ScreenPoint point) override;
    bool ShellOpen(std::string_view address) override;
    std::string DecimalSeparator() override;
    ISettingsStore& Settings() override;
    void DoEvents() override;
    int Run() override;

    // core::WindowSystemBase
    std::unique_ptr<core::NativeTimer> MakeTimer(std::function<void()> elapsed) override;

    // The font families registered from Wine's fonts at construction.
    const std::vector<std::string>& RegisteredFontFamilies() const { return m_FontFamilies; }
    // The program's hand cursor (Qt's pointing hand where it is missing).
    const QCursor& HandCursor() const { return m_HandCursor; }
    // The program's widget under the pointer (null when none), and where the
    // pointer is, as the picture buttons learn them.
    std::pair<QWidget*, QPoint> UnderPointer();

protected:
    std::unique_ptr<core::Window> MakeWindow(const WindowSpec& layout) override;
    void LastWindowUnloaded() override;

private:
    QWidget* DialogParent() const;

    QCursor m_HandCursor;
    std::vector<std::string> m_FontFamilies;
    std::unique_ptr<QtSettingsStore> m_Settings;
    std::unique_ptr<PointerTracker> m_Pointer;
    QEventLoop* m_RunLoop = nullptr;
};

}  // namespace ponderix::platform::qt
