// The floor for a hovered picture button on Windows: the least a Win32
// program does to poll the cursor every 10 ms, as the button's timer does
// while the cursor rests on it: a window of the button's size, a SetTimer of
// 10 ms, and at each tick GetCursorPos and WindowFromPoint compared with the
// window's own handle. scripts/bench-hover measures it beside Ponderix.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

constexpr UINT_PTR PollTimer = 1;
constexpr UINT PollMilliseconds = 10;

// The last answer, kept where the compiler cannot leave the calls out.
volatile bool g_Over = false;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            POINT cursor{};
            if (GetCursorPos(&cursor) != FALSE) {
                g_Over = WindowFromPoint(cursor) == window;
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"PonderixHoverFloor";
    if (RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    // The calculate key's size, at the top-left corner of the screen.
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Hover floor", WS_POPUP, 0, 0, 151,
                                  40, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    if (SetTimer(window, PollTimer, PollMilliseconds, nullptr) == 0) {
        return 1;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
