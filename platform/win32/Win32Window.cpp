// Windows and the containers they share with frames.
#include "platform/win32/Win32Window.h"

#include <algorithm>

#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32UserControlSurface.h"
#include "platform/win32/Win32WindowSystem.h"

namespace ponderix::platform::win32::detail {
namespace {

// Posted to a window once it shows: whatever lies under the cursor hears of it.
constexpr UINT MoveUnderCursorMessage = WM_APP + 1;

// Paints through a bitmap of the client's size, so that a label never flickers
// over the background drawn under it; straight on the screen where no bitmap
// can be made.
template <typename PaintCall>
void PaintBuffered(HWND hwnd, const RECT& client, PaintCall paint) {
    PAINTSTRUCT paintStruct{};
    HDC screen = BeginPaint(hwnd, &paintStruct);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max<LONG>(client.right, 1),
                                            std::max<LONG>(client.bottom, 1));
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ initial = SelectObject(memory, bitmap);
        Guarded([&] { paint(memory); });
        const RECT& area = paintStruct.rcPaint;
        BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, memory,
               area.left, area.top, SRCCOPY);
        SelectObject(memory, initial);
    } else {
        Guarded([&] { paint(screen); });
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(hwnd, &paintStruct);
}

// The control of the window whose native window that is.
core::VisibleControl* ChildOf(const core::Window& window, HWND child) {
    for (const core::Window::Entry& entry : window.Entries()) {
        if (entry.Visible != nullptr && entry.Visible->NativeHandle() == ToWindowHandle(child)) {
            return entry.Visible;
        }
    }
    return nullptr;
}

WholePixelRect ToWholePixelRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Desktop& DesktopOf(const core::Window& window) {
    return static_cast<Win32WindowSystem&>(window.System()).Native();
}

UINT DpiOf(const core::Window& window) {
    return dynamic_cast<const Win32Window&>(window).Dpi();
}

float ScaleOf(const core::Window& window) {
    return dynamic_cast<const Win32Window&>(window).Scale();
}

Container& ContainerOf(const core::ControlArgs& args) {
    if (args.Container != nullptr) {
        return dynamic_cast<Container&>(*args.Container);
    }
    return static_cast<Win32Window&>(args.Window);
}

// ---------------------------------------------------------------------------
// Containers

void Container::Invalidate(const WholePixelRect& rect) const {
    if (HWND hwnd = ContainerHandle()) {
        const RECT area = ToRect(rect);
        InvalidateRect(hwnd, &area, FALSE);
    }
}

