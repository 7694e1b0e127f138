// The fake's window: its place on the virtual screen, what is shown, and what
// the user does to it.
#pragma once

#include <memory>
#include <string_view>

#include "platform/core/CoreWindow.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

class FakeUserControlHost;

// The fake's window, for tests: its state on the virtual screen and what the
// user does to it.
class FakeWindow final : public core::Window {
public:
    FakeWindow(FakeWindowSystem& system, const WindowSpec& layout);
    ~FakeWindow() override;

    // The fake window behind a window of the fake window system.
    static FakeWindow& Of(IWindow& window) { return dynamic_cast<FakeWindow&>(window); }

    FakeWindowSystem& System() const { return m_System; }
    // Shown, not minimised, and no owner up the chain minimised.
    bool IsVisibleOnScreen() const;
    int ShowCount() const { return m_ShowCount; }
    WholePixelRect ScreenRect() const { return OuterRect(); }

    // What a user does: restore from the task bar, close with the close box,
    // change the inner size (a window whose border allows it).
    void Restore() { MinimisedChanged(false); }
    void CloseByUser() { ClosedByUser(); }
    void SetInnerSize(int width, int height);
    // The user moves the window to a screen of that scale: the window keeps
    // its size in twips, and so does every control in it.
    void MoveToScreenOfScale(float scale);

    float TwipsPerPixel() const override { return m_TwipsPerPixel; }

    // The user clicks a label, an image or an option button.
    void ClickControl(std::string_view name, int index = NoIndex);

    FakeUserControlHost& UserControlHost(std::string_view name, int index = NoIndex);
    // The deepest windowed control (or the window) under a point of the screen.
    WindowHandle HitTest(ScreenPoint point) const;
    // Screen position of a container's origin ("" = the window's inner area).
    ScreenPoint ContainerOrigin(std::string_view container) const;

    // The control with the keyboard focus, for the fake's controls.
    const core::VisibleControl* FocusedControl() const { return m_Focus; }
    void SetFocusedControl(const core::VisibleControl* control) { m_Focus = control; }

protected:
    std::unique_ptr<core::Label> MakeLabel(const core::ControlArgs& args) override;
    std::unique_ptr<core::TextBox> MakeTextBox(const core::ControlArgs& args) override;
    std::unique_ptr<core::ListBox> MakeListBox(const core::ControlArgs& args) override;
    std::unique_ptr<core::OptionButton> MakeOptionButton(const core::ControlArgs& args) override;
    std::unique_ptr<core::Frame> MakeFrame(const core::ControlArgs& args) override;
    std::unique_ptr<core::Image> MakeImage(const core::ControlArgs& args) override;
    std::unique_ptr<core::UserControlHost> MakeUserControl(
        const core::ControlArgs& args, const UserControlClass& userControlClass) override;

    WindowHandle NativeHandle() const override { return m_Handle; }
    WholePixelRect InnerRect() const override { return {0, 0, m_InnerWidth, m_InnerHeight}; }
    WholePixelRect OuterRect() const override {
        return {m_Origin.X, m_Origin.Y, m_InnerWidth, m_InnerHeight};
    }
    WholePixelRect WorkArea() const override {
        return {0, 0, FakeWindowSystem::ScreenWidth, FakeWindowSystem::ScreenHeight};
    }
    void MoveTo(int left, int top) override { m_Origin = {left, top}; }
    void MakeOwned(core::Window& /*owner*/) override {}
    void ShowNative(bool again) override;
    void MinimiseNative() override { MinimisedChanged(true); }
    void HideWithOwner(bool /*hidden*/) override {}
    void DestroyNative() override { m_System.RemoveFromScreen(this); }
    void AnnounceNative(const std::string& text) override {
        m_System.AccessibleEvent("announce " + text);
    }

private:

    FakeWindowSystem& m_System;
    WindowHandle m_Handle;
    float m_TwipsPerPixel;
    int m_InnerWidth;
    int m_InnerHeight;
    ScreenPoint m_Origin;
    int m_ShowCount = 0;
    const core::VisibleControl* m_Focus = nullptr;
};

}  // namespace ponderix::platform::fake
