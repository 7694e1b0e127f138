// The program's three windows as native windows: frame styles, sizes, task-bar
// buttons, placement and ownership; then showing, minimising, Resize, and the
// ways a window goes (Unload, its close box, its owner) and the loop with it.
#include <string>
#include <vector>

#include "controls/picture_button/PictureButton.h"
#include "platform/win32/tests/Win32TestSupport.h"
#include "ui/info/InfoLayouts.h"
#include "ui/main/MainLayout.h"

namespace ponderix::platform::win32::test {
namespace {

class WindowsTest : public Win32Test {
protected:
    WindowsTest() { System().RegisterUserControl(controls::PictureButton::Class()); }

    std::unique_ptr<IWindow> Main() {
        auto window = System().CreateWindow(ui::MainLayout());
        window->Show();
        return window;
    }
};

struct FrameCase {
    const char* Name;
    const WindowSpec& (*Layout)();
    bool Borderless;
    SIZE Client;
};

const FrameCase FrameCases[] = {
    {"main", &ui::MainLayout, true, {488, 405}},
    {"About", &ui::AboutLayout, false, {312, 263}},
    {"Quick Help", &ui::QuickHelpLayout, false, {312, 231}},
};

TEST_F(WindowsTest, FramesHaveTheStylesAndInnerSizesOfTheirLayouts) {
    for (const FrameCase& c : FrameCases) {
        SCOPED_TRACE(c.Name);
        auto window = System().CreateWindow(c.Layout());
        const HWND hwnd = Hwnd(window->Handle());
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));

        EXPECT_EQ(ClientSize(hwnd).cx, c.Client.cx);
        EXPECT_EQ(ClientSize(hwnd).cy, c.Client.cy);
        EXPECT_EQ(window->ScaleWidth(), static_cast<float>(c.Client.cx));
        EXPECT_EQ(window->ScaleHeight(), static_cast<float>(c.Client.cy));
        EXPECT_TRUE(style & WS_POPUP);
        // No window can be resized, maximised or minimised by its frame.
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
        RECT outer{};
        GetWindowRect(hwnd, &outer);
        if (c.Borderless) {
            EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), 0u);
            EXPECT_TRUE(exStyle & WS_EX_APPWINDOW) << "a task-bar button";
            EXPECT_EQ(outer.right - outer.left, c.Client.cx) << "outer size = inner size";
            EXPECT_EQ(outer.bottom - outer.top, c.Client.cy);
        } else {
            EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
            EXPECT_TRUE(style & WS_SYSMENU) << "the close box";
            EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
            EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
            EXPECT_GT(outer.bottom - outer.top, c.Client.cy) << "a title bar";
        }
        char title[64] = {};
        GetWindowTextA(hwnd, title, sizeof title);
        EXPECT_EQ(std::string(title), std::string(c.Layout().Caption));
    }
}

TEST_F(WindowsTest, MainWindowShowsCentredOnTheWorkAreaWithTheProgramIcon) {
    auto main = Main();
    const HWND hwnd = Hwnd(main->Handle());
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.left - work.left, (work.right - work.left - 488) / 2);
    EXPECT_EQ(outer.top - work.top, (work.bottom - work.top - 405) / 2);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, 0),
              nullptr)
        << "the icon is resource 1, the one Explorer shows";
}

TEST_F(WindowsTest, InfoWindowsAreOwnedByTheWindowTheyWereShownWithAndCentredOverIt) {
    auto main = Main();
    for (const auto* layout : {&ui::AboutLayout(), &ui::QuickHelpLayout()}) {
        SCOPED_TRACE(std::string(layout->Caption));
        auto info = System().CreateWindow(*layout);
        info->Show(main.get());
        const HWND hwnd = Hwnd(info->Handle());
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), Hwnd(main->Handle()));
        RECT owner{};
        GetWindowRect(Hwnd(main->Handle()), &owner);
        RECT outer{};
        GetWindowRect(hwnd, &outer);
        EXPECT_NEAR((outer.left + outer.right) / 2.0, (owner.left + owner.right) / 2.0, 1.0);
        EXPECT_NEAR((outer.top + outer.bottom) / 2.0, (owner.top + owner.bottom) / 2.0, 1.0);
    }
}

TEST_F(WindowsTest, OwnedWindowsStayAboveTheirOwnerAndHideWhileItIsMinimised) {
    auto main = Main();
    auto about = System().CreateWindow(ui::AboutLayout());
    about->Show(main.get());
    const HWND mainHwnd = Hwnd(main->Handle());
    const HWND aboutHwnd = Hwnd(about->Handle());
    auto above = [&] {
        for (HWND next = GetWindow(aboutHwnd, GW_HWNDNEXT); next != nullptr;
             next = GetWindow(next, GW_HWNDNEXT)) {
            if (next == mainHwnd) {
                return true;
            }
        }
        return false;
    };
    main->Show();  // the owner to the front: its owned window comes along, above it
    EXPECT_TRUE(above());

    main->Minimise();
    EXPECT_FALSE(IsWindowVisible(aboutHwnd));
    main->Show();
    EXPECT_TRUE(IsWindowVisible(aboutHwnd));
    EXPECT_TRUE(above());
}

