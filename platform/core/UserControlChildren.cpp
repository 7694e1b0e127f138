#include "platform/core/UserControlChildren.h"

#include "platform/Error.h"
#include "platform/core/HiddenPictureBox.h"

namespace ponderix::platform {

void UserControlChildren::Build(const UserControlDesign& design, const std::string& ownerKey,
                                const TimerFactory& makeTimer) {
    m_OwnerKey = ownerKey;
    for (const ControlSpec& child : design.Children) {
        const std::string name = ControlKey(child.Name, child.Index);
        if (child.Kind == ControlKind::Timer) {
            m_Children[name] = makeTimer(child, ownerKey + "." + name);
        } else if (child.Kind == ControlKind::PictureBox) {
            m_Children[name] = std::make_unique<HiddenPictureBox>(
                static_cast<float>(child.Rect.Width), static_cast<float>(child.Rect.Height));
        } else {
            throw PlatformError("user control '" + ownerKey +
                                "' may hold only timers and picture boxes");
        }
    }
}

IControl& UserControlChildren::Child(std::string_view name) const {
    const auto found = m_Children.find(name);
    if (found == m_Children.end()) {
        throw PlatformError("'" + m_OwnerKey + "' has no child '" + std::string(name) + "'");
    }
    return *found->second;
}

ITimer& UserControlChildren::Timer(std::string_view name) const {
    if (auto* timer = dynamic_cast<ITimer*>(&Child(name))) {
        return *timer;
    }
    throw PlatformError("'" + m_OwnerKey + "." + std::string(name) + "' is not a timer");
}

IPictureBox& UserControlChildren::PictureBox(std::string_view name) const {
    if (auto* pictureBox = dynamic_cast<IPictureBox*>(&Child(name))) {
        return *pictureBox;
    }
    throw PlatformError("'" + m_OwnerKey + "." + std::string(name) + "' is not a picture box");
}

}  // namespace ponderix::platform
