#include "platform/qt/QtUserControlHost.h"

#include "platform/core/CoreWindow.h"

namespace ponderix::platform::qt {
namespace {

QColor BackgroundOf(const ControlSpec& row) {
    return ToQColor(row.BackColour.value_or(Colour::System(SystemColour::ButtonFace)));
}

}  // namespace

QtUserControlHost::QtUserControlHost(const core::ControlArgs& args,
                                     const UserControlClass& userControlClass)
    : QtNative(new SurfaceWidget(ParentWidget(args), BackgroundOf(args.Row)), args,
               userControlClass) {
    m_Widget->Input = this;
    m_Widget->OnPress = [this] { m_Window.Press(*this); };
}

void QtUserControlHost::Detach() {
    if (m_Widget != nullptr) {
        m_Widget->Input = nullptr;
        m_Widget->OnPress = nullptr;
    }
}

bool QtUserControlHost::CuesShown() const {
    return m_Window.KeyboardCues();
}

}  // namespace ponderix::platform::qt
