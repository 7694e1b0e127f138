// The services beyond windows: the settings in the registry, the popup menu,
// timers, the program's pictures, the error message box, the cursor and the
// window under it, the shell and the locale.
#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "assets/Assets.h"
#include "platform/win32/tests/Win32TestSupport.h"

namespace ponderix::platform::win32::test {
namespace {

using namespace std::chrono_literals;

constexpr FontSpec DialogFont{"MS Sans Serif", 8.25f, 400};

// ---------------------------------------------------------------------------
// Settings

constexpr const char* Application = "Ponderix Backend Tests";
constexpr const wchar_t* ApplicationKey = L"Software\\Ponderix Backend Tests";

class SettingsTest : public Win32Test {
protected:
    SettingsTest() { RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey); }
    ~SettingsTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey); }

    ISettingsStore& Settings() { return System().Settings(); }

    // Writes a value of any type straight into the section.
    static void Plant(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Ponderix Backend Tests\\Settings",
                                  0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
};

TEST_F(SettingsTest, EveryTextComesBackExactlyAsItWasStored) {
    std::string mixed;
    for (int i = 0; i < 1000; ++i) {
        mixed += "ab;=\"\\ \r\n";
    }
    const std::string values[] = {
        "",
        "140",
        " 20",
        "trailing  ",
        "say \"cheese\"",
        "a=b;c,d",
        "C:\\path\\",
        "\r",
        "\n",
        "\r\n",
        "one\rtwo\nthree\r\nfour",
        "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x80\x94 \xE4\xBD\x93\xE9\x87\x8D \xF0\x9F\x98\x80",
        mixed,  // 10,000 characters
    };
    for (const std::string& value : values) {
        Settings().SaveSetting(Application, "Settings", "Weight", value);
        EXPECT_EQ(Settings().GetSetting(Application, "Settings", "Weight", "default"), value)
            << testing::PrintToString(value.substr(0, 40));
    }
}

TEST_F(SettingsTest, ValuesAreTextInTheApplicationsSectionOfTheUsersSoftwareKey) {
    Settings().SaveSetting(Application, "Settings", "Height", " 20");
    Settings().SaveSetting(Application, "Settings", "Name", "\xC3\xA9");
    wchar_t text[16] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ponderix Backend Tests\\Settings",
                           L"Height", RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), L" 20");
    size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ponderix Backend Tests\\Settings", L"Name",
                 RRF_RT_REG_SZ, nullptr, text, &size);
    EXPECT_EQ(std::wstring(text), L"\u00e9");
}

TEST_F(SettingsTest, AbsentOrForeignValuesReadAsTheDefault) {
    EXPECT_EQ(Settings().GetSetting(Application, "Settings", "Weight", "140"), "140") << "no key";
    Settings().SaveSetting(Application, "Settings", "Other", "1");
    EXPECT_EQ(Settings().GetSetting(Application, "Settings", "Weight", "140"), "140") << "no value";

    const DWORD number = 20;
    const BYTE bytes[] = {'2', 0, '0', 0, 0, 0};
    const wchar_t expandable[] = L"%TEMP%";
    const wchar_t list[] = L"20\0\0";
    Plant(L"Number", REG_DWORD, &number, sizeof number);
    Plant(L"Bytes", REG_BINARY, bytes, sizeof bytes);
    Plant(L"Expandable", REG_EXPAND_SZ, expandable, sizeof expandable);
    Plant(L"List", REG_MULTI_SZ, list, sizeof list);
    Plant(L"Unterminated", REG_SZ, L"20", 4);
    for (const char* key : {"Number", "Bytes", "Expandable", "List"}) {
        EXPECT_EQ(Settings().GetSetting(Application, "Settings", key, "d"), "d") << key;
    }
    EXPECT_EQ(Settings().GetSetting(Application, "Settings", "Unterminated", "d"), "20");
}

TEST_F(SettingsTest, AValueThatCannotBeStoredThrows) {
    // Registry key names are limited to 255 characters.
    const std::string section(300, 's');
    EXPECT_THROW(Settings().SaveSetting(Application, section, "Weight", "140"), PlatformError);
    EXPECT_EQ(Settings().GetSetting(Application, section, "Weight", "d"), "d");
}

// ---------------------------------------------------------------------------
// Windows for the tests below

class ServicesTest : public Win32Test {
protected:
    IWindow& Show() {
        m_Window = System().CreateWindow(Layout);
        m_Window->Show();
        return *m_Window;
    }

