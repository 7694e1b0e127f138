#include "platform/win32/Win32Support.h"

#include <climits>
#include <string>

#include "platform/Error.h"

namespace ponderix::platform::win32::detail {
namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw PlatformError("a text is too long for the desktop");
    }
    return static_cast<int>(size);
}

std::string ToCodePage(std::wstring_view utf16, UINT codePage) {
    if (utf16.empty()) {
        return {};
    }
    const int length = CheckedLength(utf16.size());
    const int size =
        WideCharToMultiByte(codePage, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        Fail("a text could not be converted");
    }
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, utf16.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length = CheckedLength(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (size <= 0) {
        Fail("a text could not be converted");
    }
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, result.data(), size);
    return result;
}

std::string Narrow(std::wstring_view utf16) {
    return ToCodePage(utf16, CP_UTF8);
}

std::string ToAnsi(std::string_view utf8) {
    return ToCodePage(Widen(utf8), CP_ACP);
}

std::wstring ToDrawnText(std::string_view utf8) {
    const std::wstring text = Widen(utf8);
    std::wstring drawn;
    drawn.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        drawn += text[i];
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n')) {
            drawn += L'\n';
        }
    }
    return drawn;
}

void Fail(std::string_view what) {
    const DWORD error = GetLastError();
    throw PlatformError(std::string(what) + " (Windows error " + std::to_string(error) + ")");
}

COLORREF ToColorRef(const Colour& colour) {
    if (colour.IsSystem()) {
        switch (colour.Role()) {
            case SystemColour::WindowText:
                return GetSysColor(COLOR_WINDOWTEXT);
            case SystemColour::ControlText:
                return GetSysColor(COLOR_BTNTEXT);
            case SystemColour::ButtonFace:
                return GetSysColor(COLOR_BTNFACE);
        }
    }
    return static_cast<COLORREF>(colour.Red() | (colour.Green() << 8) | (colour.Blue() << 16));
}

RECT ToRect(const WholePixelRect& rect) {
    return {rect.Left, rect.Top, rect.Left + rect.Width, rect.Top + rect.Height};
}

void DrawBitmap(HDC dc, int x, int y, const Bitmap& bitmap) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmap.Width;
    info.bmiHeader.biHeight = -bitmap.Height;  // rows from the top, as Bitmap keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;  // 0xAARRGGBB is B, G, R, A in memory
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x, y, bitmap.Width, bitmap.Height, 0, 0, bitmap.Width, bitmap.Height,
                  bitmap.Pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

// ---------------------------------------------------------------------------
// Display scaling

namespace {

// A function of user32 that older systems lack, looked up once; null there.
template <typename Function>
Function User32(const char* name) {
    return ProcAddress<Function>(GetModuleHandleW(L"user32.dll"), name);
}

using DpiForWindowCall = UINT(WINAPI*)(HWND);
using DpiForSystemCall = UINT(WINAPI*)();
using MetricsForDpiCall = int(WINAPI*)(int, UINT);
using AdjustForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

UINT DpiOfWindow(HWND hwnd) {
    static const auto call = User32<DpiForWindowCall>("GetDpiForWindow");
    const UINT dpi = call != nullptr && hwnd != nullptr ? call(hwnd) : 0;
    return dpi != 0 ? dpi : DesktopDpi();
}

UINT DesktopDpi() {
    static const auto call = User32<DpiForSystemCall>("GetDpiForSystem");
    if (call != nullptr) {
        if (const UINT dpi = call(); dpi != 0) {
            return dpi;
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : StandardDpi;
}

int MetricAt(int index, UINT dpi) {
    static const auto call = User32<MetricsForDpiCall>("GetSystemMetricsForDpi");
    return call != nullptr ? call(index, dpi) : GetSystemMetrics(index);
}

void AdjustForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto call = User32<AdjustForDpiCall>("AdjustWindowRectExForDpi");
    if (call == nullptr || !call(&rect, style, FALSE, exStyle, dpi)) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

// ---------------------------------------------------------------------------
// The window procedure of every window class of the backend

LRESULT CALLBACK TargetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        target = static_cast<MessageTarget*>(create->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    }
    if (target == nullptr) {
        // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY.
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    try {
        return target->HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace ponderix::platform::win32::detail
