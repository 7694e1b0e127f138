// The fake's popup menu: it records what the program put in it and where it
// opened it, and does what the test scripted the user to do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/WindowSystem.h"

namespace ponderix::platform::fake {

class FakeWindowSystem;

struct RecordedMenu {
    std::vector<std::pair<unsigned, std::string>> Items;  // (id, text) in menu order
    bool Tracked = false;
    ScreenPoint TrackedAt;
    WindowHandle Owner = 0;
    bool OnFirstItem = false;  // opened by the keyboard or a reader
    bool Destroyed = false;
};

// What the user does while a popup menu is open.
struct MenuAction {
    enum class Kind : std::uint8_t {
        Choose,   // clicks the item with that identifier
        Return,   // presses Return: chooses the highlighted item, if any
        Escape,   // presses Escape
        PressAt,  // presses the left button at a screen point outside the menu
    };
    Kind What = Kind::Escape;
    unsigned Id = 0;
    ScreenPoint At;
};

class FakePopupMenu final : public IPopupMenu {
public:
    FakePopupMenu(FakeWindowSystem& system, std::size_t record)
        : m_System(system), m_Record(record) {}
    ~FakePopupMenu() override;

    void InsertItem(unsigned position, unsigned id, std::string_view text) override;
    unsigned Track(ScreenPoint at, const IWindow& owner) override;

private:
    FakeWindowSystem& m_System;
    std::size_t m_Record;
};

}  // namespace ponderix::platform::fake
