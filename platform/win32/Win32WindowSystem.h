// The native Windows backend of the window-system interface: plain user32 and
// gdi32 windows and controls, the registry, the shell. Text is UTF-8 inside the
// program and UTF-16 towards the wide Win32 calls; only the popup menu and the
// shell take the ANSI code page, as their A entry points want it. This header
// names no Win32 type, so callers need not include windows.h.
//
// How it differs from the other backends: labels and images have no window of
// their own; the window or frame that holds them paints them in its WM_PAINT,
// through a bitmap, below its windowed controls, and takes the mouse for them.
// Option buttons are plain radio buttons whose group is the core's, so frames
// never reach into each other; Tab is handled in the message loop, not by
// IsDialogMessage. Timers are SetTimer on one message window. A user control
// draws into a backing bitmap that its surface window shows. Pictures, the
// icon and the hand cursor are resources of the program. No exception unwinds
// through a window procedure: where a message calls into the program, a
// failure ends that call and nothing else. Each window works in the pixels of
// its own screen (1440 / dpi twips each): layouts, fonts and pictures follow
// the screen's scale, and a window moved to a screen of another scale lays
// itself out again (WM_DPICHANGED).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/WindowSystemBase.h"

namespace ponderix::platform::win32 {

namespace detail {
class Desktop;
class RegistrySettings;
}  // namespace detail

class Win32WindowSystem final : public core::WindowSystemBase {
public:
    // Registers the window classes of the backend; throws PlatformError when
    // the desktop refuses.
    Win32WindowSystem();
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

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

    // For the backend's windows: the classes, fonts, brushes and timers.
    detail::Desktop& Native() const { return *m_Desktop; }

protected:
    std::unique_ptr<core::Window> MakeWindow(const WindowSpec& layout) override;
    void LastWindowUnloaded() override;

private:
    std::unique_ptr<detail::Desktop> m_Desktop;
    std::unique_ptr<detail::RegistrySettings> m_Settings;
};

// The native window of a control built by this backend (an HWND): the window of
// a text box, list box, option button, frame or user control; 0 for the controls
// that their container draws (labels, images) and for those that never show.
WindowHandle NativeHandle(const IControl& control);

// The native menu (an HMENU) of a popup menu made by this backend.
std::uintptr_t NativeMenu(const IPopupMenu& menu);

}  // namespace ponderix::platform::win32
