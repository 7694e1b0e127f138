// The window-system contract on the native backend, against the real desktop
// (Wine on a virtual display in the tests): the driver presses real keys and
// buttons through the desktop's input queue, and reads what the native windows
// show. It moves the display's one cursor and takes the focus: the test
// program runs alone.
#include "platform/win32/Win32Support.h"  // windows.h, as the backend includes it

#include <oleacc.h>

#include <chrono>
#include <functional>
#include <utility>

#include "platform/Error.h"
#include "platform/core/CoreWindow.h"
#include "platform/tests/conformance/Conformance.h"
#include "platform/win32/Win32Accessible.h"
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

// What the desktop told screen readers: the event, the window, the object and
// the child, as a hook out of context (the way a screen reader listens) hears it.
struct ReaderEvent {
    DWORD Event = 0;
    HWND Window = nullptr;
    LONG Object = 0;
    LONG Child = 0;
};
std::vector<ReaderEvent> g_ReaderEvents;

void CALLBACK HearReaderEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                              DWORD) {
    g_ReaderEvents.push_back({event, hwnd, object, child});
}

// A control's object and child id, as a screen reader finds them: its own
// window's client object, or its container's and its position there.
struct ReaderObject {
    IAccessible* Object = nullptr;
    VARIANT Child{};

    ReaderObject() = default;
    ReaderObject(const ReaderObject&) = delete;
    ReaderObject& operator=(const ReaderObject&) = delete;
    ~ReaderObject() {
        if (Object != nullptr) {
            Object->Release();
        }
    }
};

