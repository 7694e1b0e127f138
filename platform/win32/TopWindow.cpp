// Windows and the containers they share with frames.
#include <algorithm>
#include <exception>

#include "platform/win32/Backend.h"

namespace ponderix::platform::win32::detail {
namespace {

bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::ListBox ||
           kind == ControlKind::OptionButton;
}

HWND NativeOf(const std::unique_ptr<IControl>& control) {
    const auto* core = dynamic_cast<const ControlCore*>(control.get());
    return core != nullptr ? core->Native() : nullptr;
}

// Paints through a bitmap of the client's size, so that a label never flickers
// over the background drawn under it.
class BufferedPaint {
public:
    BufferedPaint(HWND hwnd, const RECT& client)
        : m_Hwnd(hwnd), m_Screen(BeginPaint(hwnd, &m_Paint)) {
        m_Memory = CreateCompatibleDC(m_Screen);
        m_Bitmap = CreateCompatibleBitmap(m_Screen, std::max<LONG>(client.right, 1),
                                          std::max<LONG>(client.bottom, 1));
        if (m_Memory != nullptr && m_Bitmap != nullptr) {
            m_Initial = SelectObject(m_Memory, m_Bitmap);
        }
    }
    ~BufferedPaint() {
        if (m_Initial != nullptr) {
            const RECT& area = m_Paint.rcPaint;
            BitBlt(m_Screen, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   m_Memory, area.left, area.top, SRCCOPY);
            SelectObject(m_Memory, m_Initial);
        }
        if (m_Bitmap != nullptr) {
            DeleteObject(m_Bitmap);
        }
        if (m_Memory != nullptr) {
            DeleteDC(m_Memory);
        }
        EndPaint(m_Hwnd, &m_Paint);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;

    // Where to draw: the buffer, or the screen when no buffer could be made.
    HDC Target() const { return m_Initial != nullptr ? m_Memory : m_Screen; }

private:
    HWND m_Hwnd;
    PAINTSTRUCT m_Paint{};
    HDC m_Screen;
    HDC m_Memory = nullptr;
    HBITMAP m_Bitmap = nullptr;
    HGDIOBJ m_Initial = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------
// Containers

void Container::BringWindowlessToFront(Windowless& control) {
    const auto found = std::find(m_Windowless.begin(), m_Windowless.end(), &control);
    if (found == m_Windowless.end()) {
        return;
    }
    std::rotate(m_Windowless.begin(), found, found + 1);
    Invalidate(control.PixelBounds());
}

void Container::Invalidate(const WholePixelRect& rect) const {
    if (HWND hwnd = ContainerHandle()) {
        const RECT area = ToRect(rect);
        InvalidateRect(hwnd, &area, FALSE);
    }
}

Windowless* Container::WindowlessAt(POINT point) const {
    for (Windowless* control : m_Windowless) {
        const RECT area = ToRect(control->PixelBounds());
        if (control->IsShown() && PtInRect(&area, point)) {
            return control;
        }
    }
    return nullptr;
}

void Container::Paint(HDC dc, const RECT& client) const {
    PaintBackground(dc, client);
    // From the bottom-most up; each is clipped to its own rectangle.
    for (auto control = m_Windowless.rbegin(); control != m_Windowless.rend(); ++control) {
        if (!(*control)->IsShown()) {
            continue;
        }
        const RECT area = ToRect((*control)->PixelBounds());
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        Guarded([&] { (*control)->Paint(dc); });
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
            const BufferedPaint paint(hwnd, client);
            Paint(paint.Target(), client);
            return true;
        }
        case WM_PRINTCLIENT: {
            RECT client{};
            GetClientRect(hwnd, &client);
            Paint(reinterpret_cast<HDC>(wParam), client);
            return true;
        }
        case WM_COMMAND:
            if (ControlCore* control = m_Host.ControlOf(reinterpret_cast<HWND>(lParam))) {
                Guarded([&] { control->OnCommand(HIWORD(wParam)); });
                return true;
            }
            return false;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (ControlCore* control = m_Host.ControlOf(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = control->OnControlColour(reinterpret_cast<HDC>(wParam))) {
                    result = reinterpret_cast<LRESULT>(brush);
                    return true;
                }
            }
            return false;
        case WM_LBUTTONDOWN:
            m_Pressed = WindowlessAt(PointOf(lParam));
            if (m_Pressed != nullptr && !m_Pressed->IsEnabled()) {
                m_Pressed = nullptr;
            }
            if (m_Pressed != nullptr) {
                SetCapture(hwnd);
            }
            return true;
        case WM_LBUTTONUP: {
            // A click is a press and a release on the same control.
            Windowless* pressed = m_Pressed;
            m_Pressed = nullptr;
            if (GetCapture() == hwnd) {
                ReleaseCapture();
            }
            if (pressed != nullptr && WindowlessAt(PointOf(lParam)) == pressed) {
                Guarded([pressed] { pressed->RaiseClick(); });
            }
            return true;
        }
        case WM_CAPTURECHANGED:
            m_Pressed = nullptr;
            return true;
        case WM_SETCURSOR: {
            if (LOWORD(lParam) != HTCLIENT) {
                return false;
            }
            const auto over = reinterpret_cast<HWND>(wParam);
            if (over == hwnd) {
                POINT cursor{};
                GetCursorPos(&cursor);
                ScreenToClient(hwnd, &cursor);
                const Windowless* control = WindowlessAt(cursor);
                const bool hand = control != nullptr && control->Cursor() == CursorShape::Hand;
                SetCursor(hand ? m_Host.Sys().HandCursor() : LoadCursorW(nullptr, IDC_ARROW));
                result = TRUE;
                return true;
            }
            const ControlCore* control = m_Host.ControlOf(over);
            if (control != nullptr && control->Row().Cursor == CursorShape::Hand) {
                SetCursor(m_Host.Sys().HandCursor());
                result = TRUE;
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Windows

TopWindow::TopWindow(System& system, const WindowSpec& layout)
    : Container(*this), m_System(system), m_Layout(layout) {
    CheckLayout(layout);
    system.Classes().CheckClassesOf(layout);

    const bool dialog = layout.Border == WindowBorder::FixedDialog;
    // A dialog frame has a caption and a close box only: no minimise or
    // maximise box, no sizing border. A borderless window is all client area.
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | (dialog ? WS_CAPTION | WS_SYSMENU : 0);
    const DWORD exStyle = WS_EX_CONTROLPARENT | (dialog ? WS_EX_DLGMODALFRAME : 0) |
                          (layout.ShowInTaskBar ? WS_EX_APPWINDOW : 0);
    const int innerWidth = NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerWidth)));
    const int innerHeight = NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerHeight)));
    RECT outer{0, 0, innerWidth, innerHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const std::wstring caption = Widen(layout.Caption);
    m_Hwnd = CreateWindowExW(exStyle, TopWindowClass, caption.c_str(), style, 0, 0,
                             outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                             system.Instance(), static_cast<MessageTarget*>(this));
    if (m_Hwnd == nullptr) {
        Fail("the window '" + std::string(layout.Name) + "' could not be made");
    }
    m_System.AddWindow(this);
    try {
        if (!layout.Picture.File.empty()) {
            m_Picture = system.LoadPicture(layout.Picture);
        }
        if (HICON big = system.Icon(layout.Icon, false)) {
            SendMessageW(m_Hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        }
        if (HICON small = system.Icon(layout.Icon, true)) {
            SendMessageW(m_Hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
        }
        Build();
    } catch (...) {
        DestroyQuietly();
        m_System.RemoveWindow(this);
        throw;
    }
    RECT client{};
    GetClientRect(m_Hwnd, &client);
    m_ScaleWidth = static_cast<float>(client.right);
    m_ScaleHeight = static_cast<float>(client.bottom);
}

TopWindow::~TopWindow() {
    if (m_Loaded) {
        // Goes as Unload goes, owned windows first, but raises no event of its
        // own: nobody may handle one of an object that is being destroyed.
        for (TopWindow* window : std::vector<TopWindow*>(m_System.Windows())) {
            const auto& alive = m_System.Windows();
            if (window->Owner() == this &&
                std::find(alive.begin(), alive.end(), window) != alive.end()) {
                Guarded([window] { window->Unload(); });
            }
        }
        DestroyQuietly();
        m_System.RemoveWindow(this);
        m_System.WindowGone();
        return;
    }
    m_System.RemoveWindow(this);
}

void TopWindow::Build() {
    for (const ControlSpec& row : m_Layout.Controls) {
        Container& container =
            row.Container.empty() ? static_cast<Container&>(*this) : ContainerNamed(row.Container);
        std::unique_ptr<IControl> control = MakeControl(row, container);
        if (auto* core = dynamic_cast<ControlCore*>(control.get()); core && core->Native()) {
            m_ByHandle[core->Native()] = core;
        }
        if (auto* windowless = dynamic_cast<Windowless*>(control.get())) {
            container.AddWindowless(*windowless);  // rows run from the topmost down
        }
        m_ByKey[ControlKey(row.Name, row.Index)] = control.get();
        m_Controls.push_back(std::move(control));
    }
    // Child windows stack in row order: each row goes below the ones before it.
    for (const auto& control : m_Controls) {
        if (HWND native = NativeOf(control)) {
            SetWindowPos(native, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    for (const ControlSpec* row : TabOrder(m_Layout)) {
        auto* core = dynamic_cast<ControlCore*>(m_ByKey.at(ControlKey(row->Name, row->Index)));
        if (core != nullptr && core->Native() != nullptr && TakesFocus(row->Kind)) {
            HWND native = core->Native();
            SetWindowLongPtrW(native, GWL_STYLE, GetWindowLongPtrW(native, GWL_STYLE) | WS_TABSTOP);
            m_TabOrder.push_back(core);
        }
    }
    // User controls load once the whole window exists, as the window's code
    // may read their pictures and sizes from then on.
    for (const auto& control : m_Controls) {
        if (auto* surface = dynamic_cast<UserControlSurface*>(control.get())) {
            surface->Load();
        }
    }
}

std::unique_ptr<IControl> TopWindow::MakeControl(const ControlSpec& row, Container& container) {
    switch (row.Kind) {
        case ControlKind::Label:
            return std::make_unique<Label>(*this, container, row);
        case ControlKind::TextBox:
            return std::make_unique<TextBox>(*this, container, row);
        case ControlKind::ListBox:
            return std::make_unique<ListBox>(*this, container, row);
        case ControlKind::OptionButton:
            return std::make_unique<OptionButton>(*this, container, row);
        case ControlKind::Frame:
            return std::make_unique<Frame>(*this, container, row);
        case ControlKind::Image:
            return std::make_unique<Image>(*this, container, row);
        case ControlKind::Timer:
            return std::make_unique<Timer>(*this, row, ControlKey(row.Name, row.Index));
        case ControlKind::PictureBox:
            return std::make_unique<HiddenPictureBox>(static_cast<float>(row.Rect.Width),
                                                      static_cast<float>(row.Rect.Height));
        case ControlKind::UserControl:
            return std::make_unique<UserControlSurface>(*this, container, row,
                                                        m_System.Classes().ClassOf(row.ClassId));
    }
    throw PlatformError("unknown control kind");
}

Container& TopWindow::ContainerNamed(std::string_view name) {
    const auto found = m_ByKey.find(name);
    auto* frame = found != m_ByKey.end() ? dynamic_cast<Frame*>(found->second) : nullptr;
    if (frame == nullptr) {
        throw PlatformError("no frame '" + std::string(name) + "'");
    }
    return *frame;
}

IControl& TopWindow::Control(std::string_view name, int index) {
    const auto found = m_ByKey.find(ControlKey(name, index));
    if (found == m_ByKey.end()) {
        throw PlatformError("window '" + std::string(m_Layout.Name) + "' has no control '" +
                            ControlKey(name, index) + "'");
    }
    return *found->second;
}

void TopWindow::CheckLoaded() const {
    if (!m_Loaded) {
        throw PlatformError("window '" + std::string(m_Layout.Name) + "' is unloaded");
    }
}

ControlCore* TopWindow::ControlOf(HWND child) const {
    const auto found = m_ByHandle.find(child);
    return found != m_ByHandle.end() ? found->second : nullptr;
}

std::vector<OptionButton*> TopWindow::OptionsIn(const Container* container) const {
    std::vector<OptionButton*> options;
    for (const auto& control : m_Controls) {
        auto* option = dynamic_cast<OptionButton*>(control.get());
        if (option != nullptr && option->Group() == container) {
            options.push_back(option);
        }
    }
    return options;
}

void TopWindow::PlaceOnFirstShow(const TopWindow* owner) const {
    RECT outer{};
    GetWindowRect(m_Hwnd, &outer);
    const LONG width = outer.right - outer.left;
    const LONG height = outer.bottom - outer.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(
        MonitorFromWindow(owner != nullptr ? owner->m_Hwnd : m_Hwnd, MONITOR_DEFAULTTOPRIMARY),
        &monitor);
    const RECT work = monitor.rcWork;
    RECT around = work;
    if (m_Layout.StartPosition == StartPosition::CentreOwner && owner != nullptr &&
        !IsIconic(owner->m_Hwnd)) {
        GetWindowRect(owner->m_Hwnd, &around);
    }
    LONG left = around.left + (around.right - around.left - width) / 2;
    LONG top = around.top + (around.bottom - around.top - height) / 2;
    // Whole on the work area where it fits, its top-left corner there where not.
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    SetWindowPos(m_Hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopWindow::Show(IWindow* owner) {
    CheckLoaded();
    if (m_Shown) {
        ShowWindow(m_Hwnd, IsIconic(m_Hwnd) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(m_Hwnd);
        BringWindowToTop(m_Hwnd);
        return;
    }
    auto* ownerWindow = dynamic_cast<TopWindow*>(owner);
    if (ownerWindow != nullptr && ownerWindow != this && ownerWindow->IsLoaded()) {
        // Owned: above the owner, hidden while it is minimised, gone with it,
        // and without a task-bar button of its own.
        m_OwnerWindow = ownerWindow;
        SetWindowLongPtrW(m_Hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow->m_Hwnd));
    }
    PlaceOnFirstShow(m_OwnerWindow);
    m_Shown = true;
    RECT client{};
    GetClientRect(m_Hwnd, &client);
    m_ScaleWidth = static_cast<float>(client.right);
    m_ScaleHeight = static_cast<float>(client.bottom);
    // Resize places the controls before anybody sees them; the window shows
    // even when the handler fails, and the failure then goes to the caller.
    std::exception_ptr failure;
    try {
        Resize.Raise();
    } catch (...) {
        failure = std::current_exception();
    }
    if (m_Loaded && m_Hwnd != nullptr) {
        ShowWindow(m_Hwnd, SW_SHOW);
        SetForegroundWindow(m_Hwnd);
        if (HWND focus = GetFocus();
            focus == nullptr || (focus != m_Hwnd && !IsChild(m_Hwnd, focus))) {
            FocusFirst();
        }
        UpdateWindow(m_Hwnd);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TopWindow::Minimise() {
    CheckLoaded();
    ShowWindow(m_Hwnd, SW_MINIMIZE);
}

void TopWindow::Unload() {
    if (!m_Loaded) {
        return;
    }
    std::exception_ptr failure;
    for (TopWindow* window : std::vector<TopWindow*>(m_System.Windows())) {
        // An earlier window's Unloaded handler may have destroyed this one.
        const auto& alive = m_System.Windows();
        if (std::find(alive.begin(), alive.end(), window) == alive.end() ||
            window->Owner() != this) {
            continue;
        }
        try {
            window->Unload();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    if (m_Loaded) {  // unless a handler above unloaded this window already
        m_Loaded = false;
        StopControls();
        DestroyWindow(m_Hwnd);  // and the controls' windows; WM_NCDESTROY detaches them
        m_System.WindowGone();
        Unloaded.Raise();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TopWindow::StopControls() {
    for (const auto& control : m_Controls) {
        if (auto* core = dynamic_cast<ControlCore*>(control.get())) {
            core->Stop();
        }
    }
}

void TopWindow::DetachControls() {
    for (const auto& control : m_Controls) {
        if (auto* core = dynamic_cast<ControlCore*>(control.get())) {
            core->Detach();
        }
    }
    m_ByHandle.clear();
}

void TopWindow::DestroyQuietly() {
    m_Loaded = false;
    StopControls();
    if (m_Hwnd != nullptr) {
        DestroyWindow(m_Hwnd);
    }
}

void TopWindow::FocusFirst() const {
    for (const ControlCore* control : m_TabOrder) {
        if (control->CanTakeFocus()) {
            SetFocus(control->Native());
            return;
        }
    }
    SetFocus(m_Hwnd);
}

bool TopWindow::HandleTab(const MSG& message) {
    if (!m_Loaded || m_Hwnd == nullptr ||
        (message.hwnd != m_Hwnd && !IsChild(m_Hwnd, message.hwnd))) {
        return false;
    }
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
        return false;
    }
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    const auto count = static_cast<std::ptrdiff_t>(m_TabOrder.size());
    if (count == 0) {
        return true;
    }
    HWND focus = GetFocus();
    std::ptrdiff_t at = backwards ? count : -1;
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        HWND native = m_TabOrder[static_cast<std::size_t>(i)]->Native();
        if (native == focus || IsChild(native, focus)) {
            at = i;
            break;
        }
    }
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const std::ptrdiff_t next = ((at + (backwards ? -step : step)) % count + count) % count;
        const ControlCore* control = m_TabOrder[static_cast<std::size_t>(next)];
        if (control->CanTakeFocus()) {
            SetFocus(control->Native());
            break;
        }
    }
    return true;
}

void TopWindow::PaintBackground(HDC dc, const RECT& client) const {
    FillRect(dc, &client, m_System.Brushes().Get(ToColorRef(m_Layout.BackColour)));
    if (!m_Picture.IsEmpty()) {
        DrawBitmap(dc, 0, 0, m_Picture.Pixels());  // natural size, from the top-left corner
    }
}

LRESULT TopWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleContainerMessage(hwnd, message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_CLOSE:
            // The close box unloads the window as Unload does.
            Guarded([this] { Unload(); });
            return 0;
        case WM_SIZE:
            // Owned windows hide while their owner is minimised and come back
            // with it. Windows does so by itself; saying it costs nothing and
            // holds on desktops that do not (Wine).
            if (wParam == SIZE_MINIMIZED && !m_Minimised) {
                m_Minimised = true;
                ShowOwnedPopups(hwnd, FALSE);
            } else if (wParam != SIZE_MINIMIZED && m_Minimised) {
                m_Minimised = false;
                ShowOwnedPopups(hwnd, TRUE);
            }
            if (m_Shown && m_Loaded && wParam != SIZE_MINIMIZED) {
                const auto width = static_cast<float>(LOWORD(lParam));
                const auto height = static_cast<float>(HIWORD(lParam));
                if (width != m_ScaleWidth || height != m_ScaleHeight) {
                    m_ScaleWidth = width;
                    m_ScaleHeight = height;
                    Guarded([this] { Resize.Raise(); });
                }
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
                    FocusFirst();
                }
                return 0;
            }
            break;
        case WM_NCDESTROY: {
            const bool fromOutside = m_Loaded;  // not through Unload: the desktop took it
            m_Hwnd = nullptr;
            DetachControls();
            if (fromOutside) {
                m_Loaded = false;
                StopControls();
                m_System.WindowGone();
                Guarded([this] { Unloaded.Raise(); });
            }
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ponderix::platform::win32::detail
