#include "platform/qt/QtPopupMenu.h"

#include <QAction>
#include <QMenu>

#include "platform/qt/QtSupport.h"

namespace ponderix::platform::qt {

QtPopupMenu::QtPopupMenu() : m_Menu(std::make_unique<QMenu>()) {
    m_Menu->setObjectName(QStringLiteral("ponderixPopupMenu"));
}

QtPopupMenu::~QtPopupMenu() = default;

void QtPopupMenu::InsertItem(unsigned position, unsigned id, std::string_view text) {
    auto* action = new QAction(ToQString(text), m_Menu.get());
    action->setData(id);
    const QList<QAction*> actions = m_Menu->actions();
    if (position < static_cast<unsigned>(actions.size())) {
        m_Menu->insertAction(actions[static_cast<qsizetype>(position)], action);
    } else {
        m_Menu->addAction(action);
    }
}

unsigned QtPopupMenu::Track(ScreenPoint at, const IWindow& /*owner*/) {
    // Not parented to the owner's widget: the owner may be unloaded, and its
    // widget deleted, while the menu is open.
    m_Menu->ensurePolished();
    const QSize size = m_Menu->sizeHint();
    QAction* chosen = m_Menu->exec(QPoint(at.X - size.width(), at.Y));
    return chosen != nullptr ? chosen->data().toUInt() : 0u;
}

}  // namespace ponderix::platform::qt
