// The window system as a whole: window classes, pictures from the resources,
// timers, the message loop, and the services that need no window.
#include "platform/win32/Win32WindowSystem.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <span>

#include "platform/Error.h"
#include "platform/core/CoreTimer.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Win32PopupMenu.h"
#include "platform/win32/Win32Settings.h"
#include "platform/win32/Win32Support.h"
#include "platform/win32/Win32Window.h"

namespace ponderix::platform::win32 {
namespace detail {
namespace {

constexpr std::size_t FileHeaderSize = 14;  // BITMAPFILEHEADER, which resources leave out
constexpr std::size_t InfoHeaderSize = 40;  // BITMAPINFOHEADER

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, UINT style) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = TargetWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    // A second window system in one process (tests make several) finds the
    // classes there already.
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        Fail("the window class could not be registered");
    }
}

// The bytes are little-endian, as is every machine Windows runs on.
std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

void WriteU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
    const auto narrow = static_cast<std::uint32_t>(value);
    std::memcpy(bytes.data() + at, &narrow, sizeof narrow);
}

// A bitmap resource is the BMP file without its file header: the header is
// made again in front of it so that the shared decoder reads it as a file.
std::vector<std::uint8_t> AsBmpFile(std::span<const std::uint8_t> dib) {
    if (dib.size() < InfoHeaderSize) {
        throw PlatformError("a picture resource is cut short");
    }
    const std::uint64_t headerSize = ReadU32(dib, 0);
    const unsigned bitCount = static_cast<unsigned>(dib[14] | (dib[15] << 8));
    const std::uint32_t compression = ReadU32(dib, 16);
    const std::uint64_t coloursUsed = ReadU32(dib, 32);
    // A plain BITMAPINFOHEADER is followed by its three colour masks; the later
    // headers hold them inside.
    const std::uint64_t masks =
        compression == BI_BITFIELDS && headerSize == InfoHeaderSize ? 12 : 0;
    const std::uint64_t palette = coloursUsed != 0 ? coloursUsed
                                  : bitCount <= 8  ? 1u << bitCount
                                                   : 0;
    const std::uint64_t pixelOffset = FileHeaderSize + headerSize + masks + 4 * palette;

    std::vector<std::uint8_t> file(FileHeaderSize + dib.size());
    file[0] = 'B';
    file[1] = 'M';
    WriteU32(file, 2, file.size());
    WriteU32(file, 10, pixelOffset);
    std::copy(dib.begin(), dib.end(), file.begin() + FileHeaderSize);
    return file;
}

// The bitmap resource of that name, decoded.
Bitmap DecodePicture(std::string_view file) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // As the resource compiler keeps the names: in capitals, and "_" for the
    // "@" it does not take in a name ("key_help@2x.bmp" is KEY_HELP_2X.BMP).
    std::string upper(file);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) {
        return c == '@' ? '_' : static_cast<char>(std::toupper(c));
    });
    const std::wstring name = Widen(upper);
    HRSRC resource = file.empty() ? nullptr : FindResourceW(instance, name.c_str(), RT_BITMAP);
    if (resource == nullptr) {
        throw PlatformError("no picture named '" + std::string(file) + "'");
    }
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        Fail("the picture '" + std::string(file) + "' could not be read");
    }
    const std::span<const std::uint8_t> dib(static_cast<const std::uint8_t*>(bytes),
                                            SizeofResource(instance, resource));
    return DecodeBmp(AsBmpFile(dib));
}

// A timer: SetTimer on the message window, under an identifier of its own.
class Win32Timer final : public core::NativeTimer {
public:
    Win32Timer(Desktop& desktop, std::function<void()> elapsed)
        : m_Desktop(desktop), m_Id(desktop.AddTimer(std::move(elapsed))) {}
    ~Win32Timer() override { m_Desktop.RemoveTimer(m_Id); }
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    void Start(int milliseconds) override {
        if (SetTimer(m_Desktop.MessageWindow(), m_Id, static_cast<UINT>(milliseconds), nullptr) ==
            0) {
            Fail("a timer could not be started");
        }
    }
    void Stop() override { KillTimer(m_Desktop.MessageWindow(), m_Id); }

private:
    Desktop& m_Desktop;
    UINT_PTR m_Id;
};

// The window of ours that a message of the keyboard was sent within.
core::Window* WindowOf(const Win32WindowSystem& system, HWND hwnd) {
    HWND root = hwnd != nullptr ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    for (core::Window* window : system.Windows()) {
        if (root != nullptr && window->IsLoaded() && ToHwnd(window->Handle()) == root) {
            return window;
        }
    }
    return nullptr;
}