std::string FromBstr(BSTR text) {
    if (text == nullptr) {
        return {};
    }
    char utf8[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    SysFreeString(text);
    return utf8;
}

class Win32Driver final : public Driver {
public:
    Win32Driver() {
        g_ReaderEvents.clear();
        m_Hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr,
                                 &HearReaderEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        m_AlertHook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr,
                                      &HearReaderEvent, GetCurrentProcessId(), 0,
                                      WINEVENT_OUTOFCONTEXT);
    }

    ~Win32Driver() override {
        if (m_Hook != nullptr) {
            UnhookWinEvent(m_Hook);
        }
        if (m_AlertHook != nullptr) {
            UnhookWinEvent(m_AlertHook);
        }
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

    // As the keyboard sends it, with the modifier keys held around it.
    void PressKey(std::int16_t keyCode, std::int16_t shift) override {
        std::vector<WORD> held;
        for (const auto& [state, key] :
             {std::pair{ShiftState::Shift, VK_SHIFT}, std::pair{ShiftState::Ctrl, VK_CONTROL},
              std::pair{ShiftState::Alt, VK_MENU}}) {
            if ((shift & state) != 0) {
                held.push_back(static_cast<WORD>(key));
            }
        }
        std::vector<INPUT> inputs;
        const auto add = [&](WORD key, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        for (const WORD key : held) {
            add(key, false);
        }
        add(static_cast<WORD>(keyCode), false);
        add(static_cast<WORD>(keyCode), true);
        for (auto key = held.rbegin(); key != held.rend(); ++key) {
            add(*key, true);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        Pump(20);
    }

    void MoveCursor(ScreenPoint point) override { SetCursorPos(point.X, point.Y); }
    // Windows always knows where the pointer is.
    void MovePointerOutOfEveryWindow(ScreenPoint to) override { SetCursorPos(to.X, to.Y); }

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

    // What the surface's window shows on the screen, read back from it.
    Bitmap SurfaceShows(IWindow& window, std::string_view key) override {
        const HWND hwnd = Hwnd(VisibleControlOf(window, key).NativeHandle());
        UpdateWindow(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        Bitmap shown{client.right, client.bottom, {}};
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = shown.Width;
        info.bmiHeader.biHeight = -shown.Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(hwnd);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ initial = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, shown.Width, shown.Height, screen, 0, 0, SRCCOPY);
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int i = 0; i < shown.Width * shown.Height; ++i) {
            shown.Pixels.push_back(0xFF000000u | (pixels[i] & 0xFFFFFFu));
        }
        SelectObject(memory, initial);
        DeleteObject(dib);
        DeleteDC(memory);
        ReleaseDC(hwnd, screen);
        return shown;
    }

    AccessibleRole RoleOf(IWindow& window, std::string_view key) override {
        ReaderObject reader;
        Find(window, key, reader);
        VARIANT role{};
        VariantInit(&role);
        if (FAILED(reader.Object->get_accRole(reader.Child, &role)) || role.vt != VT_I4) {
            throw PlatformError("no role for '" + std::string(key) + "'");
        }
        return win32::detail::FromMsaaRole(role.lVal);
    }
    std::string NameOf(IWindow& window, std::string_view key) override {
        ReaderObject reader;
        Find(window, key, reader);
        BSTR name = nullptr;
        reader.Object->get_accName(reader.Child, &name);
        return FromBstr(name);
    }
    std::string DescriptionOf(IWindow& window, std::string_view key) override {
        ReaderObject reader;
        Find(window, key, reader);
        BSTR description = nullptr;
        reader.Object->get_accDescription(reader.Child, &description);
        return FromBstr(description);
    }
    void PressByReader(IWindow& window, std::string_view key) override {
        ReaderObject reader;
        Find(window, key, reader);
        if (FAILED(reader.Object->accDoDefaultAction(reader.Child))) {
            throw PlatformError("'" + std::string(key) + "' cannot be pressed");
        }
    }
    std::vector<std::string> ReaderEvents(IWindow& window) override {
        Pump(20);
        std::vector<std::string> told;
        for (const ReaderEvent& event : std::exchange(g_ReaderEvents, {})) {
            if (event.Event == EVENT_SYSTEM_ALERT) {
                told.push_back("announce " + AlertText(event));
                continue;
            }
            const std::string key = KeyOf(window, event);
            if (event.Object == OBJID_CLIENT && !key.empty()) {
                told.push_back((event.Event == EVENT_OBJECT_NAMECHANGE ? "name " : "description ") +
                               key);
            }
        }
        return told;
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

    // The windowless control's container: its frame's window, or the window.
    static HWND ContainerOf(IWindow& window, const core::VisibleControl& control) {
        return control.Container() != nullptr ? Hwnd(control.Container()->NativeHandle())
                                              : Hwnd(window.Handle());
    }

    static void Find(IWindow& window, std::string_view key, ReaderObject& reader) {
        HWND hwnd = Hwnd(window.Handle());
        LONG child = CHILDID_SELF;
        if (!key.empty()) {
            const core::VisibleControl& control = VisibleControlOf(window, key);
            hwnd = Hwnd(control.NativeHandle());
            if (hwnd == nullptr) {
                hwnd = ContainerOf(window, control);
                child = win32::detail::AccessibleChildId(control);
            }
        }
        if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                              __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&reader.Object))) ||
            reader.Object == nullptr) {
            throw PlatformError("no accessible object for '" + std::string(key) + "'");
        }
        reader.Child.vt = VT_I4;
        reader.Child.lVal = child;
    }

    // What a reader reads of an alert raised: the text of an object that is an
    // alert, as NVDA checks before it speaks.
    static std::string AlertText(const ReaderEvent& event) {
        IAccessible* object = nullptr;
        VARIANT child{};
        VariantInit(&child);
        if (FAILED(AccessibleObjectFromEvent(event.Window, event.Object, event.Child, &object,
                                             &child)) ||
            object == nullptr) {
            return "(no object)";
        }
        VARIANT role{};
        VariantInit(&role);
        BSTR name = nullptr;
        const bool alert = SUCCEEDED(object->get_accRole(child, &role)) && role.vt == VT_I4 &&
                           role.lVal == ROLE_SYSTEM_ALERT;
        object->get_accName(child, &name);
        object->Release();
        VariantClear(&child);
        return alert ? FromBstr(name) : "(not an alert) " + FromBstr(name);
    }

    // The control an event is about, by its window and child id.
    static std::string KeyOf(IWindow& window, const ReaderEvent& event) {
        for (const core::Window::Entry& entry : dynamic_cast<core::Window&>(window).Entries()) {
            const core::VisibleControl* control = entry.Visible;
            if (control == nullptr) {
                continue;
            }
            const HWND own = Hwnd(control->NativeHandle());
            if ((own != nullptr && own == event.Window && event.Child == CHILDID_SELF) ||
                (own == nullptr && ContainerOf(window, *control) == event.Window &&
                 win32::detail::AccessibleChildId(*control) == event.Child)) {
                return control->Key();
            }
        }
        return {};
    }

    win32::Win32WindowSystem m_System;
    std::vector<SeenMessage> m_Messages;
    HWINEVENTHOOK m_Hook = nullptr;
    HWINEVENTHOOK m_AlertHook = nullptr;
};

INSTANTIATE_TEST_SUITE_P(
    Contract, ConformanceTest,
    ::testing::Values(Backend{
        "Win32", [] { return std::unique_ptr<Driver>(std::make_unique<Win32Driver>()); }}),
    BackendName);

}  // namespace
}  // namespace ponderix::platform::conformance
