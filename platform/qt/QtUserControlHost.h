// A user control placed on a Qt window: the core hosts the instance and its
// children; here is only its surface, a widget of its own (QtWidgets.h) that
// keeps the face drawn last and passes the mouse on.
//
// Qt tells a widget nothing when it appears under a cursor that does not move,
// and tells it of the cursor's coming (Enter) apart from any move: the surface
// turns both into a move, as the other desktops send one.
#pragma once

#include "platform/core/CoreUserControlHost.h"
#include "platform/qt/QtControls.h"

namespace ponderix::platform::qt {

class QtUserControlHost final : public QtNative<core::UserControlHost, SurfaceWidget>,
                                private SurfaceInput {
public:
    QtUserControlHost(const core::ControlArgs& args, const UserControlClass& userControlClass);
    void Detach() override;
    void KeyboardCuesShown() override {
        if (m_Widget != nullptr) {
            m_Widget->update();
        }
    }

protected:
    void ClearNative() override { m_Widget->ClearFace(); }
    void DrawNative(const Picture& picture) override { m_Widget->DrawFace(picture); }

private:
    void SurfaceDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        SurfaceMouseDown(button, shift, x, y);
    }
    void SurfaceMove(std::int16_t buttons, std::int16_t shift, float x, float y) override {
        SurfaceMouseMove(buttons, shift, x, y);
    }
    void SurfaceUp(std::int16_t button, std::int16_t shift, float x, float y) override {
        SurfaceMouseUp(button, shift, x, y);
    }
    void SurfaceDoubled() override { SurfaceDoubleClick(); }
    bool CuesShown() const override;
};

}  // namespace ponderix::platform::qt