    static constexpr ControlSpec Controls[] = {
        {.Kind = ControlKind::TextBox, .Name = "Key", .Rect = {1500, 1500, 1500, 450}},
        {.Kind = ControlKind::Label, .Name = "Caption", .Rect = {1500, 3000, 1500, 450}},
        {.Kind = ControlKind::Timer, .Name = "Clock", .Enabled = false, .IntervalMs = 200},
    };
    static constexpr WindowSpec Layout{.Name = "fServices",
                                       .Caption = "Services",
                                       .InnerWidth = 7320,
                                       .InnerHeight = 6075,
                                       .Font = DialogFont,
                                       .Controls = Controls};

    std::unique_ptr<IWindow> m_Window;
};

// ---------------------------------------------------------------------------
// Popup menu

std::string ItemText(HMENU menu, UINT position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(ServicesTest, MenuItemsAreEnabledTextItemsInsertedBeforeThePositionGiven) {
    auto menu = System().CreatePopupMenu();
    const auto native = reinterpret_cast<HMENU>(NativeMenu(*menu));
    menu->InsertItem(0, 1001, "Quick Help");
    menu->InsertItem(1, 1000, "About");
    menu->InsertItem(0, 7, "First");
    ASSERT_EQ(GetMenuItemCount(native), 3);
    EXPECT_EQ(ItemText(native, 0), "First");
    EXPECT_EQ(ItemText(native, 1), "Quick Help");
    EXPECT_EQ(ItemText(native, 2), "About");
    EXPECT_EQ(GetMenuItemID(native, 1), 1001u);
    EXPECT_EQ(GetMenuItemID(native, 2), 1000u);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(native, 2, TRUE, &item));
    EXPECT_EQ(item.fType, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(item.fState, static_cast<UINT>(MFS_ENABLED));
    EXPECT_EQ(item.hSubMenu, nullptr);

    menu.reset();
    EXPECT_FALSE(IsMenu(native)) << "destroyed with its object";
}

TEST_F(ServicesTest, TrackReturnsTheChosenIdentifierOrZero) {
    IWindow& owner = Show();
    const struct {
        const char* Name;
        std::function<void()> User;
        unsigned Expected;
    } cases[] = {
        {"dismissed", [] { EndMenu(); }, 0},
        {"second item",
         [] {
             PressKeys({VK_DOWN, VK_DOWN, VK_RETURN});
         },
         1000},
    };
    for (const auto& c : cases) {
        auto menu = System().CreatePopupMenu();
        menu->InsertItem(0, 1001, "Quick Help");
        menu->InsertItem(1, 1000, "About");
        DuringModalLoop(c.User);
        RECT outer{};
        GetWindowRect(Hwnd(owner.Handle()), &outer);
        EXPECT_EQ(menu->Track({outer.left + 420, outer.top + 20}, owner), c.Expected) << c.Name;
    }
}

TEST_F(ServicesTest, AMenuNeedsALoadedOwner) {
    IWindow& owner = Show();
    owner.Unload();
    auto menu = System().CreatePopupMenu();
    menu->InsertItem(0, 1, "Item");
    EXPECT_THROW(menu->Track({10, 10}, owner), PlatformError);
}

// ---------------------------------------------------------------------------
// Timers

TEST_F(ServicesTest, EnablingATimerAgainStartsItsIntervalAnew) {
    auto& clock = Show().Get<ITimer>("Clock");
    std::vector<std::chrono::steady_clock::time_point> ticks;
    clock.Tick.Connect([&] { ticks.push_back(std::chrono::steady_clock::now()); });

    clock.SetEnabled(true);
    PumpFor(120ms);
    clock.SetEnabled(false);
    clock.SetEnabled(true);
    const auto restarted = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return !ticks.empty(); }));
    // Without the restart it would have ticked 80 ms after it.
    EXPECT_GE(ticks.front() - restarted, 150ms);
}

TEST_F(ServicesTest, ADisabledTimerDoesNotTickAndATickDoesNotRunInsideItself) {
    auto& clock = Show().Get<ITimer>("Clock");
    int ticks = 0;
    int depth = 0;
    int deepest = 0;
    clock.Tick.Connect([&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        PumpFor(40ms);  // processes messages, as a handler's DoEvents does
        --depth;
    });
    PumpFor(300ms);
    EXPECT_EQ(ticks, 0) << "disabled";
    clock.SetInterval(10);
    clock.SetEnabled(true);
    PumpFor(300ms);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(deepest, 1);
    clock.SetEnabled(false);
    const int stopped = ticks;
    PumpFor(100ms);
    EXPECT_EQ(ticks, stopped);
}

// ---------------------------------------------------------------------------
// Pictures