// The keys the core acts on, as KeyCode numbers them: they are their
// virtual-key codes. 0 for every other key.
std::int16_t KeyCodeOf(WPARAM key) {
    if (key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE ||
        (key >= VK_F1 && key <= VK_F12)) {
        return static_cast<std::int16_t>(key);
    }
    return 0;
}

std::int16_t ShiftStateNow() {
    return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? ShiftState::Shift : 0) |
                                     (GetKeyState(VK_CONTROL) < 0 ? ShiftState::Ctrl : 0) |
                                     (GetKeyState(VK_MENU) < 0 ? ShiftState::Alt : 0));
}

// A key pressed in a window of ours, before its control sees it: Tab moves
// the focus along the tab chain; an arrow on an option button moves within
// its group; Return, Escape, the function keys and Space
// go to the core, which takes what the focused control would not (Space only
// on a button). True when the key was used.
bool WindowKey(const Win32WindowSystem& system, const MSG& message) {
    core::Window* window = WindowOf(system, message.hwnd);
    if (window == nullptr) {
        return false;
    }
    if (message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        Guarded([&] { window->FocusNext(GetKeyState(VK_SHIFT) < 0); });
        return true;
    }
    if (message.wParam >= VK_LEFT && message.wParam <= VK_DOWN) {
        bool used = false;
        Guarded([&] {
            used = window->MoveInGroup(message.wParam == VK_LEFT || message.wParam == VK_UP);
        });
        return used;
    }
    const std::int16_t code = KeyCodeOf(message.wParam);
    if (code == 0) {
        return false;
    }
    if ((message.lParam & (1 << 30)) != 0) {
        // Held: the window acts once. No control of ours wants Return or
        // Escape (an EDIT would beep at them); the others go on as typed.
        return code == KeyCode::Return || code == KeyCode::Escape;
    }
    bool used = false;
    Guarded([&] { used = window->KeyPressed(code, ShiftStateNow()); });
    return used;
}

