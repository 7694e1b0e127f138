// The objects behind the backend's windows and controls.
//
// A window (TopWindow) and a frame are containers: each owns a native window,
// paints its background and its windowless controls (labels, images) in its
// WM_PAINT, and routes its windowed children's notifications (WM_COMMAND,
// WM_CTLCOLOR*) to their objects. Windowed controls are native child windows
// of their container; a user control has a surface window of its own class.
//
// Lifetimes: the program owns each IWindow; the window owns its controls, which
// outlive their native windows (Unload destroys those, and the objects report
// themselves unloaded). Nothing here deletes an object from inside one of its
// own messages.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HiddenPictureBox.h"
#include "platform/LayoutSupport.h"
#include "platform/PictureCache.h"
#include "platform/UserControlChildren.h"
#include "platform/UserControlRegistry.h"
#include "platform/WindowSystem.h"
#include "platform/win32/Native.h"
#include "platform/win32/RegistrySettings.h"

namespace ponderix::platform::win32::detail {

class System;
class TopWindow;
class Container;

// ---------------------------------------------------------------------------
// What every control of a window has

class ControlCore {
public:
    ControlCore(TopWindow& window, Container* container, const ControlSpec& row, std::string key);
    virtual ~ControlCore() = default;
    ControlCore(const ControlCore&) = delete;
    ControlCore& operator=(const ControlCore&) = delete;

    const ControlSpec& Row() const { return m_Row; }
    const std::string& Key() const { return m_Key; }
    TopWindow& Window() const { return m_Window; }

    // The control's native window, if it has one while its window is loaded.
    virtual HWND Native() const { return nullptr; }
    // The native windows are gone with their window.
    virtual void Detach() {}
    // The window unloads: whatever runs by itself stops.
    virtual void Stop() {}

    // Notifications of a windowed child, routed by its container.
    virtual void OnCommand(WORD /*code*/) {}
    virtual HBRUSH OnControlColour(HDC /*dc*/) { return nullptr; }
    // Whether Tab may move the focus to the control now.
    virtual bool CanTakeFocus() const { return false; }

protected:
    // Throws PlatformError once the window is unloaded.
    void CheckLoaded() const;
    System& Sys() const;

    TopWindow& m_Window;
    Container* m_Container;
    const ControlSpec& m_Row;
    std::string m_Key;
};

// A label or an image: drawn by its container, below the container's windowed
// controls; it takes the container's mouse where it is the topmost one.
class Windowless : public ControlCore {
public:
    Windowless(TopWindow& window, Container& container, const ControlSpec& row);

    virtual void Paint(HDC dc) = 0;
    virtual void RaiseClick() = 0;

    WholePixelRect PixelBounds() const { return ToWholePixels(m_Bounds); }
    bool IsShown() const { return m_Visible; }
    bool IsEnabled() const { return m_Enabled; }
    CursorShape Cursor() const { return m_Row.Cursor; }

protected:
    void Repaint() const;
    void ChangeBounds(const PixelRect& bounds);

    PixelRect m_Bounds;
    bool m_Visible;
    bool m_Enabled;
};

template <typename Interface>
class WindowlessControl : public Interface, public Windowless {
public:
    using Windowless::Windowless;

    PixelRect Bounds() const override { return m_Bounds; }
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override {
        CheckLoaded();
        ChangeBounds({left, top, width.value_or(m_Bounds.Width), height.value_or(m_Bounds.Height)});
    }
    bool Visible() const override { return m_Visible; }
    void SetVisible(bool visible) override {
        CheckLoaded();
        m_Visible = visible;
        Repaint();
    }
    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override {
        CheckLoaded();
        m_Enabled = enabled;
        Repaint();
    }
    void BringToFront() override;  // below, once Container is known
};

// A control with a native child window.
class Windowed : public ControlCore {
public:
    Windowed(TopWindow& window, Container& container, const ControlSpec& row);