TEST_F(ServicesTest, EveryPictureOfTheProgramLoadsAsItsFileReads) {
    std::istringstream files(PONDERIX_PICTURES);  // the assets/*.bmp of the build
    int checked = 0;
    for (std::string file; std::getline(files, file, ',');) {
        SCOPED_TRACE(file);
        const Picture picture = System().LoadPicture({file});
        const Bitmap expected = DecodeBmp(assets::FindAsset(file));
        EXPECT_EQ(picture.Width(), expected.Width);
        EXPECT_EQ(picture.Height(), expected.Height);
        EXPECT_TRUE(picture.Pixels().Pixels == expected.Pixels);
        EXPECT_EQ(System().LoadPicture({file}), picture) << "loaded once";
        ++checked;
    }
    EXPECT_GE(checked, 10);
}

TEST_F(ServicesTest, APictureTheProgramDoesNotHaveCannotBeLoaded) {
    for (const char* file : {"missing.bmp", "", "hand.cur"}) {
        EXPECT_THROW(System().LoadPicture({file}), PlatformError) << file;
    }
}

// ---------------------------------------------------------------------------
// Message box

TEST_F(ServicesTest, TheErrorMessageIsModalWithTheErrorIconAboveTheActiveWindow) {
    IWindow& window = Show();
    struct Seen {
        bool Found = false;
        HWND Owner = nullptr;
        std::vector<std::string> Texts;
        bool ErrorIcon = false;
    } seen;
    DuringModalLoop([&seen] {
        HWND box = FindWindowW(L"#32770", L"Ponderix");
        if (box == nullptr) {
            return;
        }
        seen.Found = true;
        seen.Owner = GetWindow(box, GW_OWNER);
        const HICON error = LoadIconW(nullptr, IDI_ERROR);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char text[128] = {};
            GetWindowTextA(child, text, sizeof text);
            seen.Texts.emplace_back(text);
            if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                seen.ErrorIcon = seen.ErrorIcon || SendMessageW(child, STM_GETICON, 0, 0) ==
                                                       reinterpret_cast<LRESULT>(error);
            }
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    System().ShowErrorMessage("Please specify weight", "Ponderix");
    ASSERT_TRUE(seen.Found);
    EXPECT_EQ(seen.Owner, Hwnd(window.Handle()));
    EXPECT_NE(std::find(seen.Texts.begin(), seen.Texts.end(), "Please specify weight"),
              seen.Texts.end());
    EXPECT_TRUE(seen.ErrorIcon);
    const int buttons = static_cast<int>(std::count_if(
        seen.Texts.begin(), seen.Texts.end(), [](const std::string& t) { return t == "OK"; }));
    EXPECT_EQ(buttons, 1);
}

// ---------------------------------------------------------------------------
// Cursor, window under a point, shell, locale, message pump

TEST_F(ServicesTest, TheCursorAndTheWindowUnderAPointComeFromTheDesktop) {
    IWindow& window = Show();
    const HWND key = Hwnd(window.Control("Key"));
    RECT keyRect{};
    GetWindowRect(key, &keyRect);
    const ScreenPoint inKey{keyRect.left + 5, keyRect.top + 5};
    SetCursorPos(inKey.X, inKey.Y);
    EXPECT_EQ(System().CursorPos(), inKey);
    EXPECT_EQ(Hwnd(System().WindowFromPoint(inKey)), key);
    RECT outer{};
    GetWindowRect(Hwnd(window.Handle()), &outer);
    // A label has no window of its own: the window is under the point.
    EXPECT_EQ(Hwnd(System().WindowFromPoint({outer.left + 110, outer.top + 210})),
              Hwnd(window.Handle()));
}

TEST_F(ServicesTest, TheShellRefusesWhatItCannotOpen) {
    EXPECT_FALSE(System().ShellOpen("Z:\\no\\such\\folder\\file.ponderix"));
}

TEST_F(ServicesTest, TheDecimalSeparatorIsTheOneTheLocaleFormatsNumbersWith) {
    wchar_t formatted[32] = {};
    const int length =
        GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, L"1.5", nullptr, formatted, 32);
    ASSERT_GT(length, 4);
    // "1" <separator> "50": the two fraction digits of the locale.
    const std::wstring separator(formatted + 1, formatted + length - 1 - 2);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, separator.c_str(), static_cast<int>(separator.size()),
                            nullptr, 0, nullptr, nullptr);
    std::string expected(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, separator.c_str(), static_cast<int>(separator.size()),
                        expected.data(), size, nullptr, nullptr);
    EXPECT_EQ(System().DecimalSeparator(), expected);
}

TEST_F(ServicesTest, DoEventsProcessesWhatIsPendingAndReturns) {
    IWindow& window = Show();
    PostMessageW(Hwnd(window.Handle()), WM_CLOSE, 0, 0);
    System().DoEvents();
    EXPECT_FALSE(window.IsLoaded());
}

}  // namespace
}  // namespace ponderix::platform::win32::test
