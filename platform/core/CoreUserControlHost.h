// A user control placed on a window, as every backend hosts it: the instance,
// the children of its design, its size in twips, the properties it marked as
// changed, the surface's mouse turned into its notifications, and its click
// without the mouse (the keyboard's, a screen reader's). A backend supplies the
// surface: a native window of its own that shows the last picture drawn, with
// the focus cue over it while ShowsFocusCue, and reports the mouse through the
// protected Surface* calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserControl.h"
#include "platform/core/CoreControls.h"
#include "platform/core/UserControlChildren.h"

namespace ponderix::platform::core {

class UserControlHost : public VisibleOf<IUserControlHost>, public IUserControlSite {
public:
    UserControlHost(const ControlArgs& args, const UserControlClass& userControlClass);
    ~UserControlHost() override;

    // Makes the instance, once the native surface exists (the window does it).
    void CreateInstance();
    // Reads the saved properties, then takes the layout's size (Resize).
    void Load();
    void StopTimers();
    // Keeps the size in twips: the surface takes its new pixels and the
    // instance hears of it (Resize), which redraws it for the new screen.
    void Rescale(float oldTwipsPerPixel) override;
    // The keys the instance marked as changed, in order.
    const std::vector<std::string>& ChangedProperties() const { return m_ChangedProperties; }

    // IUserControlHost
    IUserControl& Instance() override;

    // A tab stop when its design says so; its role is its design's.
    bool TakesFocus() const override;
    // The click notification alone, as the keyboard and screen readers give it.
    bool ClickWithoutMouse() override;
    // Whether the surface shows the focus cue over the face: it has the focus
    // and its window shows focus cues. The face itself never changes for it.
    bool ShowsFocusCue() const;

    // IUserControlSite (sizes in twips)
    IWindowSystem& System() override;
    void Clear() override;
    void DrawPicture(const Picture& picture) override;
    float Width() const override;
    float Height() const override;
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;
    WindowHandle Handle() const override;
    void PropertyChanged(std::string_view key) override;
    ITimer& Timer(std::string_view name) override;
    IPictureBox& PictureBox(std::string_view name) override;

protected:
    // The surface: fill it with its background, or copy the picture's pixels to
    // its top-left corner; it shows them until the next call, however often the
    // window is covered.
    virtual void ClearNative() = 0;
    virtual void DrawNative(const Picture& picture) = 0;  // never empty
    void BoundsChanged() override;
    AccessibleRole KindRole() const override;

    // The surface's mouse, positions in pixels on the surface. While a button is
    // held the surface keeps the mouse, so moves and the release may lie
    // outside it. A click is a left press and a left release over the surface.
    void SurfaceMouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void SurfaceMouseMove(std::int16_t buttons, std::int16_t shift, float x, float y);
    void SurfaceMouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    // The second press of a double click: DblClick, and its release is no click.
    void SurfaceDoubleClick();
    // The mouse was taken away (a menu, another program): no click follows.
    void SurfaceCaptureLost() { m_LeftPressed = false; }

private:
    void Resized();

    const UserControlClass& m_Class;
    float m_Width;  // twips
    float m_Height;
    bool m_LeftPressed = false;
    UserControlChildren m_Children;
    std::unique_ptr<IUserControl> m_Instance;
    std::vector<std::string> m_ChangedProperties;
};

}  // namespace ponderix::platform::core
