#include <cmath>

#include "platform/LayoutSupport.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

FakeUserControlHost::FakeUserControlHost(FakeWindow& window, const ControlSpec& row,
                                         const UserControlClass& userControlClass)
    : m_Window(window),
      m_Row(row),
      m_Key(ControlKey(row.Name, row.Index)),
      m_Handle(window.System().NewHandle()),
      m_Left(TwipsToPixels(static_cast<float>(row.Rect.Left))),
      m_Top(TwipsToPixels(static_cast<float>(row.Rect.Top))),
      m_Width(static_cast<float>(userControlClass.Design->Width)),
      m_Height(static_cast<float>(userControlClass.Design->Height)) {
    m_Children.Build(*userControlClass.Design, m_Key,
                     [&window](const ControlSpec& child, std::string key) {
                         return std::make_unique<FakeTimer>(window.System(), std::move(key),
                                                            child.Enabled, child.IntervalMs);
                     });
    m_Instance = userControlClass.Create(*this);
}

FakeUserControlHost::~FakeUserControlHost() {
    m_Instance.reset();
}

void FakeUserControlHost::Load() {
    m_Instance->UserControl_ReadProperties(SavedProperties(m_Row, System()));
    ResizeTo(static_cast<float>(m_Row.Rect.Width), static_cast<float>(m_Row.Rect.Height));
}

void FakeUserControlHost::StopTimers() {
    m_Children.ForEachTimer([](ITimer& timer) { dynamic_cast<FakeTimer&>(timer).Stop(); });
}

void FakeUserControlHost::ResizeTo(float width, float height) {
    m_Width = width;
    m_Height = height;
    m_Instance->UserControl_Resize();
}

PixelRect FakeUserControlHost::Bounds() const {
    return {m_Left, m_Top, TwipsToPixels(m_Width), TwipsToPixels(m_Height)};
}

void FakeUserControlHost::Move(float left, float top, std::optional<float> width,
                               std::optional<float> height) {
    m_Window.CheckLoaded("Control.Move", m_Key);
    m_Left = left;
    m_Top = top;
    const float newWidth = width ? PixelsToTwips(*width) : m_Width;
    const float newHeight = height ? PixelsToTwips(*height) : m_Height;
    if (newWidth != m_Width || newHeight != m_Height) {
        ResizeTo(newWidth, newHeight);
    }
}

void FakeUserControlHost::BringToFront() {
    m_Window.CheckLoaded("Control.BringToFront", m_Key);
    m_Window.BringControlToFront(*this);
}

void FakeUserControlHost::Clear() {
    m_Window.CheckLoaded("Site.Clear", m_Key);
    m_Face = {};
}

void FakeUserControlHost::DrawPicture(const Picture& picture) {
    m_Window.CheckLoaded("Site.DrawPicture", m_Key);
    if (picture.IsEmpty()) {
        throw PlatformError("there is no picture to draw");
    }
    m_Face = picture;
    ++m_DrawCount;
}

void FakeUserControlHost::SetWidth(float twips) {
    m_Window.CheckLoaded("Site.SetWidth", m_Key);
    if (twips != m_Width) {
        m_Width = twips;
        m_Instance->UserControl_Resize();
    }
}

void FakeUserControlHost::SetHeight(float twips) {
    m_Window.CheckLoaded("Site.SetHeight", m_Key);
    if (twips != m_Height) {
        m_Height = twips;
        m_Instance->UserControl_Resize();
    }
}

WindowHandle FakeUserControlHost::Handle() const {
    m_Window.CheckLoaded("Site.Handle", m_Key);
    return m_Handle;
}

void FakeUserControlHost::PropertyChanged(std::string_view key) {
    m_Window.CheckLoaded("Site.PropertyChanged", m_Key);
    m_ChangedProperties.emplace_back(key);
}

ITimer& FakeUserControlHost::Timer(std::string_view name) {
    return m_Children.Timer(name);
}

IPictureBox& FakeUserControlHost::PictureBox(std::string_view name) {
    return m_Children.PictureBox(name);
}

ScreenPoint FakeUserControlHost::ScreenPointOf(float xTwips, float yTwips) const {
    const ScreenPoint origin = m_Window.ContainerOrigin(m_Row.Container);
    return {origin.X + NearestPixel(m_Left + TwipsToPixels(xTwips)),
            origin.Y + NearestPixel(m_Top + TwipsToPixels(yTwips))};
}

WholePixelRect FakeUserControlHost::ScreenRect() const {
    const ScreenPoint origin = m_Window.ContainerOrigin(m_Row.Container);
    const WholePixelRect rect = ToWholePixels(Bounds());
    return {origin.X + rect.Left, origin.Y + rect.Top, rect.Width, rect.Height};
}

void FakeUserControlHost::MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    m_Window.System().SetCursorPos(ScreenPointOf(x, y));
    m_Instance->UserControl_MouseDown(button, shift, x, y);
}

void FakeUserControlHost::MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    m_Window.System().SetCursorPos(ScreenPointOf(x, y));
    m_Instance->UserControl_MouseMove(button, shift, x, y);
}

void FakeUserControlHost::MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    m_Window.System().SetCursorPos(ScreenPointOf(x, y));
    m_Instance->UserControl_MouseUp(button, shift, x, y);
}

void FakeUserControlHost::Click() {
    m_Instance->UserControl_Click();
}

void FakeUserControlHost::DblClick() {
    m_Instance->UserControl_DblClick();
}

void FakeUserControlHost::ClickByUser() {
    const float x = m_Width / 2;
    const float y = m_Height / 2;
    MouseMove(0, 0, x, y);
    MouseDown(1, 0, x, y);
    MouseUp(1, 0, x, y);
    Click();
}

}  // namespace ponderix::platform::fake
