#include "platform/core/UserControlRegistry.h"

#include "platform/Error.h"

namespace ponderix::platform {

void UserControlRegistry::Register(UserControlClass userControlClass) {
    if (userControlClass.Design == nullptr || !userControlClass.Create) {
        throw PlatformError("a user control class needs a design and a way to create it");
    }
    const std::string id(userControlClass.Design->ClassId);
    m_Classes[id] = std::move(userControlClass);
}

const UserControlClass& UserControlRegistry::ClassOf(std::string_view classId) const {
    const auto found = m_Classes.find(classId);
    if (found == m_Classes.end()) {
        throw PlatformError("no user control class '" + std::string(classId) + "'");
    }
    return found->second;
}

void UserControlRegistry::CheckClassesOf(const WindowSpec& layout) const {
    for (const ControlSpec& control : layout.Controls) {
        if (control.Kind == ControlKind::UserControl) {
            ClassOf(control.ClassId);
        }
    }
}

}  // namespace ponderix::platform
