// A user control on its own surface window. What the control draws goes into
// a backing bitmap, and WM_PAINT shows that bitmap: the face stays as drawn
// however often the window is covered and uncovered, although the control
// itself draws only when its state changes.
#include <algorithm>

#include "platform/win32/Backend.h"

namespace ponderix::platform::win32::detail {
namespace {

// The platform's convention: 1 left, 2 right, 4 middle, added up.
std::int16_t ButtonsOf(WPARAM keys) {
    return static_cast<std::int16_t>(((keys & MK_LBUTTON) != 0 ? 1 : 0) |
                                     ((keys & MK_RBUTTON) != 0 ? 2 : 0) |
                                     ((keys & MK_MBUTTON) != 0 ? 4 : 0));
}

// 1 Shift, 2 Ctrl, 4 Alt; a mouse message does not carry Alt, the keyboard does.
std::int16_t ShiftOf(WPARAM keys) {
    return static_cast<std::int16_t>(((keys & MK_SHIFT) != 0 ? 1 : 0) |
                                     ((keys & MK_CONTROL) != 0 ? 2 : 0) |
                                     (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

float TwipsOf(LONG pixels) {
    return PixelsToTwips(static_cast<float>(pixels));
}

}  // namespace

UserControlSurface::UserControlSurface(TopWindow& window, Container& container,
                                       const ControlSpec& row,
                                       const UserControlClass& userControlClass)
    : Windowed(window, container, row),
      m_Width(static_cast<float>(userControlClass.Design->Width)),
      m_Height(static_cast<float>(userControlClass.Design->Height)) {
    // Made at the design's size; Load gives it the layout's.
    m_Bounds.Width = TwipsToPixels(m_Width);
    m_Bounds.Height = TwipsToPixels(m_Height);
    CreateNative(SurfaceClass, L"", 0, 0, static_cast<MessageTarget*>(this));
    try {
        m_Backing = CreateCompatibleDC(nullptr);
        if (m_Backing == nullptr) {
            Fail("the surface of '" + m_Key + "' could not be made");
        }
        ApplySize();
        m_Children.Build(*userControlClass.Design, m_Key,
                         [&window](const ControlSpec& child, std::string key) {
                             return std::make_unique<detail::Timer>(window, child, std::move(key));
                         });
        m_Instance = userControlClass.Create(*this);
    } catch (...) {
        // The window must not reach an object that was never made.
        DestroyWindow(m_Hwnd);
        m_Hwnd = nullptr;
        if (m_Backing != nullptr) {
            SelectObject(m_Backing, m_InitialBitmap);
            DeleteDC(m_Backing);
        }
        if (m_BackingBitmap != nullptr) {
            DeleteObject(m_BackingBitmap);
        }
        throw;
    }
}

UserControlSurface::~UserControlSurface() {
    m_Instance.reset();  // before the children it uses
    m_Children.Clear();
    if (m_Hwnd != nullptr) {
        DestroyWindow(m_Hwnd);
    }
    SelectObject(m_Backing, m_InitialBitmap);
    DeleteDC(m_Backing);
    DeleteObject(m_BackingBitmap);
}

void UserControlSurface::Load() {
    m_Instance->UserControl_ReadProperties(SavedProperties(m_Row, Sys().Facade()));
    m_Width = static_cast<float>(m_Row.Rect.Width);
    m_Height = static_cast<float>(m_Row.Rect.Height);
    ApplySize();
    m_Instance->UserControl_Resize();
}

void UserControlSurface::ApplySize() {
    m_Bounds.Width = TwipsToPixels(m_Width);
    m_Bounds.Height = TwipsToPixels(m_Height);
    if (m_Hwnd != nullptr) {
        PlaceNative();
    }
    const WholePixelRect rect = ToWholePixels(m_Bounds);
    const SIZE wanted{std::max(rect.Width, 1), std::max(rect.Height, 1)};
    if (wanted.cx == m_BackingSize.cx && wanted.cy == m_BackingSize.cy) {
        return;
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, wanted.cx, wanted.cy);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) {
        Fail("the surface of '" + m_Key + "' could not be resized");
    }
    // The new bitmap starts as the old one, on the background colour.
    HDC scratch = CreateCompatibleDC(nullptr);
    HGDIOBJ initial = SelectObject(scratch, bitmap);
    const RECT all{0, 0, wanted.cx, wanted.cy};
    FillRect(scratch, &all, Sys().Brushes().Get(GetSysColor(COLOR_BTNFACE)));
    if (m_BackingBitmap != nullptr) {
        BitBlt(scratch, 0, 0, std::min(wanted.cx, m_BackingSize.cx),
               std::min(wanted.cy, m_BackingSize.cy), m_Backing, 0, 0, SRCCOPY);
    }
    SelectObject(scratch, initial);
    DeleteDC(scratch);
    HGDIOBJ previous = SelectObject(m_Backing, bitmap);
    if (m_BackingBitmap == nullptr) {
        m_InitialBitmap = previous;
    } else {
        DeleteObject(m_BackingBitmap);
    }
    m_BackingBitmap = bitmap;
    m_BackingSize = wanted;
}

void UserControlSurface::Resized() {
    ApplySize();
    m_Instance->UserControl_Resize();
}

// ---------------------------------------------------------------------------
// IUserControlHost

PixelRect UserControlSurface::Bounds() const {
    return {m_Bounds.Left, m_Bounds.Top, TwipsToPixels(m_Width), TwipsToPixels(m_Height)};
}

void UserControlSurface::Move(float left, float top, std::optional<float> width,
                              std::optional<float> height) {
    CheckLoaded();
    m_Bounds.Left = left;
    m_Bounds.Top = top;
    const float newWidth = width ? PixelsToTwips(*width) : m_Width;
    const float newHeight = height ? PixelsToTwips(*height) : m_Height;
    const bool resized = newWidth != m_Width || newHeight != m_Height;
    m_Width = newWidth;
    m_Height = newHeight;
    ApplySize();
    if (resized) {
        m_Instance->UserControl_Resize();
    }
}

void UserControlSurface::SetVisible(bool visible) {
    CheckLoaded();
    m_Visible = visible;
    ShowWindow(m_Hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void UserControlSurface::SetEnabled(bool enabled) {
    CheckLoaded();
    m_Enabled = enabled;
    EnableWindow(m_Hwnd, enabled ? TRUE : FALSE);
}

void UserControlSurface::BringToFront() {
    CheckLoaded();
    SetWindowPos(m_Hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// IUserControlSite

IWindowSystem& UserControlSurface::System() {
    return Sys().Facade();
}

void UserControlSurface::Clear() {
    CheckLoaded();
    const RECT all{0, 0, m_BackingSize.cx, m_BackingSize.cy};
    FillRect(m_Backing, &all, Sys().Brushes().Get(GetSysColor(COLOR_BTNFACE)));
    InvalidateRect(m_Hwnd, nullptr, FALSE);
}

void UserControlSurface::DrawPicture(const Picture& picture) {
    CheckLoaded();
    DrawBitmap(m_Backing, 0, 0, picture.Pixels());  // an empty picture throws here
    InvalidateRect(m_Hwnd, nullptr, FALSE);
}

void UserControlSurface::SetWidth(float twips) {
    CheckLoaded();
    if (twips != m_Width) {
        m_Width = twips;
        Resized();  // the control hears of it from within this call
    }
}

void UserControlSurface::SetHeight(float twips) {
    CheckLoaded();
    if (twips != m_Height) {
        m_Height = twips;
        Resized();
    }
}

WindowHandle UserControlSurface::Handle() const {
    CheckLoaded();
    return ToWindowHandle(m_Hwnd);
}

void UserControlSurface::PropertyChanged(std::string_view key) {
    CheckLoaded();
    m_ChangedProperties.emplace_back(key);
}

ITimer& UserControlSurface::Timer(std::string_view name) {
    return m_Children.Timer(name);
}

IPictureBox& UserControlSurface::PictureBox(std::string_view name) {
    return m_Children.PictureBox(name);
}

void UserControlSurface::Stop() {
    m_Children.ForEachTimer([](ITimer& timer) { dynamic_cast<detail::Timer&>(timer).Stop(); });
}

void UserControlSurface::Detach() {
    m_Hwnd = nullptr;
    m_LeftPressed = false;
}

// ---------------------------------------------------------------------------
// The surface's messages

void UserControlSurface::Show(HDC dc) const {
    BitBlt(dc, 0, 0, m_BackingSize.cx, m_BackingSize.cy, m_Backing, 0, 0, SRCCOPY);
}

void UserControlSurface::OnButtonDown(std::int16_t button, WPARAM keys, LPARAM point) {
    // Held, the mouse stays with the surface: moves outside still come here.
    SetCapture(m_Hwnd);
    if (button == 1) {
        m_LeftPressed = true;
    }
    const POINT at = PointOf(point);
    Guarded([&] {
        m_Instance->UserControl_MouseDown(button, ShiftOf(keys), TwipsOf(at.x), TwipsOf(at.y));
    });
}

void UserControlSurface::OnButtonUp(std::int16_t button, WPARAM keys, LPARAM point) {
    const POINT at = PointOf(point);
    RECT client{};
    GetClientRect(m_Hwnd, &client);
    // A click is a left press and a left release over the surface.
    const bool click = button == 1 && m_LeftPressed && PtInRect(&client, at);
    if (button == 1) {
        m_LeftPressed = false;
    }
    if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == m_Hwnd) {
        ReleaseCapture();
    }
    Guarded([&] {
        m_Instance->UserControl_MouseUp(button, ShiftOf(keys), TwipsOf(at.x), TwipsOf(at.y));
    });
    if (click && m_Window.IsLoaded()) {
        Guarded([this] { m_Instance->UserControl_Click(); });
    }
}

LRESULT UserControlSurface::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(hwnd, &paint);
            Show(dc);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Show(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(1, wParam, lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            OnButtonDown(2, wParam, lParam);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            OnButtonDown(4, wParam, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click: DblClick instead of MouseDown,
            // and its release makes no second Click.
            SetCapture(hwnd);
            m_LeftPressed = false;
            Guarded([this] { m_Instance->UserControl_DblClick(); });
            return 0;
        case WM_MOUSEMOVE: {
            const POINT at = PointOf(lParam);
            Guarded([&] {
                m_Instance->UserControl_MouseMove(ButtonsOf(wParam), ShiftOf(wParam), TwipsOf(at.x),
                                                  TwipsOf(at.y));
            });
            return 0;
        }
        case WM_LBUTTONUP:
            OnButtonUp(1, wParam, lParam);
            return 0;
        case WM_RBUTTONUP:
            OnButtonUp(2, wParam, lParam);
            return 0;
        case WM_MBUTTONUP:
            OnButtonUp(4, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) {
                m_LeftPressed = false;  // taken away (a menu, another program): no click
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace ponderix::platform::win32::detail
