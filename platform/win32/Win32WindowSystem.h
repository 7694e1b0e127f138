// The native Windows backend of the window-system interface: plain user32 and
// gdi32 windows and controls, the registry, the shell. Text is UTF-8 inside the
// program and UTF-16 towards the wide Win32 calls; only the popup menu and the
// shell take the ANSI code page, as their A entry points want it. This header
// names no Win32 type, so callers need not include windows.h.
//
// What it implements:
// - [x] Windows from a WindowSpec: borderless (WS_POPUP, task-bar button, outer
//       size = inner size, centred on the work area) and fixed dialogs (caption
//       and close box only, owned, client size = inner size, centred over the
//       owner); background colour and picture; icon; Resize on first show and on
//       every change of the client size; Show, Minimise, Unload (owned windows
//       first), the close box, Unloaded once.
// - [x] Labels and images drawn by their container (below its windowed controls):
//       word wrap, CR and CR LF line breaks, "&&", transparent or opaque back,
//       flat and sunken borders, alignment, fonts, hand cursor, Click, AutoSize.
// - [x] Text box (EDIT), list box (LISTBOX), option buttons grouped by container
//       (BUTTON), frames (child containers), timers, hidden picture boxes.
// - [x] Stacking of child windows by layout row, the tab order with Tab and
//       Shift+Tab, the focus on the first control when a window first shows.
// - [x] User controls on a surface window of their own with a backing bitmap:
//       Clear, DrawPicture, sizes in twips, mouse with capture, Click, DblClick.
// - [x] Pictures from the program's RT_BITMAP resources, decoded once.
// - [x] Error message box, popup menu (InsertMenuItemA, TrackPopupMenu),
//       GetCursorPos, WindowFromPoint, ShellExecuteA, the locale's decimal
//       separator, settings in HKEY_CURRENT_USER\Software\<application>\<section>.
// - [x] DoEvents and the message loop, which ends with the last loaded window.
// - [x] No exception ever unwinds through a window procedure: where a message
//       calls into the program, a failure ends that call and nothing else.
//
// It does not scale layouts to other resolutions than 96 dots per inch: the
// program's pictures and layouts are drawn in pixels at that resolution.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/WindowSystem.h"

namespace ponderix::platform::win32 {

namespace detail {
class System;
}

class Win32WindowSystem final : public IWindowSystem {
public:
    // Registers the window classes of the backend; throws PlatformError when
    // the desktop refuses.
    Win32WindowSystem();
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

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

private:
    std::unique_ptr<detail::System> m_System;
};

// The native window of a control built by this backend (an HWND): the window of
// a text box, list box, option button, frame or user control; 0 for the controls
// that their container draws (labels, images) and for those that never show.
WindowHandle NativeHandle(const IControl& control);

// The native menu (an HMENU) of a popup menu made by this backend.
std::uintptr_t NativeMenu(const IPopupMenu& menu);

}  // namespace ponderix::platform::win32
