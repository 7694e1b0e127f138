// A window of the program as every backend shares it. Built from its layout
// table, it owns the window's controls, finds them by name and index, keeps
// their containment and stacking, the tab chain with its option groups, the
// focus when the window opens, the owner and what the owner's minimising and
// unloading do to the windows it owns, and the order in which a window goes.
//
// A backend derives from it and supplies what is native: the top-level window
// (the protected hooks), one control class per kind (the Make* calls), and
// tells the core what the desktop did (ClosedByUser, InnerSizeChanged, ...).
// Its constructor ends with Build(), and its destructor begins with Dispose().
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/core/CoreControls.h"

namespace ponderix::platform::core {

class WindowSystemBase;
class UserControlHost;

class Window : public IWindow {
public:
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // IWindow
    IControl& Control(std::string_view name, int index = NoIndex) final;
    float ScaleWidth() const final;
    float ScaleHeight() const final;
    void Show(IWindow* owner = nullptr) final;
    void Minimise() final;
    void Unload() final;
    bool IsLoaded() const final { return m_Loaded; }
    WindowHandle Handle() const final;

    const WindowSpec& Layout() const { return m_Layout; }
    WindowSystemBase& System() const { return m_System; }
    Window* Owner() const { return m_Owner; }
    bool IsShown() const { return m_Shown; }
    bool IsMinimised() const { return m_Minimised; }
    // Throws PlatformError once the window is unloaded, naming the control.
    void CheckLoaded(std::string_view key) const;

    // The window's unit: pixels of its screen, 15 twips each at 96 dots per inch.
    float TwipsPerPixel() const override { return 15.0f; }
    float TwipsToPixels(float twips) const { return twips / TwipsPerPixel(); }
    float PixelsToTwips(float pixels) const { return pixels * TwipsPerPixel(); }

    struct Entry {
        const ControlSpec* Row = nullptr;
        std::unique_ptr<IControl> Control;
        VisibleControl* Visible = nullptr;  // null for timers and picture boxes
    };
    // Every control, in layout order.
    const std::vector<Entry>& Entries() const { return m_Entries; }
    // The visible controls of one container ("" is the window), topmost first.
    std::vector<VisibleControl*> Stacking(std::string_view container) const;
    void BringToFront(VisibleControl& control);

    // The controls that Tab visits, in order.
    const std::vector<VisibleControl*>& TabChain() const { return m_TabChain; }
    // Moves the keyboard focus along the tab chain from the focused control. Tab
    // enters a group of option buttons at its selected one (at its first while
    // none is) and leaves it at the next control; a text box reached so has its
    // whole text selected.
    void FocusNext(bool backwards);
    // The focus to the first control of the tab chain that can take it.
    void FocusFirst();
    // The control with the keyboard focus, if any.
    VisibleControl* Focused() const;

protected:
    Window(WindowSystemBase& system, const WindowSpec& layout);

    // Makes every control of the layout, stacks them, and loads the user controls.
    // On a failure the window is disposed of and the error passes on.
    void Build();
    // Goes as Unload goes (owned windows first) but raises no event, then
    // destroys the controls. Idempotent.
    void Dispose();

    // The native side of each kind, made for the row; the container's native
    // side (a frame's) is made first.
    virtual std::unique_ptr<Label> MakeLabel(const ControlArgs& args) = 0;
    virtual std::unique_ptr<TextBox> MakeTextBox(const ControlArgs& args) = 0;
    virtual std::unique_ptr<ListBox> MakeListBox(const ControlArgs& args) = 0;
    virtual std::unique_ptr<OptionButton> MakeOptionButton(const ControlArgs& args) = 0;
    virtual std::unique_ptr<Frame> MakeFrame(const ControlArgs& args) = 0;
    virtual std::unique_ptr<Image> MakeImage(const ControlArgs& args) = 0;
    virtual std::unique_ptr<UserControlHost> MakeUserControl(
        const ControlArgs& args, const UserControlClass& userControlClass) = 0;

    // The native window.
    virtual WindowHandle NativeHandle() const = 0;
    // The inner (client) area's size, in pixels.
    virtual WholePixelRect InnerRect() const = 0;
    // The whole window on the screen, and the screen's area for windows (task
    // bars left out) where the window, or else its owner, lies.
    virtual WholePixelRect OuterRect() const = 0;
    virtual WholePixelRect WorkArea() const = 0;
    virtual void MoveTo(int left, int top) = 0;
    // Before the first show: stays above the owner, with no task-bar entry.
    virtual void MakeOwned(Window& owner) = 0;
    // Shows the window and makes it active; again: restored if minimised.
    virtual void ShowNative(bool again) = 0;
    virtual void MinimiseNative() = 0;
    // The owner was minimised (hidden) or restored (back as it was).
    virtual void HideWithOwner(bool hidden) = 0;
    // Destroys the native window and its controls' (later, if a handler of
    // theirs is running); the controls were detached first.
    virtual void DestroyNative() = 0;

    // What the desktop did.
    void ClosedByUser() { Unload(); }
    void InnerSizeChanged();
    void MinimisedChanged(bool minimised);
    // The native window went without Unload (the desktop destroyed it).
    void DestroyedByDesktop();
    // The window went to a screen of another scale: TwipsPerPixel() answers
    // for the new one already, and was `oldTwipsPerPixel` before. Every
    // control keeps its place and size in twips (a place the program gave it
    // included), so its pixels change with the screen's; the window's own
    // size follows as the backend resizes it (InnerSizeChanged).
    void RescaleControls(float oldTwipsPerPixel);

private:
    std::unique_ptr<IControl> MakeControl(const ControlSpec& row);
    void Place();
    // Stops the timers, detaches the controls and destroys the native window
    // (unless the desktop did).
    void Shut(bool destroyNative);
    bool CanFocus(const VisibleControl& control) const;
    void FocusControl(VisibleControl& control);

    WindowSystemBase& m_System;
    const WindowSpec& m_Layout;
    std::vector<Entry> m_Entries;
    std::map<std::string, std::size_t, std::less<>> m_Index;
    std::vector<VisibleControl*> m_Stack;  // every visible control, topmost first
    std::vector<VisibleControl*> m_TabChain;
    Window* m_Owner = nullptr;
    float m_ScaleWidth = 0;
    float m_ScaleHeight = 0;
    bool m_Loaded = true;
    bool m_Shown = false;
    bool m_Minimised = false;
};

}  // namespace ponderix::platform::core