    HWND Native() const override { return m_Hwnd; }
    void Detach() override { m_Hwnd = nullptr; }

protected:
    // Creates the native window in the container, at the control's rectangle,
    // visible and enabled as the layout says.
    void CreateNative(const wchar_t* windowClass, const std::wstring& text, DWORD style,
                      DWORD exStyle, MessageTarget* target = nullptr);
    void PlaceNative() const;
    void SetFont(HFONT font) const;
    // The brush for WM_CTLCOLOR*: the layout's colours, or the system's.
    HBRUSH Colours(HDC dc, COLORREF defaultBack) const;

    HWND m_Hwnd = nullptr;
    PixelRect m_Bounds;
    bool m_Visible;
    bool m_Enabled;
};

template <typename Interface>
class WindowedControl : public Interface, public Windowed {
public:
    using Windowed::Windowed;

    PixelRect Bounds() const override { return m_Bounds; }
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override {
        CheckLoaded();
        m_Bounds = {left, top, width.value_or(m_Bounds.Width), height.value_or(m_Bounds.Height)};
        PlaceNative();
    }
    bool Visible() const override { return m_Visible; }
    void SetVisible(bool visible) override {
        CheckLoaded();
        m_Visible = visible;
        ShowWindow(m_Hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override {
        CheckLoaded();
        m_Enabled = enabled;
        EnableWindow(m_Hwnd, enabled ? TRUE : FALSE);
    }
    void BringToFront() override {
        CheckLoaded();
        SetWindowPos(m_Hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
};

// ---------------------------------------------------------------------------
// Containers

class Container {
public:
    explicit Container(TopWindow& window) : m_Host(window) {}
    virtual ~Container() = default;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    virtual HWND ContainerHandle() const = 0;

    void AddWindowless(Windowless& control) { m_Windowless.push_back(&control); }
    void BringWindowlessToFront(Windowless& control);
    void Invalidate(const WholePixelRect& rect) const;

protected:
    // Painting, the windowless controls' mouse and cursor, and the windowed
    // children's notifications. True when the message was handled.
    bool HandleContainerMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result);
    // The container's own face: its colour, picture or border.
    virtual void PaintBackground(HDC dc, const RECT& client) const = 0;

    TopWindow& m_Host;

private:
    void Paint(HDC dc, const RECT& client) const;
    // The topmost visible windowless control at a client point.
    Windowless* WindowlessAt(POINT point) const;

    std::vector<Windowless*> m_Windowless;  // topmost first
    Windowless* m_Pressed = nullptr;
};

template <typename Interface>
void WindowlessControl<Interface>::BringToFront() {
    CheckLoaded();
    m_Container->BringWindowlessToFront(*this);
}

class TopWindow final : public IWindow, public Container, public MessageTarget {
public:
    TopWindow(System& system, const WindowSpec& layout);
    ~TopWindow() override;

    // IWindow
    IControl& Control(std::string_view name, int index = NoIndex) override;
    float ScaleWidth() const override { return m_ScaleWidth; }
    float ScaleHeight() const override { return m_ScaleHeight; }
    void Show(IWindow* owner = nullptr) override;
    void Minimise() override;
    void Unload() override;
    bool IsLoaded() const override { return m_Loaded; }
    WindowHandle Handle() const override { return ToWindowHandle(m_Hwnd); }

    HWND ContainerHandle() const override { return m_Hwnd; }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    System& Sys() const { return m_System; }
    const WindowSpec& Layout() const { return m_Layout; }
    TopWindow* Owner() const { return m_OwnerWindow; }
    void ForgetOwner() { m_OwnerWindow = nullptr; }
    void CheckLoaded() const;
    ControlCore* ControlOf(HWND child) const;
    // The option buttons of a container: one group.
    std::vector<class OptionButton*> OptionsIn(const Container* container) const;
    // Moves the focus along the tab order from the focused control; false when
    // the message does not concern this window.
    bool HandleTab(const MSG& message);

private:
    void Build();
    std::unique_ptr<IControl> MakeControl(const ControlSpec& row, Container& container);
    Container& ContainerNamed(std::string_view name);
    void PlaceOnFirstShow(const TopWindow* owner) const;
    void FocusFirst() const;
    void StopControls();
    void DetachControls();
    void DestroyQuietly();
    void PaintBackground(HDC dc, const RECT& client) const override;

    System& m_System;
    const WindowSpec& m_Layout;
    HWND m_Hwnd = nullptr;
    Picture m_Picture;
    std::vector<std::unique_ptr<IControl>> m_Controls;  // layout order
    std::map<std::string, IControl*, std::less<>> m_ByKey;
    std::map<HWND, ControlCore*> m_ByHandle;
    std::vector<ControlCore*> m_TabOrder;
    TopWindow* m_OwnerWindow = nullptr;
    HWND m_SavedFocus = nullptr;
    float m_ScaleWidth = 0;
    float m_ScaleHeight = 0;
    bool m_Loaded = true;
    bool m_Shown = false;
    bool m_Minimised = false;
};

// ---------------------------------------------------------------------------
// Controls

class Label final : public WindowlessControl<ILabel> {
public:
    Label(TopWindow& window, Container& container, const ControlSpec& row);

    std::string Caption() const override { return m_Caption; }
    void SetCaption(std::string_view caption) override;
    float FontSize() const override { return m_Points; }
    void SetFontSize(float points) override;
    Colour ForeColour() const override { return m_ForeColour; }
    void SetForeColour(Colour colour) override;

    void Paint(HDC dc) override;
    void RaiseClick() override { Click.Raise(); }

private:
    HFONT Font() const;
    int BorderWidth() const;
    void FitToText();

    std::string m_Caption;
    std::wstring m_Drawn;
    float m_Points;
    Colour m_ForeColour;
};

class Image final : public WindowlessControl<IImage> {
public:
    Image(TopWindow& window, Container& container, const ControlSpec& row);

    void Paint(HDC dc) override;
    void RaiseClick() override { Click.Raise(); }

private:
    Picture m_Picture;
};

class TextBox final : public WindowedControl<ITextBox> {
public:
    TextBox(TopWindow& window, Container& container, const ControlSpec& row);

    std::string Text() const override;
    void SetText(std::string_view text) override;

    HBRUSH OnControlColour(HDC dc) override;
    bool CanTakeFocus() const override;

private:
    // The flat border: a black line in a non-client frame of our own, the
    // same on every desktop (an EDIT draws WS_BORDER its own way).
    static LRESULT CALLBACK FlatBorderProc(HWND hwnd, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept;

    WNDPROC m_EditProc = nullptr;
};

class ListBox final : public WindowedControl<IListBox> {
public:
    ListBox(TopWindow& window, Container& container, const ControlSpec& row);

    void AddItem(std::string_view text) override;
    int ListCount() const override;
    std::string List(int row) const override;
    int ListIndex() const override;
    void SetListIndex(int row) override;

    HBRUSH OnControlColour(HDC dc) override;
    bool CanTakeFocus() const override;
};

class OptionButton final : public WindowedControl<IOptionButton> {
public:
    OptionButton(TopWindow& window, Container& container, const ControlSpec& row);

    bool Value() const override { return m_Value; }
    void SetValue(bool selected) override;

    void OnCommand(WORD code) override;
    HBRUSH OnControlColour(HDC dc) override;
    bool CanTakeFocus() const override;

    const Container* Group() const { return m_Container; }
    void Deselect();

private:
    bool m_Value;
};

class Frame final : public WindowedControl<IFrame>, public Container, public MessageTarget {
public:
    Frame(TopWindow& window, Container& container, const ControlSpec& row);

    HWND ContainerHandle() const override { return m_Hwnd; }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintBackground(HDC dc, const RECT& client) const override;
};

class Timer final : public ITimer, public ControlCore {
public:
    Timer(TopWindow& window, const ControlSpec& row, std::string key);
    ~Timer() override;

    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override;
    int Interval() const override { return m_Interval; }
    void SetInterval(int milliseconds) override;

    void Stop() override;
    // A WM_TIMER of this timer: raises Tick, unless a tick is still running.
    void Fire();

private:
    void Start();

    UINT_PTR m_Id;
    bool m_Enabled;
    int m_Interval;
    bool m_Firing = false;
};

// A user control's surface: a native window of its own that shows a backing
// bitmap, and passes its mouse to the control's instance.
class UserControlSurface final : public IUserControlHost,
                                 public IUserControlSite,
                                 public Windowed,
                                 public MessageTarget {
public:
    UserControlSurface(TopWindow& window, Container& container, const ControlSpec& row,
                       const UserControlClass& userControlClass);
    ~UserControlSurface() override;

    // Once the whole window exists: the saved properties, then the layout's size.
    void Load();

    // IUserControlHost
    IUserControl& Instance() override { return *m_Instance; }
    PixelRect Bounds() const override;
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override;
    bool Visible() const override { return m_Visible; }
    void SetVisible(bool visible) override;
    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override;
    void BringToFront() override;

    // IUserControlSite
    IWindowSystem& System() override;
    void Clear() override;
    void DrawPicture(const Picture& picture) override;
    float Width() const override { return m_Width; }
    float Height() const override { return m_Height; }
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;
    WindowHandle Handle() const override;
    void PropertyChanged(std::string_view key) override;
    ITimer& Timer(std::string_view name) override;
    IPictureBox& PictureBox(std::string_view name) override;

    void Stop() override;
    void Detach() override;
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Resized();
    void ApplySize();
    void Show(HDC dc) const;
    void OnButtonDown(std::int16_t button, WPARAM keys, LPARAM point);
    void OnButtonUp(std::int16_t button, WPARAM keys, LPARAM point);

    float m_Width;  // twips
    float m_Height;
    HDC m_Backing = nullptr;
    HBITMAP m_BackingBitmap = nullptr;
    HGDIOBJ m_InitialBitmap = nullptr;
    SIZE m_BackingSize{0, 0};
    bool m_LeftPressed = false;
    UserControlChildren m_Children;
    std::unique_ptr<IUserControl> m_Instance;
    std::vector<std::string> m_ChangedProperties;
};

// ---------------------------------------------------------------------------
// Services

class PopupMenu final : public IPopupMenu {
public:
    PopupMenu();
    ~PopupMenu() override;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    void InsertItem(unsigned position, unsigned id, std::string_view text) override;
    unsigned Track(ScreenPoint at, const IWindow& owner) override;

    HMENU Menu() const { return m_Menu; }

private:
    HMENU m_Menu;
};

// The state of the window system: classes, pictures, fonts, windows, timers.
class System final : public MessageTarget {
public:
    explicit System(IWindowSystem& facade);
    ~System() override;
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    IWindowSystem& Facade() const { return m_Facade; }
    HINSTANCE Instance() const { return m_Instance; }
    FontCache& Fonts() { return m_Fonts; }
    BrushCache& Brushes() { return m_Brushes; }
    HCURSOR HandCursor() const { return m_HandCursor; }
    HICON Icon(AssetName asset, bool small) const;
    RegistrySettings& Settings() { return m_Settings; }

    UserControlRegistry& Classes() { return m_Classes; }
    Picture LoadPicture(AssetName asset) { return m_Pictures.Load(asset); }

    void AddWindow(TopWindow* window) { m_Windows.push_back(window); }
    void RemoveWindow(TopWindow* window);
    const std::vector<TopWindow*>& Windows() const { return m_Windows; }
    bool AnyLoaded() const;
    // Ends the message loop when no loaded window is left.
    void WindowGone() const;

    UINT_PTR AddTimer(detail::Timer* timer);
    void RemoveTimer(UINT_PTR id) { m_Timers.erase(id); }
    HWND TimerWindow() const { return m_MessageWindow; }

    // One message of the loop: keyboard navigation, then the window's own.
    void Dispatch(MSG& message) const;

    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The bitmap resource of that name, decoded.
    Bitmap DecodePicture(std::string_view file) const;

    IWindowSystem& m_Facade;
    HINSTANCE m_Instance;
    HWND m_MessageWindow = nullptr;
    HCURSOR m_HandCursor = nullptr;
    FontCache m_Fonts;
    BrushCache m_Brushes;
    RegistrySettings m_Settings;
    UserControlRegistry m_Classes;
    PictureCache m_Pictures;
    std::vector<TopWindow*> m_Windows;  // alive, loaded or not
    std::map<UINT_PTR, detail::Timer*> m_Timers;
    UINT_PTR m_NextTimerId = 1;
};

}  // namespace ponderix::platform::win32::detail