TEST_F(WindowsTest, ResizeComesWithTheFirstShowAndWithEveryNewInnerSize) {
    auto window = System().CreateWindow(ui::QuickHelpLayout());
    std::vector<float> widths;
    window->Resize.Connect([&] { widths.push_back(window->ScaleWidth()); });
    EXPECT_TRUE(widths.empty()) << "not before it shows";
    window->Show();
    EXPECT_EQ(widths, std::vector<float>{312.0f});

    const HWND hwnd = Hwnd(window->Handle());
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + 20, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(hwnd, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // a move only
    EXPECT_EQ(widths, (std::vector<float>{312.0f, 332.0f}));
    EXPECT_EQ(window->ScaleHeight(), 231.0f);
}

TEST_F(WindowsTest, ShowingAShownWindowRestoresItFromTheTaskBar) {
    auto main = Main();
    const HWND hwnd = Hwnd(main->Handle());
    main->Minimise();
    EXPECT_TRUE(IsIconic(hwnd));
    main->Show();
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(WindowsTest, UnloadDestroysTheOwnedWindowsFirstAndRaisesUnloadedOnce) {
    auto main = Main();
    auto about = System().CreateWindow(ui::AboutLayout());
    about->Show(main.get());
    const HWND mainHwnd = Hwnd(main->Handle());
    const HWND aboutHwnd = Hwnd(about->Handle());
    std::vector<std::string> unloaded;
    main->Unloaded.Connect([&] { unloaded.emplace_back("main"); });
    about->Unloaded.Connect([&] { unloaded.emplace_back("about"); });

    main->Unload();
    main->Unload();  // a second time changes nothing

    EXPECT_EQ(unloaded, (std::vector<std::string>{"about", "main"}));
    EXPECT_FALSE(main->IsLoaded());
    EXPECT_FALSE(about->IsLoaded());
    EXPECT_FALSE(IsWindow(mainHwnd));
    EXPECT_FALSE(IsWindow(aboutHwnd));
    EXPECT_EQ(main->Handle(), 0u);
}

TEST_F(WindowsTest, AnUnloadedWindowsControlsRefuseEveryOperation) {
    auto main = Main();
    IControl& text = main->Control("Text1");
    main->Unload();

    EXPECT_EQ(&main->Control("Text1"), &text) << "the objects stay";
    const std::vector<std::pair<const char*, std::function<void()>>> operations{
        {"Text", [&] { static_cast<void>(main->Get<ITextBox>("Text1").Text()); }},
        {"SetText", [&] { main->Get<ITextBox>("Text1").SetText("1"); }},
        {"SetCaption", [&] { main->Get<ILabel>("lblBMI").SetCaption("1"); }},
        {"Move", [&] { main->Get<ILabel>("lblBMI").Move(1, 1); }},
        {"AddItem", [&] { main->Get<IListBox>("List1").AddItem("x"); }},
        {"SetValue", [&] { main->Get<IOptionButton>("optWeightUnit", 0).SetValue(true); }},
        {"Timer", [&] { main->Get<ITimer>("Timer1").SetEnabled(true); }},
        {"Show", [&] { main->Show(); }},
        {"Minimise", [&] { main->Minimise(); }},
    };
    for (const auto& [name, operation] : operations) {
        EXPECT_THROW(operation(), PlatformError) << name;
    }
}

TEST_F(WindowsTest, TheCloseBoxUnloadsTheWindowAsUnloadDoes) {
    auto about = System().CreateWindow(ui::AboutLayout());
    about->Show();
    int unloaded = 0;
    about->Unloaded.Connect([&] { ++unloaded; });
    SendMessageW(Hwnd(about->Handle()), WM_CLOSE, 0, 0);
    EXPECT_EQ(unloaded, 1);
    EXPECT_FALSE(about->IsLoaded());
}

TEST_F(WindowsTest, AFailingUnloadedHandlerEndsInTheWindowProcedure) {
    auto about = System().CreateWindow(ui::AboutLayout());
    about->Show();
    about->Unloaded.Connect([] { throw PlatformError("handler failed"); });
    EXPECT_NO_THROW(SendMessageW(Hwnd(about->Handle()), WM_CLOSE, 0, 0));
    EXPECT_FALSE(about->IsLoaded());
}

TEST_F(WindowsTest, TheMessageLoopEndsWhenTheLastWindowGoes) {
    auto main = Main();
    auto about = System().CreateWindow(ui::AboutLayout());
    about->Show(main.get());
    PostMessageW(Hwnd(about->Handle()), WM_CLOSE, 0, 0);
    PostMessageW(Hwnd(main->Handle()), WM_CLOSE, 0, 0);
    EXPECT_EQ(System().Run(), 0);
    EXPECT_FALSE(main->IsLoaded());
}

TEST_F(WindowsTest, DoEventsLeavesTheQuitRequestForTheLoop) {
    PostQuitMessage(7);
    System().DoEvents();
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace ponderix::platform::win32::test
