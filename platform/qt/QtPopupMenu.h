// A popup menu of the Qt window system: a QMenu, opened modal beside the point.
//
// Implements (IPopupMenu):
// - [x] InsertItem: a text item with its identifier, before the item at the
//       position (at the end past the last)
// - [x] Track: opens with the menu's right edge at the point, either mouse
//       button chooses; the chosen identifier, or 0 when dismissed
// - [x] destruction destroys the menu
#pragma once

#include <memory>

#include "platform/WindowSystem.h"

class QMenu;

namespace ponderix::platform::qt {

class QtPopupMenu final : public IPopupMenu {
public:
    QtPopupMenu();
    ~QtPopupMenu() override;
    QtPopupMenu(const QtPopupMenu&) = delete;
    QtPopupMenu& operator=(const QtPopupMenu&) = delete;

    void InsertItem(unsigned position, unsigned id, std::string_view text) override;
    unsigned Track(ScreenPoint at, const IWindow& owner) override;

private:
    std::unique_ptr<QMenu> m_Menu;
};

}  // namespace ponderix::platform::qt
