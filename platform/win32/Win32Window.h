// The backend's top-level window, and what it shares with frames: a container
// is a native window that paints its background and the windowless controls it
// holds (labels, images) in the core's stacking order, takes the mouse for
// them, answers screen readers for them (Win32Accessible.h), and routes its
// windowed children's notifications (WM_COMMAND, WM_CTLCOLOR*) to their
// objects.
#pragma once

#include <memory>
#include <string_view>

#include "platform/Picture.h"
#include "platform/core/CoreWindow.h"
#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Support.h"

namespace ponderix::platform::win32 {
class Win32WindowSystem;
}

namespace ponderix::platform::win32::detail {

// A label or an image, which its container paints and gives the mouse to.
class Windowless {
public:
    virtual ~Windowless() = default;
    // Draws the control over its container, clipped to its rectangle.
    virtual void Paint(HDC dc) = 0;
    virtual void ClickByUser() = 0;
};

// A control that is a native window of a system class (EDIT, LISTBOX, BUTTON):
// it tells its container of the user's doing and asks it for its colours.
class NativeChild {
public:
    virtual ~NativeChild() = default;
    virtual void OnCommand(WORD /*code*/) {}
    virtual HBRUSH OnControlColour(HDC /*dc*/) { return nullptr; }
};

class Container : public MessageTarget {
public:
    // The container of the window's controls named `name` ("" for the window),
    // which is the control `self` (null for the window).
    Container(core::Window& window, std::string_view name, core::VisibleControl* self)
        : m_Window(window),
          m_Name(name),
          m_Accessible(std::make_shared<AccessibleAnchor>(
              AccessibleAnchor{&window, self, true, std::string(name)})) {}

    virtual HWND ContainerHandle() const = 0;
    // Repaints part of the container, or all of it.
    void Invalidate(const WholePixelRect& rect) const;
    void InvalidateAll() const;
    // The container goes: what screen readers still hold of it answers so.
    void CutAccessible() const { m_Accessible->Cut(); }

protected:
    // Painting, the windowless controls' mouse and cursor, and the windowed
    // children's notifications. True when the message was handled.
    bool HandleContainerMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result);
    // The container's own face: its colour, picture or border.
    virtual void PaintBackground(HDC dc, const RECT& client) const = 0;

    // The topmost shown windowless control at a client point.
    core::VisibleControl* WindowlessAt(POINT point) const;

private:
    void Paint(HDC dc, const RECT& client) const;

    core::Window& m_Window;
    std::string_view m_Name;
    core::VisibleControl* m_Pressed = nullptr;
    std::shared_ptr<AccessibleAnchor> m_Accessible;
};

class Win32Window final : public core::Window, public Container {
public:
    Win32Window(Win32WindowSystem& system, const WindowSpec& layout);
    ~Win32Window() override;

    HWND ContainerHandle() const override { return m_Hwnd; }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The dots per inch of the window's screen, and its scale (1 at 96).
    UINT Dpi() const { return m_Dpi; }
    float Scale() const { return static_cast<float>(m_Dpi) / static_cast<float>(StandardDpi); }
    // The window's unit is a pixel of its screen.
    float TwipsPerPixel() const override { return 1440.0f / static_cast<float>(m_Dpi); }

protected:
    std::unique_ptr<core::Label> MakeLabel(const core::ControlArgs& args) override;
    std::unique_ptr<core::TextBox> MakeTextBox(const core::ControlArgs& args) override;
    std::unique_ptr<core::ListBox> MakeListBox(const core::ControlArgs& args) override;
    std::unique_ptr<core::OptionButton> MakeOptionButton(const core::ControlArgs& args) override;
    std::unique_ptr<core::Frame> MakeFrame(const core::ControlArgs& args) override;
    std::unique_ptr<core::Image> MakeImage(const core::ControlArgs& args) override;
    std::unique_ptr<core::UserControlHost> MakeUserControl(
        const core::ControlArgs& args, const UserControlClass& userControlClass) override;

    WindowHandle NativeHandle() const override { return ToWindowHandle(m_Hwnd); }
    WholePixelRect InnerRect() const override;
    WholePixelRect OuterRect() const override;
    WholePixelRect WorkArea() const override;
    void MoveTo(int left, int top) override;
    void MakeOwned(core::Window& owner) override;
    void ShowNative(bool again) override;
    void MinimiseNative() override;
    void HideWithOwner(bool hidden) override;
    void DestroyNative() override;
    void AnnounceNative(const std::string& text) override;
    ScreenPoint InnerOrigin() const override;

private:
    void PaintBackground(HDC dc, const RECT& client) const override;
    // The window goes: what screen readers still hold of it and of its
    // announcement answers so.
    void ForgetAccessible();
    // A window that appears under the resting cursor tells the control there,
    // as a move of the mouse would.
    void MoveUnderCursor() const;
    // The outer size for the layout's inner size at the window's resolution.
    SIZE OuterSize() const;
    // Corrects the outer size until the inner size is the layout's.
    void FitInnerSize();
    void SetIcons();
    // The window went to a screen of that resolution: its controls keep
    // their places in twips, and it takes its size there at the place the
    // desktop suggests.
    void ScreenChanged(UINT dpi, const RECT& suggested);
    // Whether a press at that point of the screen lies on the bare
    // background of a window without a frame, which then moves the window.
    bool IsBareBackground(POINT screen) const;

    Desktop& m_Desktop;
    HWND m_Hwnd = nullptr;
    UINT m_Dpi = StandardDpi;
    DWORD m_Style = 0;
    DWORD m_ExStyle = 0;
    Picture m_Picture;
    mutable ScaledPicture m_Shown;  // the background on this screen
    HWND m_SavedFocus = nullptr;
    // What the window tells screen readers of itself, made at the first.
    HWND m_Announcement = nullptr;
    std::shared_ptr<AccessibleAnchor> m_AnnouncementAnchor;
};

// The dots per inch and scale of the screen a window of this backend lies on.
UINT DpiOf(const core::Window& window);
float ScaleOf(const core::Window& window);

// The desktop's resources of the window system that made the window.
Desktop& DesktopOf(const core::Window& window);
// The container that a control of that row lies in: its frame, or the window.
Container& ContainerOf(const core::ControlArgs& args);

}  // namespace ponderix::platform::win32::detail
