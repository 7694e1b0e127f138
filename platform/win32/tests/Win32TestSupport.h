// What the backend's tests share: a window system per test, the message
// pump, and reading what the desktop really shows.
#pragma once

#include "platform/win32/Win32Support.h"  // windows.h, as the backend includes it

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/Bitmap.h"
#include "platform/core/LayoutSupport.h"
#include "platform/win32/Win32WindowSystem.h"

namespace ponderix::platform::win32::test {

struct Rgb {
    int Red = 0;
    int Green = 0;
    int Blue = 0;

    static Rgb Of(COLORREF colour) {
        return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    }
    static Rgb Of(std::uint32_t argb) { return {RedOf(argb), GreenOf(argb), BlueOf(argb)}; }

    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) {
        return out << "RGB(" << c.Red << ", " << c.Green << ", " << c.Blue << ")";
    }
};

inline HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}
inline HWND Hwnd(const IControl& control) {
    return Hwnd(NativeHandle(control));
}

// A window's rectangle in its parent's client area (or on the screen).
inline RECT PlacedRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    if (HWND parent = GetAncestor(hwnd, GA_PARENT); parent != GetDesktopWindow()) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

inline SIZE ClientSize(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

// The pixel that a window shows at a client point, once it has painted.
inline Rgb PixelAt(HWND hwnd, int x, int y) {
    UpdateWindow(hwnd);
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return Rgb::Of(colour);
}

inline LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

// What a thread timer does while a modal loop (a menu's, a message box's) runs.
inline std::function<void()> g_DuringModalLoop;

inline void CALLBACK RunDuringModalLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (g_DuringModalLoop) {
        g_DuringModalLoop();
    }
}

// Does what the user does once the next modal loop has started.
inline void DuringModalLoop(std::function<void()> action) {
    g_DuringModalLoop = std::move(action);
    SetTimer(nullptr, 0, 150, &RunDuringModalLoop);
}

// The keys pressed and released, as the keyboard sends them.
inline void PressKeys(std::initializer_list<WORD> keys) {
    for (const WORD key : keys) {
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
}

class Win32Test : public ::testing::Test {
protected:
    Win32Test() : m_System(std::make_unique<Win32WindowSystem>()) {}

    ~Win32Test() override {
        // A test whose last window went leaves the loop's quit request behind.
        MSG message{};
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    Win32WindowSystem& System() { return *m_System; }

    // Processes messages for a while: timers tick, windows paint.
    void PumpFor(std::chrono::milliseconds duration) {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            m_System->DoEvents();
            Sleep(1);
        }
    }

    // Processes messages until the condition holds; false on time-out.
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(2000)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= end) {
                return false;
            }
            m_System->DoEvents();
            Sleep(1);
        }
        return true;
    }

    // Places the real cursor on a client point of the window.
    static void PutCursor(HWND hwnd, int x, int y) {
        POINT point{x, y};
        ClientToScreen(hwnd, &point);
        SetCursorPos(point.x, point.y);
    }

private:
    std::unique_ptr<Win32WindowSystem> m_System;
};

}  // namespace ponderix::platform::win32::test
