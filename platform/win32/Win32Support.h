// What the backend's sources share: windows.h as they include it, text
// conversion, GDI helpers, the window procedure that routes every message of
// our own window classes to the C++ object behind the window, and the
// desktop's resources that every window of the program uses.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
// windows.h maps CreateWindow to CreateWindowW; the interface has a method of
// that name, which must stay one name in every source of the program.
#undef CreateWindow

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/Bitmap.h"
#include "platform/Colour.h"
#include "platform/Layout.h"
#include "platform/Units.h"

namespace ponderix::platform::win32::detail {

// ---------------------------------------------------------------------------
// Text

// UTF-8 to UTF-16 and back; an invalid UTF-8 sequence becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// UTF-8 to the ANSI code page, for the A entry points.
std::string ToAnsi(std::string_view utf8);
// What DrawText shows as the caption: a carriage return alone breaks a line as a
// carriage return with a line feed does.
std::wstring ToDrawnText(std::string_view utf8);

// Throws PlatformError with the text and the last Win32 error.
[[noreturn]] void Fail(std::string_view what);

// ---------------------------------------------------------------------------
// Handles and GDI

template <typename Handle>
std::uintptr_t ToWindowHandle(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}
inline HWND ToHwnd(std::uintptr_t handle) {
    return reinterpret_cast<HWND>(handle);
}

// The client point of a mouse message.
inline POINT PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

COLORREF ToColorRef(const Colour& colour);
RECT ToRect(const WholePixelRect& rect);

// A function of a loaded DLL, by its name, as the type it has; null when the
// DLL (or null) has none.
template <typename Function>
Function ProcAddress(HMODULE dll, const char* name) {
    const FARPROC found = dll != nullptr ? GetProcAddress(dll, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// Copies a picture's pixels to the device at x, y, at natural size.
void DrawBitmap(HDC dc, int x, int y, const Bitmap& bitmap);

// ---------------------------------------------------------------------------
// Display scaling. The program declares itself aware of each screen's scale
// (its manifest): from Windows 10 1607 on each window is told the dots per
// inch of its own screen; before, one resolution serves the whole desktop.
// The calls of the newer systems are looked up when first needed.

inline constexpr UINT StandardDpi = 96;

// The dots per inch of the screen the window lies on.
UINT DpiOfWindow(HWND hwnd);
// Those of the desktop, for a window not made yet.
UINT DesktopDpi();
// A system metric (GetSystemMetrics) at that resolution.
int MetricAt(int index, UINT dpi);
// The outer rectangle of a window whose inner area is `rect`, at that resolution.
void AdjustForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// A distance in pixels at 96 dots per inch, at that resolution.
inline int ScaledPixels(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(StandardDpi));
}

// GDI objects (fonts, brushes) made once for their key and kept until the
// backend goes.
template <typename Key, typename Handle>
class GdiCache {
public:
    GdiCache() = default;
    ~GdiCache() {
        for (const auto& [key, handle] : m_Made) {
            DeleteObject(handle);
        }
    }
    GdiCache(const GdiCache&) = delete;
    GdiCache& operator=(const GdiCache&) = delete;

    // The object of the key; `make` makes it the first time (null when it cannot).
    template <typename Make>
    Handle Get(const Key& key, Make make) {
        if (const auto found = m_Made.find(key); found != m_Made.end()) {
            return found->second;
        }
        Handle made = make();
        if (made == nullptr) {
            Fail("a font or brush could not be made");
        }
        m_Made.emplace(key, made);
        return made;
    }

private:
    std::map<Key, Handle> m_Made;
};

// ---------------------------------------------------------------------------
// Window procedures

// The C++ side of a native window of one of our classes. The window procedure
// finds it in GWLP_USERDATA (set from CreateWindowEx's parameter) and lets no
// exception out.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

LRESULT CALLBACK TargetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Runs a call into the program from a window procedure: a failure ends the call
// (as it ends any handler) and goes no further.
template <typename Call>
void Guarded(Call&& call) noexcept {
    try {
        call();
    } catch (...) {  // NOLINT(bugprone-empty-catch): a window procedure ends here
    }
}

// The class names of the backend's windows.
inline constexpr const wchar_t* TopWindowClass = L"Ponderix.Window";
inline constexpr const wchar_t* FrameClass = L"Ponderix.Frame";
inline constexpr const wchar_t* SurfaceClass = L"Ponderix.UserControl";
inline constexpr const wchar_t* MessageWindowClass = L"Ponderix.Messages";

// ---------------------------------------------------------------------------
// The desktop's resources, made once by the window system (Win32WindowSystem.cpp)

class Desktop final : public MessageTarget {
public:
    // Registers the window classes; throws PlatformError when the desktop refuses.
    Desktop();
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    HINSTANCE Instance() const { return m_Instance; }
    // The font of the face, size (points, made pixels at that resolution),
    // weight and underline; a solid brush.
    HFONT Font(const FontSpec& font, UINT dpi);
    HBRUSH Brush(COLORREF colour);
    HCURSOR HandCursor() const { return m_HandCursor; }
    // The program's icon at the size of a title bar (small) or of the task
    // switcher, at that resolution.
    HICON Icon(AssetName asset, bool small, UINT dpi) const;

    // Timers tick as WM_TIMER of the message window, one identifier each.
    UINT_PTR AddTimer(std::function<void()> elapsed);
    void RemoveTimer(UINT_PTR id);
    HWND MessageWindow() const { return m_MessageWindow; }

    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HINSTANCE m_Instance;
    HWND m_MessageWindow = nullptr;
    HCURSOR m_HandCursor = nullptr;
    GdiCache<std::tuple<std::string, int, int, bool>, HFONT> m_Fonts;
    GdiCache<COLORREF, HBRUSH> m_Brushes;
    std::map<UINT_PTR, std::function<void()>> m_Timers;
    UINT_PTR m_NextTimerId = 1;
};

}  // namespace ponderix::platform::win32::detail
