// The window-system contract on the native backend, against the real desktop
// (Wine on a virtual display in the tests): the driver presses real keys and
// buttons through the desktop's input queue, and reads what the native windows
// show. It moves the display's one cursor and takes the focus: the test
// program runs alone.
#include "platform/win32/Native.h"  // windows.h, as the backend includes it

#include <chrono>
#include <functional>

#include "platform/Error.h"
#include "platform/core/CoreWindow.h"
#include "platform/tests/conformance/Conformance.h"
#include "platform/win32/Win32WindowSystem.h"

namespace ponderix::platform::conformance {
namespace {

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

// The control of the window with that key.
core::VisibleControl& VisibleControlOf(IWindow& window, std::string_view key) {
    for (const core::Window::Entry& entry : dynamic_cast<core::Window&>(window).Entries()) {
        if (entry.Visible != nullptr && entry.Visible->Key() == key) {
            return *entry.Visible;
        }
    }
    throw PlatformError("no control '" + std::string(key) + "'");
}

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void SendKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

void LeftClickAt(ScreenPoint point) {
    SetCursorPos(point.X, point.Y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

// The visible window of that class in this process, if any.
HWND FindOwnWindow(const wchar_t* windowClass) {
    for (HWND found = FindWindowExW(nullptr, nullptr, windowClass, nullptr); found != nullptr;
         found = FindWindowExW(nullptr, found, windowClass, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(found, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(found)) {
            return found;
        }
    }
    return nullptr;
}

// What the user does once a modal loop (a menu's, a message box's) shows its
// window: a thread timer, which the modal loop's own message pump runs, looks
// for the window every few milliseconds; after two seconds without it, the
// user gives up with Escape, so that a test never hangs.
struct ModalAction {
    const wchar_t* WindowClass = nullptr;
    std::function<void(HWND)> Act;
    std::chrono::steady_clock::time_point GiveUp;
};

ModalAction g_Pending;

void CALLBACK CheckForModalWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_Pending.Act) {
        KillTimer(nullptr, timer);
        return;
    }
    if (HWND found = FindOwnWindow(g_Pending.WindowClass)) {
        KillTimer(nullptr, timer);
        const auto act = std::move(g_Pending.Act);
        g_Pending.Act = nullptr;
        act(found);
    } else if (std::chrono::steady_clock::now() > g_Pending.GiveUp) {
        KillTimer(nullptr, timer);
        g_Pending.Act = nullptr;
        SendKey(VK_ESCAPE);
    }
}

void WhenModalWindowShows(const wchar_t* windowClass, std::function<void(HWND)> act) {
    g_Pending = {windowClass, std::move(act),
                 std::chrono::steady_clock::now() + std::chrono::seconds(2)};
    SetTimer(nullptr, 0, 20, &CheckForModalWindow);
}

std::string TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

class Win32Driver final : public Driver {
public:
    ~Win32Driver() override {
        g_Pending.Act = nullptr;
        // A test whose last window went leaves the loop's quit request behind.
        MSG message{};
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    IWindowSystem& System() override { return m_System; }

    void Pump(int milliseconds) override {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        do {
            m_System.DoEvents();
            Sleep(1);
        } while (std::chrono::steady_clock::now() < end);
    }

    // Tab as the keyboard sends it to the control with the focus, with Shift
    // held or not.
    void PressTab(bool backwards) override {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = backwards ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        m_System.DoEvents();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        Pump(10);
    }

    void ClickAt(ScreenPoint point) override {
        LeftClickAt(point);
        Pump(30);
    }

    void MoveCursor(ScreenPoint point) override { SetCursorPos(point.X, point.Y); }

    void WhenMenuOpens(MenuAction action) override {
        WhenModalWindowShows(L"#32768", [action](HWND) {
            switch (action.What) {
                case MenuAction::Kind::Return:
                    SendKey(VK_RETURN);
                    break;
                case MenuAction::Kind::Escape:
                    SendKey(VK_ESCAPE);
                    break;
                case MenuAction::Kind::PressAt:
                    LeftClickAt(action.At);
                    break;
            }
        });
    }

    void WhenMessageBoxOpens() override {
        WhenModalWindowShows(L"#32770", [this](HWND box) {
            // The prompt is the static text of the dialog's item 0xFFFF.
            m_Messages.push_back({TextOf(GetDlgItem(box, 0xFFFF)), TextOf(box)});
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
    }

    std::vector<SeenMessage> MessagesSeen() override { return m_Messages; }

    std::string FocusedControl(IWindow& window) override {
        for (const core::Window::Entry& entry : dynamic_cast<core::Window&>(window).Entries()) {
            if (entry.Visible != nullptr && Hwnd(entry.Visible->NativeHandle()) == GetFocus()) {
                return entry.Visible->Key();
            }
        }
        return {};
    }

    std::pair<int, int> Selection(IWindow& window, std::string_view key) override {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(Hwnd(VisibleControlOf(window, key).NativeHandle()), EM_GETSEL,
                     reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end - start)};
    }

    WholePixelRect ScreenRect(IWindow& window, std::string_view key) override {
        if (key.empty()) {
            return ClientOnScreen(Hwnd(window.Handle()));
        }
        const core::VisibleControl& control = VisibleControlOf(window, key);
        if (const HWND native = Hwnd(control.NativeHandle())) {
            RECT rect{};
            GetWindowRect(native, &rect);
            return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        }
        // Drawn by its container: the container's client area, offset by the bounds.
        const HWND container = control.Container() != nullptr
                                   ? Hwnd(control.Container()->NativeHandle())
                                   : Hwnd(window.Handle());
        const WholePixelRect origin = ClientOnScreen(container);
        const WholePixelRect bounds = ToWholePixels(control.Bounds());
        return {origin.Left + bounds.Left, origin.Top + bounds.Top, bounds.Width, bounds.Height};
    }

    bool IsOnScreen(IWindow& window) override {
        const HWND hwnd = Hwnd(window.Handle());
        return IsWindowVisible(hwnd) && !IsIconic(hwnd);
    }

    WholePixelRect WorkArea(IWindow& window) override {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(Hwnd(window.Handle()), MONITOR_DEFAULTTOPRIMARY),
                        &monitor);
        const RECT& work = monitor.rcWork;
        return {work.left, work.top, work.right - work.left, work.bottom - work.top};
    }

    // As the task bar does.
    void RestoreByUser(IWindow& window) override { ShowWindow(Hwnd(window.Handle()), SW_RESTORE); }

    void CloseByUser(IWindow& window) override {
        SendMessageW(Hwnd(window.Handle()), WM_SYSCOMMAND, SC_CLOSE, 0);
    }

private:
    static WholePixelRect ClientOnScreen(HWND hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        return {origin.x, origin.y, client.right, client.bottom};
    }

    win32::Win32WindowSystem m_System;
    std::vector<SeenMessage> m_Messages;
};

INSTANTIATE_TEST_SUITE_P(
    Contract, ConformanceTest,
    ::testing::Values(Backend{
        "Win32", [] { return std::unique_ptr<Driver>(std::make_unique<Win32Driver>()); }}),
    BackendName);

}  // namespace
}  // namespace ponderix::platform::conformance
