// The user control classes a window system knows, by class id.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/Layout.h"
#include "platform/UserControl.h"

namespace ponderix::platform {

class UserControlRegistry {
public:
    // Throws PlatformError for a class without a design or a way to create it.
    void Register(UserControlClass userControlClass);
    // Throws PlatformError when no class has that id.
    const UserControlClass& ClassOf(std::string_view classId) const;
    // Throws PlatformError when the layout places a user control of an unknown class.
    void CheckClassesOf(const WindowSpec& layout) const;

private:
    std::map<std::string, UserControlClass, std::less<>> m_Classes;
};

}  // namespace ponderix::platform
