// A popup menu of the Qt window system: a QMenu, opened modal with its right
// edge at the point; either mouse button chooses; 0 when dismissed.
//
// Where QMenu differs from the other desktops' menus, it is brought in line:
// Return or Enter with no item highlighted closes the menu with no choice
// (QMenu would highlight the first item), and a left press outside the menu
// closes it and then still reaches the widget it landed on (QMenu swallows it).
// A screen reader hears the menu named after the key that opened it: on its
// first item when the keyboard or a reader opened it, as itself when the
// mouse did.
#pragma once

#include <QString>
#include <memory>

#include "platform/WindowSystem.h"

namespace ponderix::platform::qt {

class MenuWidget;

class QtPopupMenu final : public IPopupMenu {
public:
    // The window system answers what lies under a point.
    explicit QtPopupMenu(IWindowSystem& system);
    ~QtPopupMenu() override;
    QtPopupMenu(const QtPopupMenu&) = delete;
    QtPopupMenu& operator=(const QtPopupMenu&) = delete;

    void InsertItem(unsigned position, unsigned id, std::string_view text) override;
    unsigned Track(ScreenPoint at, const IWindow& owner) override;

private:
    QString NameAt(ScreenPoint at) const;

    IWindowSystem& m_System;
    std::unique_ptr<MenuWidget> m_Menu;
};

}  // namespace ponderix::platform::qt
