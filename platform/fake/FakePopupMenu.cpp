#include "platform/fake/FakePopupMenu.h"

#include <algorithm>

#include "platform/core/CoreWindow.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

FakePopupMenu::~FakePopupMenu() {
    m_System.DestroyMenuRecord(m_Record);
}

void FakePopupMenu::InsertItem(unsigned position, unsigned id, std::string_view text) {
    m_System.Check("Menu.InsertItem");
    auto& items = m_System.MenuRecord(m_Record).Items;
    const auto at = std::min<std::size_t>(position, items.size());
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), {id, std::string(text)});
}

unsigned FakePopupMenu::Track(ScreenPoint at, const IWindow& owner) {
    m_System.Check("Menu.Track");
    RecordedMenu& record = m_System.MenuRecord(m_Record);
    record.Tracked = true;
    record.TrackedAt = at;
    record.Owner = owner.Handle();
    // Opened by the keyboard or a reader, it is on its first item.
    record.OnFirstItem = core::PressingIn(owner) != nullptr && !record.Items.empty();
    const MenuAction action = m_System.NextMenuAction();
    switch (action.What) {
        case MenuAction::Kind::Choose:
            return action.Id;
        case MenuAction::Kind::PressAt:
            // The press closes the menu and then reaches what it lands on.
            m_System.Post([system = &m_System, point = action.At] { system->ClickAt(point); });
            return 0;
        case MenuAction::Kind::Return:
            return record.OnFirstItem ? record.Items.front().first : 0;
        case MenuAction::Kind::Escape:
            return 0;
    }
    return 0;
}

}  // namespace ponderix::platform::fake
