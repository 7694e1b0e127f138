#include "platform/win32/Win32PopupMenu.h"

#include <string>

#include "platform/Error.h"
#include "platform/core/CoreWindow.h"

namespace ponderix::platform::win32::detail {

PopupMenu::PopupMenu() : m_Menu(::CreatePopupMenu()) {
    if (m_Menu == nullptr) {
        Fail("the popup menu could not be made");
    }
}

PopupMenu::~PopupMenu() {
    DestroyMenu(m_Menu);
}

void PopupMenu::InsertItem(unsigned position, unsigned id, std::string_view text) {
    std::string ansi = ToAnsi(text);
    MENUITEMINFOA item{};
    item.cbSize = sizeof(MENUITEMINFOA);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = 0;  // enabled, no check mark, no submenu
    item.wID = id;
    item.dwTypeData = ansi.data();
    item.cch = static_cast<UINT>(ansi.size());
    if (!InsertMenuItemA(m_Menu, position, TRUE, &item)) {
        Fail("the menu item '" + std::string(text) + "' could not be inserted");
    }
}

unsigned PopupMenu::Track(ScreenPoint at, const IWindow& owner) {
    HWND window = ToHwnd(owner.Handle());
    if (window == nullptr) {
        throw PlatformError("a popup menu needs a loaded window as its owner");
    }
    // A menu whose owner is not in the foreground does not close when the user
    // clicks elsewhere.
    SetForegroundWindow(window);
    constexpr UINT Flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTALIGN | TPM_RIGHTBUTTON;
    static_assert(Flags == 0x18A);
    // From the keyboard, on its first item: the menu's own loop finds the
    // arrow key in the queue as soon as it runs.
    if (core::PressingIn(owner) != nullptr) {
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    }
    const BOOL chosen = TrackPopupMenu(m_Menu, Flags, at.X, at.Y, 0, window, nullptr);
    // Lets the owner's queue see a message, so that the next menu opens at once.
    PostMessageW(window, WM_NULL, 0, 0);
    return chosen > 0 ? static_cast<unsigned>(chosen) : 0;
}

}  // namespace ponderix::platform::win32::detail
