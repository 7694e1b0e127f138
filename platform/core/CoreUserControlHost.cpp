#include "platform/core/CoreUserControlHost.h"

#include "platform/Error.h"
#include "platform/core/CoreTimer.h"
#include "platform/core/CoreWindow.h"
#include "platform/core/LayoutSupport.h"
#include "platform/core/WindowSystemBase.h"

namespace ponderix::platform::core {

// ---------------------------------------------------------------------------
// User controls

UserControlHost::UserControlHost(const ControlArgs& args, const UserControlClass& userControlClass)
    : VisibleOf(args),
      m_Class(userControlClass),
      m_Width(static_cast<float>(userControlClass.Design->Width)),
      m_Height(static_cast<float>(userControlClass.Design->Height)) {
    // Made at its design's size; Load gives it the layout's.
    m_Bounds.Width = args.Window.TwipsToPixels(m_Width);
    m_Bounds.Height = args.Window.TwipsToPixels(m_Height);
    core::Window& window = args.Window;
    m_Children.Build(*userControlClass.Design, m_Key,
                     [&window](const ControlSpec& child, std::string key) {
                         return std::make_unique<core::Timer>(
                             ControlArgs{window, child, std::move(key), {}, nullptr});
                     });
}

UserControlHost::~UserControlHost() {
    m_Instance.reset();  // before the children it uses
}

void UserControlHost::CreateInstance() {
    m_Instance = m_Class.Create(*this);
    if (!m_Instance) {
        throw PlatformError("user control class '" + std::string(m_Row.ClassId) +
                            "' made no instance");
    }
}

void UserControlHost::Load() {
    m_Instance->UserControl_ReadProperties(SavedProperties(m_Row, m_Window.System()));
    m_Width = static_cast<float>(m_Row.Rect.Width);
    m_Height = static_cast<float>(m_Row.Rect.Height);
    Resized();
}

void UserControlHost::StopTimers() {
    m_Children.ForEachTimer([](ITimer& timer) { dynamic_cast<core::Timer&>(timer).Stop(); });
}

IUserControl& UserControlHost::Instance() {
    CheckLoaded();
    return *m_Instance;
}

bool UserControlHost::TakesFocus() const {
    return m_Class.Design->CanFocus;
}

AccessibleRole UserControlHost::KindRole() const {
    return m_Class.Design->Role;
}

bool UserControlHost::ClickWithoutMouse() {
    if (!m_Window.IsLoaded() || !IsEnabled()) {
        return false;
    }
    m_Instance->UserControl_Click();
    return true;
}

bool UserControlHost::ShowsFocusCue() const {
    return m_Window.IsLoaded() && m_Window.KeyboardCues() && HasFocus();
}

void UserControlHost::Resized() {
    m_Bounds.Width = m_Window.TwipsToPixels(m_Width);
    m_Bounds.Height = m_Window.TwipsToPixels(m_Height);
    Place(ToWholePixels(m_Bounds));
    m_Instance->UserControl_Resize();
}

void UserControlHost::Rescale(float oldTwipsPerPixel) {
    m_Bounds.Left = m_Window.TwipsToPixels(m_Bounds.Left * oldTwipsPerPixel);
    m_Bounds.Top = m_Window.TwipsToPixels(m_Bounds.Top * oldTwipsPerPixel);
    if (m_Instance) {
        Resized();
    } else {
        m_Bounds.Width = m_Window.TwipsToPixels(m_Width);
        m_Bounds.Height = m_Window.TwipsToPixels(m_Height);
        Place(ToWholePixels(m_Bounds));
    }
}

// A move that changes the size resizes the surface and tells the instance.
void UserControlHost::BoundsChanged() {
    const float width = m_Window.PixelsToTwips(m_Bounds.Width);
    const float height = m_Window.PixelsToTwips(m_Bounds.Height);
    if (m_Instance && (width != m_Width || height != m_Height)) {
        m_Width = width;
        m_Height = height;
        Resized();
        return;
    }
    Place(ToWholePixels(m_Bounds));
}

IWindowSystem& UserControlHost::System() {
    return m_Window.System();
}

void UserControlHost::Clear() {
    Check("Site.Clear");
    ClearNative();
}

void UserControlHost::DrawPicture(const Picture& picture) {
    Check("Site.DrawPicture");
    if (picture.IsEmpty()) {
        throw PlatformError("there is no picture to draw on '" + m_Key + "'");
    }
    DrawNative(picture);
}

float UserControlHost::Width() const {
    CheckLoaded();
    return m_Width;
}

float UserControlHost::Height() const {
    CheckLoaded();
    return m_Height;
}

void UserControlHost::SetWidth(float twips) {
    Check("Site.SetWidth");
    if (twips != m_Width) {
        m_Width = twips;
        Resized();  // the instance hears of it from within this call
    }
}

void UserControlHost::SetHeight(float twips) {
    Check("Site.SetHeight");
    if (twips != m_Height) {
        m_Height = twips;
        Resized();
    }
}

WindowHandle UserControlHost::Handle() const {
    Check("Site.Handle");
    return NativeHandle();
}

void UserControlHost::PropertyChanged(std::string_view key) {
    Check("Site.PropertyChanged");
    m_ChangedProperties.emplace_back(key);
}

ITimer& UserControlHost::Timer(std::string_view name) {
    return m_Children.Timer(name);
}

IPictureBox& UserControlHost::PictureBox(std::string_view name) {
    return m_Children.PictureBox(name);
}

// ---------------------------------------------------------------------------
// The surface's mouse

void UserControlHost::SurfaceMouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    if (!m_Window.IsLoaded()) {
        return;
    }
    if (button == 1) {
        m_LeftPressed = true;
    }
    m_Instance->UserControl_MouseDown(button, shift, m_Window.PixelsToTwips(x),
                                      m_Window.PixelsToTwips(y));
}

void UserControlHost::SurfaceMouseMove(std::int16_t buttons, std::int16_t shift, float x, float y) {
    if (!m_Window.IsLoaded()) {
        return;
    }
    m_Instance->UserControl_MouseMove(buttons, shift, m_Window.PixelsToTwips(x),
                                      m_Window.PixelsToTwips(y));
}

void UserControlHost::SurfaceMouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    if (!m_Window.IsLoaded()) {
        return;
    }
    const WholePixelRect surface = ToWholePixels(m_Bounds);
    const bool inside = x >= 0 && y >= 0 && x < static_cast<float>(surface.Width) &&
                        y < static_cast<float>(surface.Height);
    const bool click = button == 1 && m_LeftPressed && inside;
    if (button == 1) {
        m_LeftPressed = false;
    }
    m_Instance->UserControl_MouseUp(button, shift, m_Window.PixelsToTwips(x),
                                    m_Window.PixelsToTwips(y));
    if (click && m_Window.IsLoaded()) {
        m_Instance->UserControl_Click();
    }
}

void UserControlHost::SurfaceDoubleClick() {
    if (!m_Window.IsLoaded()) {
        return;
    }
    m_LeftPressed = false;
    m_Instance->UserControl_DblClick();
}

}  // namespace ponderix::platform::core
