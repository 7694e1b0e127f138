// The child controls of a hosted user control's design, by name: its timers,
// which the backend makes, and its hidden picture boxes. Every backend keeps
// them alike, so they are kept here once.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Layout.h"
#include "platform/UserControl.h"

namespace ponderix::platform {

class UserControlChildren {
public:
    // Makes a timer of the design; the key names it in errors and fault reports.
    using TimerFactory =
        std::function<std::unique_ptr<ITimer>(const ControlSpec& child, std::string key)>;

    // Builds the children of the design for the control filed under ownerKey.
    // Throws PlatformError for a child that is neither a timer nor a picture box.
    void Build(const UserControlDesign& design, const std::string& ownerKey,
               const TimerFactory& makeTimer);

    // The child of that name, of that kind; throws PlatformError otherwise.
    ITimer& Timer(std::string_view name) const;
    IPictureBox& PictureBox(std::string_view name) const;

    // Each timer, to stop or detach it with its window.
    template <typename Visit>
    void ForEachTimer(Visit&& visit) const {
        for (const auto& [name, child] : m_Children) {
            if (auto* timer = dynamic_cast<ITimer*>(child.get())) {
                visit(*timer);
            }
        }
    }

    void Clear() { m_Children.clear(); }

private:
    IControl& Child(std::string_view name) const;

    std::string m_OwnerKey;
    std::map<std::string, std::unique_ptr<IControl>, std::less<>> m_Children;
};

}  // namespace ponderix::platform
