// The surface of a user control on the fake: the last picture drawn, and the
// mouse as a test moves it.
#pragma once

#include <cstdint>

#include "platform/core/CoreUserControlHost.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

// The surface of a user control on a fake window.
class FakeUserControlHost final : public core::UserControlHost {
public:
    FakeUserControlHost(const core::ControlArgs& args, const UserControlClass& userControlClass);

    // What the user does with the mouse: each moves the cursor to the point on
    // the surface (in twips) first, then delivers the notification.
    void MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    // The click and double click notifications alone.
    void Click() { Instance().UserControl_Click(); }
    void DblClick() { SurfaceDoubleClick(); }
    // A left click in the middle, as the desktop delivers it: move, down, up
    // (which makes the click).
    void ClickByUser();

    // What the surface shows: the last picture drawn since the last clear.
    Picture Face() const { return m_Face; }
    int DrawCount() const { return m_DrawCount; }
    ScreenPoint ScreenPointOf(float xTwips, float yTwips) const;
    WholePixelRect ScreenRect() const;
    WindowHandle SurfaceHandle() const { return m_Handle; }

protected:
    WindowHandle NativeHandle() const override { return m_Handle; }
    void Raise() override {}
    void Focus() override;
    bool HasFocus() const override;
    void Place(const WholePixelRect& /*rect*/) override {}
    void ShowNative(bool /*visible*/) override {}
    void EnableNative(bool /*enabled*/) override {}
    void ClearNative() override { m_Face = {}; }
    void DrawNative(const Picture& picture) override;

private:
    float Pixels(float twips) const { return m_Window.TwipsToPixels(twips); }

    WindowHandle m_Handle;
    Picture m_Face;
    int m_DrawCount = 0;
};

}  // namespace ponderix::platform::fake
