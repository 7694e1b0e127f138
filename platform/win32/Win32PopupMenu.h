// The popup menu: a native menu of text items, tracked at a point of the screen
// in the desktop's own modal loop.
#pragma once

#include <string_view>

#include "platform/WindowSystem.h"
#include "platform/win32/Win32Support.h"

namespace ponderix::platform::win32::detail {

class PopupMenu final : public IPopupMenu {
public:
    PopupMenu();
    ~PopupMenu() override;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    void InsertItem(unsigned position, unsigned id, std::string_view text) override;
    unsigned Track(ScreenPoint at, const IWindow& owner) override;

    HMENU Menu() const { return m_Menu; }

private:
    HMENU m_Menu;
};

}  // namespace ponderix::platform::win32::detail