void Container::InvalidateAll() const {
    if (HWND hwnd = ContainerHandle()) {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

core::VisibleControl* Container::WindowlessAt(POINT point) const {
    for (core::VisibleControl* control : m_Window.Stacking(m_Name)) {
        const RECT area = ToRect(ToWholePixels(control->Bounds()));
        if (!control->IsWindowed() && control->IsVisible() && PtInRect(&area, point)) {
            return control;
        }
    }
    return nullptr;
}

void Container::Paint(HDC dc, const RECT& client) const {
    PaintBackground(dc, client);
    // From the bottom-most up; each is clipped to its own rectangle.
    const std::vector<core::VisibleControl*> stack = m_Window.Stacking(m_Name);
    for (auto control = stack.rbegin(); control != stack.rend(); ++control) {
        auto* windowless = dynamic_cast<Windowless*>(*control);
        if (windowless == nullptr || !(*control)->IsVisible()) {
            continue;
        }
        const RECT area = ToRect(ToWholePixels((*control)->Bounds()));
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        Guarded([&] { windowless->Paint(dc); });
        RestoreDC(dc, saved);
    }
}

bool Container::HandleContainerMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;  // WM_PAINT paints everything
            return true;
        case WM_PAINT: {
            RECT client{};
            GetClientRect(hwnd, &client);
            PaintBuffered(hwnd, client, [&](HDC dc) { Paint(dc, client); });
            return true;
        }
        case WM_PRINTCLIENT: {
            RECT client{};
            GetClientRect(hwnd, &client);
            Paint(reinterpret_cast<HDC>(wParam), client);
            return true;
        }
        case WM_COMMAND:
            if (auto* child =
                    dynamic_cast<NativeChild*>(ChildOf(m_Window, reinterpret_cast<HWND>(lParam)))) {
                Guarded([&] { child->OnCommand(HIWORD(wParam)); });
                return true;
            }
            return false;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (auto* child =
                    dynamic_cast<NativeChild*>(ChildOf(m_Window, reinterpret_cast<HWND>(lParam)))) {
                result = reinterpret_cast<LRESULT>(
                    child->OnControlColour(reinterpret_cast<HDC>(wParam)));
                return result != 0;
            }
            return false;
        case WM_LBUTTONDOWN: {
            // A disabled control takes the press and does nothing with it.
            core::VisibleControl* under = WindowlessAt(PointOf(lParam));
            m_Pressed = under != nullptr && under->IsEnabled() ? under : nullptr;
            if (m_Pressed != nullptr) {
                SetCapture(hwnd);
            }
            return true;
        }
        case WM_LBUTTONUP: {
            // A click is a press and a release on the same control.
            core::VisibleControl* pressed = m_Pressed;
            m_Pressed = nullptr;
            if (GetCapture() == hwnd) {
                ReleaseCapture();
            }
            if (pressed != nullptr && WindowlessAt(PointOf(lParam)) == pressed) {
                Guarded([pressed] { dynamic_cast<Windowless&>(*pressed).ClickByUser(); });
            }
            return true;
        }
        case WM_CAPTURECHANGED:
            m_Pressed = nullptr;
            return true;
        case WM_GETOBJECT:
            result = AnswerGetObject(hwnd, wParam, lParam, m_Accessible);
            return result != 0;
        case PressMessage: {
            // A screen reader's press of a windowless control, posted.
            const auto& entries = m_Window.Entries();
            if (m_Window.IsLoaded() && wParam < entries.size() &&
                entries[wParam].Visible != nullptr) {
                core::VisibleControl* control = entries[wParam].Visible;
                Guarded([this, control] { m_Window.Press(*control); });
            }
            return true;
        }
        case WM_SETCURSOR: {
            const auto over = reinterpret_cast<HWND>(wParam);
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(hwnd, &cursor);
            const core::VisibleControl* control =
                over == hwnd ? WindowlessAt(cursor) : ChildOf(m_Window, over);
            const bool hand = control != nullptr && control->Row().Cursor == CursorShape::Hand;
            if (LOWORD(lParam) != HTCLIENT || (over != hwnd && !hand)) {
                return false;  // the frame's or the child's own cursor
            }
            SetCursor(hand ? DesktopOf(m_Window).HandCursor() : LoadCursorW(nullptr, IDC_ARROW));
            result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Windows

Win32Window::Win32Window(Win32WindowSystem& system, const WindowSpec& layout)
    : core::Window(system, layout), Container(*this, "", nullptr), m_Desktop(system.Native()) {
    if (!layout.Picture.File.empty()) {
        m_Picture = system.LoadPicture(layout.Picture);
    }
    const bool dialog = layout.Border == WindowBorder::FixedDialog;
    // A dialog frame has a caption and a close box only: no minimise or
    // maximise box, no sizing border. A borderless window is all client area.
    m_Style = WS_POPUP | WS_CLIPCHILDREN | (dialog ? WS_CAPTION | WS_SYSMENU : 0);
    m_ExStyle = WS_EX_CONTROLPARENT | (dialog ? WS_EX_DLGMODALFRAME : 0) |
                (layout.ShowInTaskBar ? WS_EX_APPWINDOW : 0);
    // Made on the desktop's first screen, then sized for the one it is on.
    m_Dpi = DesktopDpi();
    SIZE outer = OuterSize();
    m_Hwnd = CreateWindowExW(m_ExStyle, TopWindowClass, Widen(layout.Caption).c_str(), m_Style, 0,
                             0, outer.cx, outer.cy, nullptr, nullptr, m_Desktop.Instance(),
                             static_cast<MessageTarget*>(this));
    if (m_Hwnd == nullptr) {
        Fail("the window '" + std::string(layout.Name) + "' could not be made");
    }
    if (const UINT dpi = DpiOfWindow(m_Hwnd); dpi != m_Dpi) {
        m_Dpi = dpi;
        outer = OuterSize();
        SetWindowPos(m_Hwnd, nullptr, 0, 0, outer.cx, outer.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitInnerSize();
    SetIcons();
    Build();
    // Tab is ours (the message loop's), but the desktop may read the stops.
    for (const core::VisibleControl* control : TabChain()) {
        HWND native = ToHwnd(control->NativeHandle());
        SetWindowLongPtrW(native, GWL_STYLE, GetWindowLongPtrW(native, GWL_STYLE) | WS_TABSTOP);
    }
}

SIZE Win32Window::OuterSize() const {
    RECT outer{0, 0, NearestPixel(TwipsToPixels(static_cast<float>(Layout().InnerWidth))),
               NearestPixel(TwipsToPixels(static_cast<float>(Layout().InnerHeight)))};
    AdjustForDpi(outer, m_Style, m_ExStyle, m_Dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void Win32Window::SetIcons() {
    if (HICON big = m_Desktop.Icon(Layout().Icon, false, m_Dpi)) {
        SendMessageW(m_Hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    if (HICON small = m_Desktop.Icon(Layout().Icon, true, m_Dpi)) {
        SendMessageW(m_Hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

void Win32Window::ScreenChanged(UINT dpi, const RECT& suggested) {
    if (dpi != 0 && dpi != m_Dpi) {
        const float oldTwipsPerPixel = TwipsPerPixel();
        m_Dpi = dpi;
        Guarded([this] { SetIcons(); });
        Guarded([this, oldTwipsPerPixel] { RescaleControls(oldTwipsPerPixel); });
    }
    // Where the desktop suggests, which keeps the window's place on the new
    // screen, at the inner size the layout gives it there.
    const SIZE outer = OuterSize();
    SetWindowPos(m_Hwnd, nullptr, suggested.left, suggested.top, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitInnerSize();
    RedrawWindow(m_Hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// A desktop may draw the frame at another resolution than the window's (Wine
// draws every frame at the desktop's): the outer size then grows or shrinks
// by what the inner size lacks or has too much.
void Win32Window::FitInnerSize() {
    RECT client{};
    RECT outer{};
    GetClientRect(m_Hwnd, &client);
    GetWindowRect(m_Hwnd, &outer);
    const int width = NearestPixel(TwipsToPixels(static_cast<float>(Layout().InnerWidth)));
    const int height = NearestPixel(TwipsToPixels(static_cast<float>(Layout().InnerHeight)));
    if (client.right != width || client.bottom != height) {
        SetWindowPos(m_Hwnd, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool Win32Window::IsBareBackground(POINT screen) const {
    if (Layout().Border != WindowBorder::None || !IsLoaded()) {
        return false;
    }
    ScreenToClient(m_Hwnd, &screen);
    return WindowlessAt(screen) == nullptr;
}

Win32Window::~Win32Window() {
    Dispose();
    ForgetAccessible();
}

void Win32Window::ForgetAccessible() {
    CutAccessible();
    if (m_AnnouncementAnchor != nullptr) {
        m_AnnouncementAnchor->Cut();
        m_AnnouncementAnchor.reset();
    }
    m_Announcement = nullptr;  // goes with the window
}

std::unique_ptr<core::Label> Win32Window::MakeLabel(const core::ControlArgs& args) {
    return std::make_unique<Win32Label>(args);
}

std::unique_ptr<core::TextBox> Win32Window::MakeTextBox(const core::ControlArgs& args) {
    return std::make_unique<Win32TextBox>(args);
}

std::unique_ptr<core::ListBox> Win32Window::MakeListBox(const core::ControlArgs& args) {
    return std::make_unique<Win32ListBox>(args);
}

std::unique_ptr<core::OptionButton> Win32Window::MakeOptionButton(const core::ControlArgs& args) {
    return std::make_unique<Win32OptionButton>(args);
}

std::unique_ptr<core::Frame> Win32Window::MakeFrame(const core::ControlArgs& args) {
    return std::make_unique<Win32Frame>(args);
}

std::unique_ptr<core::Image> Win32Window::MakeImage(const core::ControlArgs& args) {
    return std::make_unique<Win32Image>(args);
}

std::unique_ptr<core::UserControlHost> Win32Window::MakeUserControl(
    const core::ControlArgs& args, const UserControlClass& userControlClass) {
    return std::make_unique<Win32UserControlSurface>(args, userControlClass);
}

WholePixelRect Win32Window::InnerRect() const {
    RECT client{};
    GetClientRect(m_Hwnd, &client);
    return ToWholePixelRect(client);
}

WholePixelRect Win32Window::OuterRect() const {
    RECT outer{};
    GetWindowRect(m_Hwnd, &outer);
    return ToWholePixelRect(outer);
}

WholePixelRect Win32Window::WorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HWND nearby = Owner() != nullptr ? ToHwnd(Owner()->Handle()) : m_Hwnd;
    GetMonitorInfoW(MonitorFromWindow(nearby, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return ToWholePixelRect(monitor.rcWork);
}

void Win32Window::MoveTo(int left, int top) {
    SetWindowPos(m_Hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Owned: above the owner, hidden while it is minimised, gone with it, and
// without a task-bar button of its own.
void Win32Window::MakeOwned(core::Window& owner) {
    SetWindowLongPtrW(m_Hwnd, GWLP_HWNDPARENT, static_cast<LONG_PTR>(owner.Handle()));
}

void Win32Window::ShowNative(bool again) {
    ShowWindow(m_Hwnd, again && IsIconic(m_Hwnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(m_Hwnd);
    if (again) {
        BringWindowToTop(m_Hwnd);
    } else {
        UpdateWindow(m_Hwnd);
    }
    PostMessageW(m_Hwnd, MoveUnderCursorMessage, 0, 0);
}

void Win32Window::MinimiseNative() {
    ShowWindow(m_Hwnd, SW_MINIMIZE);
}

// Windows hides owned windows by itself; saying it costs nothing and holds on
// desktops that do not (Wine).
void Win32Window::HideWithOwner(bool hidden) {
    ShowWindow(m_Hwnd, hidden ? SW_HIDE : SW_SHOWNA);
}

ScreenPoint Win32Window::InnerOrigin() const {
    POINT origin{0, 0};
    ClientToScreen(m_Hwnd, &origin);
    return {origin.x, origin.y};
}

// A static text of no size that no one sees, in the window: an alert with the
// text, which screen readers read when it is raised.
void Win32Window::AnnounceNative(const std::string& text) {
    if (m_Hwnd == nullptr) {
        return;
    }
    if (m_Announcement == nullptr) {
        m_Announcement = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0,
                                         0, 0, 0, m_Hwnd, nullptr, m_Desktop.Instance(), nullptr);
        if (m_Announcement == nullptr) {
            throw PlatformError("the window '" + std::string(Layout().Name) +
                                "' has no place for what it tells screen readers");
        }
        m_AnnouncementAnchor = std::make_shared<AccessibleAnchor>(
            AccessibleAnchor{this, nullptr, false, {}, ToMsaaRole(AccessibleRole::Notification)});
        AnswerForStandardControl(m_Announcement, m_AnnouncementAnchor);
    }
    SetWindowTextW(m_Announcement, Widen(text).c_str());
    TellAnnouncement(m_Announcement);
}

void Win32Window::DestroyNative() {
    ForgetAccessible();
    if (m_Hwnd != nullptr) {
        DestroyWindow(m_Hwnd);  // and the controls' windows
    }
}

// The desktop sends a move when what lies under a still cursor changes; not
// every desktop does (Wine), so the window says it itself.
void Win32Window::MoveUnderCursor() const {
    POINT cursor{};
    if (m_Hwnd == nullptr || !GetCursorPos(&cursor)) {
        return;
    }
    HWND under = ::WindowFromPoint(cursor);
    if (under == nullptr || (under != m_Hwnd && !IsChild(m_Hwnd, under))) {
        return;
    }
    ScreenToClient(under, &cursor);
    PostMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
}

void Win32Window::PaintBackground(HDC dc, const RECT& client) const {
    FillRect(dc, &client, m_Desktop.Brush(ToColorRef(Layout().BackColour)));
    if (!m_Picture.IsEmpty()) {
        // At natural size from the top-left corner: the set for this screen.
        const WholePixelRect area = PictureArea(m_Picture, Scale(), 0, 0);
        DrawBitmap(dc, area.Left, area.Top,
                   m_Shown.Pixels(m_Picture, Scale(), area.Width, area.Height));
    }
}

LRESULT Win32Window::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleContainerMessage(hwnd, message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_CLOSE:
            Guarded([this] { ClosedByUser(); });
            return 0;
        case WM_SIZE:
            Guarded([this, wParam] { MinimisedChanged(wParam == SIZE_MINIMIZED); });
            if (wParam != SIZE_MINIMIZED) {
                Guarded([this] { InnerSizeChanged(); });
            }
            return 0;
        case WM_ACTIVATE:
            // The focus goes back to the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd, focus)) {
                    m_SavedFocus = focus;
                }
                return 0;
            }
            if (HIWORD(wParam) == 0) {
                if (m_SavedFocus != nullptr && IsChild(hwnd, m_SavedFocus)) {
                    SetFocus(m_SavedFocus);
                } else {
                    Guarded([this] { FocusFirst(); });
                }
                if (HWND focus = GetFocus(); focus != hwnd && !IsChild(hwnd, focus)) {
                    SetFocus(hwnd);  // nothing can take it: the window keeps the keyboard
                }
                return 0;
            }
            break;
        case MoveUnderCursorMessage:
            MoveUnderCursor();
            return 0;
        case WM_DPICHANGED:
            ScreenChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NCHITTEST: {
            // A window without a frame moves by its bare background, as by a
            // title bar; its controls and the banner keep their presses.
            const LRESULT hit = DefWindowProcW(hwnd, message, wParam, lParam);
            const POINT at = PointOf(lParam);
            return hit == HTCLIENT && IsBareBackground(at) ? HTCAPTION : hit;
        }
        case WM_NCDESTROY:
            m_Hwnd = nullptr;
            ForgetAccessible();
            // Unless Unload destroyed it, the desktop took the window.
            Guarded([this] { DestroyedByDesktop(); });
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ponderix::platform::win32::detail
