// A window of the program as every backend shares it. Built from its layout
// table, it owns the window's controls, finds them by name and index, keeps
// their containment and stacking, the tab chain with its option groups, the
// focus when the window opens, what the keyboard does beyond a control's own
// keys (default button, Escape, focus cues), what screen readers are told of
// each control, the owner and what the owner's minimising and unloading do to
// the windows it owns, and the order in which a window goes.
//
// A backend derives from it and supplies what is native: the top-level window
// (the protected hooks), one control class per kind (the Make* calls), and
// tells the core what the desktop did (ClosedByUser, InnerSizeChanged,
// KeyPressed, ...).
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
    ScreenPoint PopupPoint() final;
    void Announce(std::string_view text) final;

    const WindowSpec& Layout() const { return m_Layout; }
    WindowSystemBase& System() const { return m_System; }
    Window* Owner() const { return m_Owner; }
    bool IsShown() const { return m_Shown; }
    bool IsMinimised() const { return m_Minimised; }
    // Throws PlatformError once the window is unloaded, naming the control.
    void CheckLoaded(std::string_view key) const;

    // The window's unit: pixels of its screen, 15 twips each at 96 dots per inch.
    float TwipsPerPixel() const override { return platform::TwipsPerPixel; }
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
    // An arrow key on an option button: the focus goes to the next button of
    // its group (the previous one for Left and Up), round the group, and
    // selects it as a click would. False, and nothing done, when the focus is
    // not on an option button: the arrow is the focused control's own.
    bool MoveInGroup(bool backwards);

    // A key pressed in the window (a KeyCode, not a repeat) that the focused
    // control did not take for itself; Space only counts on a button. Raises
    // KeyDown, then: Return clicks the focused button, or else the default
    // button; Space clicks the focused button; Escape closes a window whose
    // layout says so. True when the window used the key: the backend passes it
    // on to nothing else. The window may be gone when it returns.
    bool KeyPressed(std::int16_t keyCode, std::int16_t shift);
    // Clicks a button or a link as the keyboard or a screen reader does: its
    // Click alone, no mouse notification, and a popup it opens meanwhile
    // opens at the control (PopupPoint). False when it has no click.
    bool Press(VisibleControl& control);
    // The control whose Press (keyboard, screen reader) is being handled, or
    // null while no Press is.
    const VisibleControl* Pressing() const { return m_Pressing; }
    // The reachable default button, if any.
    VisibleControl* DefaultButton() const;
    // Focus cues show once the keyboard has been used in the window (Tab, or
    // a key that reached the window), and from then on.
    bool KeyboardCues() const { return m_KeyboardCues; }

    // What a screen reader says of the window: a window or a dialog, named
    // by its caption.
    AccessibleRole Role() const;
    std::string AccessibleName() const { return std::string(m_Layout.Caption); }
    // The control filed under the key ("lblCaptions(0)"), if it shows.
    VisibleControl* FindVisible(std::string_view key) const;
    // A label's caption was set: screen readers hear of the names it gives.
    void CaptionChanged(VisibleControl& label);
    // Where a control lies on the screen.
    WholePixelRect ScreenRect(const VisibleControl& control) const;

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
    // Tells screen readers the text as the desktop's own notifications are.
    virtual void AnnounceNative(const std::string& text) = 0;
    // The top-left corner of the inner area on the screen; by default that of
    // the whole window, which is right for a window without a frame.
    virtual ScreenPoint InnerOrigin() const;

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
    void ShowKeyboardCues();

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
    bool m_KeyboardCues = false;
    VisibleControl* m_Pressing = nullptr;  // the control Press is clicking
};

// The control being pressed by the keyboard or a screen reader in a window of
// the core, or null: a popup menu it opens opens on its first item.
inline const VisibleControl* PressingIn(const IWindow& window) {
    const auto* core = dynamic_cast<const Window*>(&window);
    return core != nullptr ? core->Pressing() : nullptr;
}

}  // namespace ponderix::platform::core
