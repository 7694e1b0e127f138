// The program's main window on the native backend: how it opens, its title-bar
// keys, and its menu, driven through the same messages the mouse sends.
#include "ui/main/MainWindow.h"

#include "controls/picture_button/PictureButton.h"
#include "platform/win32/tests/Win32TestSupport.h"
#include "ui/info/AboutWindow.h"
#include "ui/info/QuickHelpWindow.h"

namespace ponderix::platform::win32::test {
namespace {

class ProgramTest : public Win32Test {
protected:
    ProgramTest() {
        System().RegisterUserControl(controls::PictureButton::Class());
        m_Main = std::make_unique<ui::MainWindow>(System(), [](std::string_view) {});
        m_Main->Show();
    }

    ui::MainWindow& Main() { return *m_Main; }
    IWindow& Window() { return m_Main->Window(); }

    // A left click on a picture button with the cursor over it.
    void ClickKey(const char* name, int index = NoIndex) {
        const HWND key = Hwnd(Window().Control(name, index));
        PutCursor(key, 10, 10);
        SendMessageW(key, WM_MOUSEMOVE, 0, PointParam(10, 10));
        SendMessageW(key, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(10, 10));
        SendMessageW(key, WM_LBUTTONUP, 0, PointParam(10, 10));
    }

private:
    std::unique_ptr<ui::MainWindow> m_Main;
};

TEST_F(ProgramTest, TheMainWindowOpensWithTheWeightBoxFocusedOverItsPicture) {
    EXPECT_EQ(GetFocus(), Hwnd(Window().Control("Text1")));
    const HWND hwnd = Hwnd(Window().Handle());
    const HWND weightPanel = Hwnd(Window().Control("Frame1"));
    EXPECT_EQ(PixelAt(weightPanel, 5, 5), (Rgb{128, 128, 128})) << "a grey panel";
    EXPECT_EQ(PixelAt(weightPanel, 51, 8), (Rgb{224, 224, 224})) << "its light heading";
    const Rgb legend[] = {{0, 0, 255}, {0, 128, 0}, {255, 128, 64}, {200, 0, 0}, {255, 0, 0}};
    const int swatches[] = {16, 127, 207, 310, 384};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(PixelAt(hwnd, swatches[i] + 10, 380), legend[i]) << "swatch " << i;
    }
    const Bitmap& banner = System().LoadPicture({"banner.bmp"}).Pixels();
    for (const POINT at : {POINT{0, 0}, POINT{187, 30}, POINT{374, 59}}) {
        EXPECT_EQ(PixelAt(hwnd, 16 + at.x, 8 + at.y), Rgb::Of(banner.At(at.x, at.y)))
            << "the banner lies over the name label";
    }
}

TEST_F(ProgramTest, TabGoesFromTheWeightToTheHeightTheSelectedUnitCalculateAndTheThreeKeys) {
    std::vector<HWND> order;
    for (int i = 0; i < 8; ++i) {
        order.push_back(GetFocus());
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        System().DoEvents();
    }
    EXPECT_EQ(order, (std::vector<HWND>{
                         Hwnd(Window().Control("Text1")), Hwnd(Window().Control("List1")),
                         Hwnd(Window().Control("optWeightUnit", 1)),
                         Hwnd(Window().Control("btnCalculate")),
                         Hwnd(Window().Control("btnForm", 0)), Hwnd(Window().Control("btnForm", 1)),
                         Hwnd(Window().Control("btnForm", 2)), Hwnd(Window().Control("Text1"))}));
}

TEST_F(ProgramTest, TheCloseKeyUnloadsTheWindowFromWithinItsOwnClick) {
    const HWND key = Hwnd(Window().Control("btnForm", 2));
    ClickKey("btnForm", 2);
    EXPECT_FALSE(Main().IsLoaded());
    EXPECT_FALSE(IsWindow(key));
}

TEST_F(ProgramTest, TheMinimiseKeyMinimisesTheWindow) {
    ClickKey("btnForm", 1);
    EXPECT_TRUE(IsIconic(Hwnd(Window().Handle())));
}

TEST_F(ProgramTest, TheMenuKeyOpensTheInformationWindowChosenAndNothingWhenDismissed) {
    // Between two clicks the message loop runs, as it does for the user.
    DuringModalLoop([] { EndMenu(); });
    ClickKey("btnForm", 0);
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(Main().About(), nullptr);
    EXPECT_EQ(Main().QuickHelp(), nullptr);

    DuringModalLoop([] { PressKeys({VK_DOWN, VK_DOWN, VK_RETURN}); });
    ClickKey("btnForm", 0);
    PumpFor(std::chrono::milliseconds(50));
    ASSERT_NE(Main().About(), nullptr);
    const HWND about = Hwnd(Main().About()->Window().Handle());
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(GetWindow(about, GW_OWNER), Hwnd(Window().Handle()));

    DuringModalLoop([] { PressKeys({VK_DOWN, VK_RETURN}); });
    ClickKey("btnForm", 0);
    ASSERT_NE(Main().QuickHelp(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Hwnd(Main().QuickHelp()->Window().Handle())));
}

}  // namespace
}  // namespace ponderix::platform::win32::test
