#include "platform/core/WindowSystemBase.h"

#include <algorithm>

#include "platform/core/CoreWindow.h"
#include "platform/core/LayoutSupport.h"

namespace ponderix::platform::core {

WindowSystemBase::WindowSystemBase(PictureCache::Decoder decoder)
    : m_Pictures(std::move(decoder)) {}

WindowSystemBase::~WindowSystemBase() = default;

void WindowSystemBase::RegisterUserControl(UserControlClass userControlClass) {
    m_Classes.Register(std::move(userControlClass));
}

std::unique_ptr<IWindow> WindowSystemBase::CreateWindow(const WindowSpec& layout) {
    CheckOperation("Window.Create", layout.Name);
    CheckLayout(layout);
    m_Classes.CheckClassesOf(layout);
    return MakeWindow(layout);
}

Picture WindowSystemBase::LoadPicture(AssetName asset) {
    return m_Pictures.Load(asset);
}

bool WindowSystemBase::AnyWindowLoaded() const {
    return std::any_of(m_Windows.begin(), m_Windows.end(),
                       [](const Window* window) { return window->IsLoaded(); });
}

bool WindowSystemBase::IsAlive(const Window* window) const {
    return std::find(m_Windows.begin(), m_Windows.end(), window) != m_Windows.end();
}

void WindowSystemBase::Remove(Window* window) {
    std::erase(m_Windows, window);
}

void WindowSystemBase::WindowUnloaded() {
    if (!AnyWindowLoaded()) {
        LastWindowUnloaded();
    }
}

}  // namespace ponderix::platform::core
