#include "platform/fake/FakeUserControlHost.h"

#include "platform/fake/FakeSupport.h"
#include "platform/fake/FakeWindow.h"

namespace ponderix::platform::fake {

FakeUserControlHost::FakeUserControlHost(const core::ControlArgs& args,
                                         const UserControlClass& userControlClass)
    : UserControlHost(args, userControlClass),
      m_Handle(FakeWindow::Of(args.Window).System().NewHandle()) {}

void FakeUserControlHost::Focus() {
    FakeWindow::Of(m_Window).SetFocusedControl(this);
}

bool FakeUserControlHost::HasFocus() const {
    return FakeWindow::Of(m_Window).FocusedControl() == this;
}

void FakeUserControlHost::DrawNative(const Picture& picture) {
    m_Face = picture;
    ++m_DrawCount;
}

ScreenPoint FakeUserControlHost::ScreenPointOf(float xTwips, float yTwips) const {
    const ScreenPoint origin = FakeWindow::Of(m_Window).ContainerOrigin(m_Row.Container);
    return {origin.X + NearestPixel(m_Bounds.Left + Pixels(xTwips)),
            origin.Y + NearestPixel(m_Bounds.Top + Pixels(yTwips))};
}

WholePixelRect FakeUserControlHost::ScreenRect() const {
    const ScreenPoint origin = FakeWindow::Of(m_Window).ContainerOrigin(m_Row.Container);
    return Offset(ToWholePixels(m_Bounds), origin);
}

void FakeUserControlHost::MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    FakeWindow::Of(m_Window).System().SetCursorPos(ScreenPointOf(x, y));
    SurfaceMouseDown(button, shift, Pixels(x), Pixels(y));
}

void FakeUserControlHost::MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    FakeWindow::Of(m_Window).System().SetCursorPos(ScreenPointOf(x, y));
    SurfaceMouseMove(button, shift, Pixels(x), Pixels(y));
}

void FakeUserControlHost::MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    FakeWindow::Of(m_Window).System().SetCursorPos(ScreenPointOf(x, y));
    SurfaceMouseUp(button, shift, Pixels(x), Pixels(y));
}

void FakeUserControlHost::ClickByUser() {
    const float x = Width() / 2;
    const float y = Height() / 2;
    MouseMove(0, 0, x, y);
    MouseDown(1, 0, x, y);
    MouseUp(1, 0, x, y);
    FakeWindow::Of(m_Window).System().DeliverPosted();
}

}  // namespace ponderix::platform::fake