// One message of the loop: the keys a window of ours acts on stay there;
// every other message goes to its window.
void Dispatch(const Win32WindowSystem& system, MSG& message) {
    if (message.message == WM_KEYDOWN && WindowKey(system, message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

// ---------------------------------------------------------------------------
// The desktop's resources

Desktop::Desktop() : m_Instance(GetModuleHandleW(nullptr)) {
    RegisterWindowClass(m_Instance, TopWindowClass, 0);
    RegisterWindowClass(m_Instance, FrameClass, 0);
    RegisterWindowClass(m_Instance, SurfaceClass, CS_DBLCLKS);
    RegisterWindowClass(m_Instance, MessageWindowClass, 0);
    m_MessageWindow = CreateWindowExW(0, MessageWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, m_Instance, static_cast<MessageTarget*>(this));
    if (m_MessageWindow == nullptr) {
        Fail("the timers' window could not be made");
    }
    m_HandCursor = LoadCursorW(m_Instance, MAKEINTRESOURCEW(PONDERIX_HAND_CURSOR));
    if (m_HandCursor == nullptr) {
        m_HandCursor = LoadCursorW(nullptr, IDC_HAND);
    }
}

Desktop::~Desktop() {
    DestroyWindow(m_MessageWindow);
}

HICON Desktop::Icon(AssetName asset, bool small, UINT dpi) const {
    if (asset.File.empty()) {
        return nullptr;
    }
    if (asset.File != "ponderix.ico") {
        throw PlatformError("no icon named '" + std::string(asset.File) + "'");
    }
    const int size = MetricAt(small ? SM_CXSMICON : SM_CXICON, dpi);
    return static_cast<HICON>(LoadImageW(m_Instance, MAKEINTRESOURCEW(PONDERIX_ICON), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

HFONT Desktop::Font(const FontSpec& font, UINT dpi) {
    // In hundredths of a point, so that 8.25 points is 11 pixels exactly at 96
    // dots per inch; negative: the em height, not the cell height.
    const int height =
        -MulDiv(static_cast<int>(std::lround(font.Points * 100.0f)), static_cast<int>(dpi), 7200);
    return m_Fonts.Get(
        std::make_tuple(std::string(font.Face), height, font.Weight, font.Underline), [&] {
            return CreateFontW(height, 0, 0, 0, font.Weight, FALSE, font.Underline ? TRUE : FALSE,
                               FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               Widen(font.Face).c_str());
        });
}

HBRUSH Desktop::Brush(COLORREF colour) {
    return m_Brushes.Get(colour, [colour] { return CreateSolidBrush(colour); });
}

UINT_PTR Desktop::AddTimer(std::function<void()> elapsed) {
    const UINT_PTR id = m_NextTimerId++;
    m_Timers[id] = std::move(elapsed);
    return id;
}

void Desktop::RemoveTimer(UINT_PTR id) {
    KillTimer(m_MessageWindow, id);
    m_Timers.erase(id);
}

LRESULT Desktop::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        // A tick left in the queue after its timer went finds nothing.
        if (const auto found = m_Timers.find(wParam); found != m_Timers.end()) {
            const std::function<void()> elapsed = found->second;
            Guarded(elapsed);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace detail

// ---------------------------------------------------------------------------
// The interface

namespace {

// Apartment-threaded COM on the user-interface thread, which the shell's
// handlers may use when ShellExecute hands an address on.
class ComApartment {
public:
    ComApartment()
        : m_Initialised(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (m_Initialised) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_Initialised;
};

}  // namespace

Win32WindowSystem::Win32WindowSystem()
    : WindowSystemBase(&detail::DecodePicture),
      m_Desktop(std::make_unique<detail::Desktop>()),
      m_Settings(std::make_unique<detail::RegistrySettings>()) {
    static const ComApartment apartment;
}

Win32WindowSystem::~Win32WindowSystem() = default;

std::unique_ptr<core::Window> Win32WindowSystem::MakeWindow(const WindowSpec& layout) {
    return std::make_unique<detail::Win32Window>(*this, layout);
}

std::unique_ptr<core::NativeTimer> Win32WindowSystem::MakeTimer(std::function<void()> elapsed) {
    return std::make_unique<detail::Win32Timer>(*m_Desktop, std::move(elapsed));
}

void Win32WindowSystem::LastWindowUnloaded() {
    PostQuitMessage(0);
}

void Win32WindowSystem::ShowErrorMessage(std::string_view prompt, std::string_view caption) {
    // Owned by the program's active window, so that it stays in front of it.
    HWND owner = GetActiveWindow();
    if (std::none_of(Windows().begin(), Windows().end(), [owner](const core::Window* window) {
            return detail::ToHwnd(window->Handle()) == owner;
        })) {
        owner = nullptr;
    }
    const std::wstring text = detail::Widen(prompt);
    const std::wstring title = detail::Widen(caption);
    if (MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR) == 0) {
        detail::Fail("the message box could not be shown");
    }
}

std::unique_ptr<IPopupMenu> Win32WindowSystem::CreatePopupMenu() {
    return std::make_unique<detail::PopupMenu>();
}

ScreenPoint Win32WindowSystem::CursorPos() {
    POINT point{};
    if (!GetCursorPos(&point)) {
        detail::Fail("the cursor position could not be read");
    }
    return {point.x, point.y};
}

WindowHandle Win32WindowSystem::WindowFromPoint(ScreenPoint point) {
    return detail::ToWindowHandle(::WindowFromPoint(POINT{point.X, point.Y}));
}

bool Win32WindowSystem::ShellOpen(std::string_view address) {
    const std::string file = detail::ToAnsi(address);
    HINSTANCE result =
        ShellExecuteA(nullptr, "Open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // The result is a number in a handle's clothes: above 32 means accepted.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string Win32WindowSystem::DecimalSeparator() {
    std::array<wchar_t, 8> separator{};  // LOCALE_SDECIMAL holds at most four characters
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator.data(),
                                       static_cast<int>(separator.size()));
    if (length <= 1) {
        return ".";
    }
    return detail::Narrow({separator.data(), static_cast<std::size_t>(length - 1)});
}

ISettingsStore& Win32WindowSystem::Settings() {
    return *m_Settings;
}

void Win32WindowSystem::DoEvents() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the message loop, which ends on it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        detail::Dispatch(*this, message);
    }
}

int Win32WindowSystem::Run() {
    if (!AnyWindowLoaded()) {
        return 0;
    }
    MSG message{};
    BOOL got = FALSE;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        detail::Dispatch(*this, message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

WindowHandle NativeHandle(const IControl& control) {
    const auto* visible = dynamic_cast<const core::VisibleControl*>(&control);
    return visible != nullptr ? visible->NativeHandle() : 0;
}

std::uintptr_t NativeMenu(const IPopupMenu& menu) {
    const auto* native = dynamic_cast<const detail::PopupMenu*>(&menu);
    return native != nullptr ? detail::ToWindowHandle(native->Menu()) : 0;
}

}  // namespace ponderix::platform::win32
