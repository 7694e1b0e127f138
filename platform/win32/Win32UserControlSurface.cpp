#include "platform/win32/Win32UserControlSurface.h"

#include <algorithm>

#include "platform/core/CoreWindow.h"
#include "platform/core/FocusCue.h"

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

std::size_t Area(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// What an empty face shows.
std::uint32_t Background() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return 0xFF000000U | (GetRValue(face) << 16U) | (GetGValue(face) << 8U) | GetBValue(face);
}

// The pixels of `from` over the top-left corner of `to`, as far as both reach.
void CopyTopLeft(const Bitmap& from, Bitmap& to) {
    const auto width = static_cast<std::size_t>(std::min(from.Width, to.Width));
    for (int y = 0; y < std::min(from.Height, to.Height); ++y) {
        std::copy_n(from.Pixels.begin() + static_cast<std::ptrdiff_t>(Area(from.Width, y)), width,
                    to.Pixels.begin() + static_cast<std::ptrdiff_t>(Area(to.Width, y)));
    }
}

}  // namespace

Win32UserControlSurface::Win32UserControlSurface(const core::ControlArgs& args,
                                                 const UserControlClass& userControlClass)
    : Windowed(args, userControlClass) {
    m_Hwnd = CreateChild(args, SurfaceClass, "", 0, 0, static_cast<MessageTarget*>(this));
}

void Win32UserControlSurface::Place(const WholePixelRect& rect) {
    Windowed::Place(rect);
    const int width = std::max(rect.Width, 1);
    const int height = std::max(rect.Height, 1);
    if (width != m_Face.Width || height != m_Face.Height) {
        Bitmap face{width, height, std::vector<std::uint32_t>(Area(width, height), Background())};
        CopyTopLeft(m_Face, face);
        m_Face = std::move(face);
    }
}

void Win32UserControlSurface::ClearNative() {
    std::fill(m_Face.Pixels.begin(), m_Face.Pixels.end(), Background());
    InvalidateRect(m_Hwnd, nullptr, FALSE);
}

// At natural size from the top-left corner: on this screen the set drawn for
// it, on the pixels the natural size covers here (the surface's own, when the
// surface has the picture's size, which a picture button always takes).
void Win32UserControlSurface::DrawNative(const Picture& picture) {
    const float scale = ScaleOf(m_Window);
    const WholePixelRect area = PictureArea(picture, scale, m_Bounds.Left, m_Bounds.Top);
    CopyTopLeft(m_Shown.Pixels(picture, scale, area.Width, area.Height), m_Face);
    InvalidateRect(m_Hwnd, nullptr, FALSE);
}

void Win32UserControlSurface::KeyboardCuesShown() {
    if (m_Hwnd != nullptr) {
        InvalidateRect(m_Hwnd, nullptr, FALSE);
    }
}

void Win32UserControlSurface::PaintFace(HDC dc) const {
    if (ShowsFocusCue()) {
        DrawBitmap(dc, 0, 0, WithFocusCue(m_Face));
    } else {
        DrawBitmap(dc, 0, 0, m_Face);
    }
}

// ---------------------------------------------------------------------------
// The surface's messages

void Win32UserControlSurface::OnButtonDown(std::int16_t button, WPARAM keys, LPARAM point) {
    // Held, the mouse stays with the surface: moves outside still come here.
    SetCapture(m_Hwnd);
    const POINT at = PointOf(point);
    Guarded([&] {
        SurfaceMouseDown(button, ShiftOf(keys), static_cast<float>(at.x), static_cast<float>(at.y));
    });
}

void Win32UserControlSurface::OnButtonUp(std::int16_t button, WPARAM keys, LPARAM point) {
    if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == m_Hwnd) {
        m_ReleasingCapture = true;
        ReleaseCapture();
        m_ReleasingCapture = false;
    }
    const POINT at = PointOf(point);
    Guarded([&] {
        SurfaceMouseUp(button, ShiftOf(keys), static_cast<float>(at.x), static_cast<float>(at.y));
    });
}

LRESULT Win32UserControlSurface::HandleMessage(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            PaintFace(BeginPaint(hwnd, &paint));
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintFace(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETOBJECT:
            if (const LRESULT object = AnswerGetObject(hwnd, wParam, lParam, m_Accessible)) {
                return object;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case PressMessage:
            // A screen reader's press, posted.
            if (m_Window.IsLoaded()) {
                Guarded([this] { m_Window.Press(*this); });
            }
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
            SetCapture(hwnd);
            Guarded([this] { SurfaceDoubleClick(); });
            return 0;
        case WM_MOUSEMOVE: {
            const POINT at = PointOf(lParam);
            Guarded([&] {
                SurfaceMouseMove(ButtonsOf(wParam), ShiftOf(wParam), static_cast<float>(at.x),
                                 static_cast<float>(at.y));
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
            // Taken away (a menu, another program): no click follows.
            if (!m_ReleasingCapture && reinterpret_cast<HWND>(lParam) != hwnd) {
                SurfaceCaptureLost();
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace ponderix::platform::win32::detail
