// User controls on their surface windows: loading, sizes in twips, the mouse
// as the control hears it, and the picture button's faces as the desktop
// shows them under the real cursor.
#include <string>
#include <vector>

#include "controls/picture_button/PictureButton.h"
#include "platform/win32/tests/Win32TestSupport.h"

namespace ponderix::platform::win32::test {
namespace {

constexpr Colour Teal = Colour::Rgb(0, 128, 128);
constexpr FontSpec DialogFont{"MS Sans Serif", 8.25f, 400};

// A user control that writes down every notification it receives.
class Recorder final : public IUserControl {
public:
    Recorder(IUserControlSite& site, std::vector<std::string>& journal)
        : m_Site(site), m_Journal(journal) {}

    void UserControl_InitProperties() override { m_Journal.emplace_back("init"); }
    void UserControl_ReadProperties(const PropertyBag& bag) override {
        m_Journal.push_back("read " + std::to_string(bag.Size()));
    }
    void UserControl_WriteProperties(PropertyBag&) const override {}
    void UserControl_Resize() override {
        m_Journal.push_back("resize " + Number(m_Site.Width()) + "x" + Number(m_Site.Height()));
    }
    void UserControl_Click() override { m_Journal.emplace_back("click"); }
    void UserControl_DblClick() override { m_Journal.emplace_back("dblclick"); }
    void UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        Mouse("down", button, shift, x, y);
        if (FailOnMouseDown) {
            throw PlatformError("handler failed");
        }
    }
    void UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) override {
        Mouse("move", button, shift, x, y);
    }
    void UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y) override {
        Mouse("up", button, shift, x, y);
    }

    bool FailOnMouseDown = false;

private:
    static std::string Number(float value) { return std::to_string(static_cast<int>(value)); }
    void Mouse(const char* what, std::int16_t button, std::int16_t shift, float x, float y) {
        m_Journal.push_back(std::string(what) + " " + std::to_string(button) + " " +
                            std::to_string(shift) + " " + Number(x) + " " + Number(y));
    }

    IUserControlSite& m_Site;
    std::vector<std::string>& m_Journal;
};

constexpr ControlSpec RecorderChildren[] = {
    {.Kind = ControlKind::Timer, .Name = "tick", .Enabled = false, .IntervalMs = 20},
    {.Kind = ControlKind::PictureBox, .Name = "box", .Rect = {0, 0, 1635, 855}, .Visible = false},
};
constexpr UserControlDesign RecorderDesign{
    .ClassId = "Test.Recorder", .Width = 900, .Height = 855, .Children = RecorderChildren};
constexpr PropertyEntry RecorderProperties[] = {{"_extentx", 3995}, {"_extenty", 1058}};

constexpr PropertyEntry CalculateKey[] = {
    {"picture", AssetName{"calculate.bmp"}},
    {"picturehover", AssetName{"calculate_lit.bmp"}},
    {"picturedown", AssetName{"calculate_lit.bmp"}},
};

class SurfaceTest : public Win32Test {
protected:
    SurfaceTest() {
        System().RegisterUserControl(
            {&RecorderDesign, [this](IUserControlSite& site) -> std::unique_ptr<IUserControl> {
                 m_Site = &site;
                 return std::make_unique<Recorder>(site, m_Journal);
             }});
        System().RegisterUserControl(controls::PictureButton::Class());
        m_Window = System().CreateWindow(Layout);
        m_Window->Show();
    }

    IWindow& Window() { return *m_Window; }
    IUserControlSite& Site() { return *m_Site; }
    HWND Surface() { return Hwnd(Window().Control("Recorder")); }
    Recorder& Instance() { return Window().UserControl<Recorder>("Recorder"); }
    std::vector<std::string> Journal() {
        std::vector<std::string> lines;
        lines.swap(m_Journal);
        return lines;
    }

    static constexpr ControlSpec Controls[] = {
        {.Kind = ControlKind::Frame, .Name = "Panel", .Rect = {360, 3570, 6510, 1650}},
        {.Kind = ControlKind::UserControl,
         .Name = "Recorder",
         .Container = "Panel",
         .Rect = {180, 535, 2265, 600},
         .ClassId = "Test.Recorder",
         .Properties = RecorderProperties},
        {.Kind = ControlKind::UserControl,
         .Name = "btnCalculate",
         .Rect = {300, 300, 2265, 600},
         .ClassId = controls::PictureButton::ClassId,
         .Properties = CalculateKey},
    };
    static constexpr WindowSpec Layout{.Name = "fSurface",
                                       .Caption = "Surfaces",
                                       .InnerWidth = 7320,
                                       .InnerHeight = 6075,
                                       .BackColour = Teal,
                                       .Font = DialogFont,
                                       .Controls = Controls};

private:
    std::vector<std::string> m_Journal;
    IUserControlSite* m_Site = nullptr;
    std::unique_ptr<IWindow> m_Window;
};

TEST_F(SurfaceTest, AControlReadsItsPropertiesThenTakesTheLayoutSizeOnce) {
    EXPECT_EQ(Journal(), (std::vector<std::string>{"read 2", "resize 2265x600"}));
    EXPECT_EQ(ClientSize(Surface()).cx, 151);
    EXPECT_EQ(ClientSize(Surface()).cy, 40);
    const RECT placed = PlacedRect(Surface());
    EXPECT_EQ(placed.left, 12);
    EXPECT_EQ(placed.top, 36);
    EXPECT_EQ(Site().Handle(), NativeHandle(Window().Control("Recorder")));
    EXPECT_EQ(GetWindow(Surface(), GW_CHILD), nullptr) << "a surface has no child windows";
}

TEST_F(SurfaceTest, SizesAreTwipsAndAChangeRaisesResizeFromWithinTheCall) {
    Journal();
    Site().SetWidth(1500);
    EXPECT_EQ(Journal(), std::vector<std::string>{"resize 1500x600"});
    EXPECT_EQ(ClientSize(Surface()).cx, 100);
    Site().SetWidth(1500);
    Site().SetHeight(600);
    EXPECT_TRUE(Journal().empty()) << "the same size is no change";
    auto& host = Window().Get<IUserControlHost>("Recorder");
    host.Move(1.5f, 2.0f, 50, 20);
    EXPECT_EQ(Journal(), std::vector<std::string>{"resize 750x300"});
    EXPECT_EQ(host.Bounds(), (PixelRect{1.5f, 2.0f, 50, 20}));
    EXPECT_EQ(PlacedRect(Surface()).left, 2);
    EXPECT_EQ(Site().Width(), 750.0f);
}

TEST_F(SurfaceTest, MouseMessagesArriveInTwipsWithTheButtonsAndKeysHeld) {
    const struct {
        UINT Message;
        WPARAM Keys;
        int X;
        int Y;
        bool Alt;
        const char* Expected;
    } cases[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 3, 4, false, "down 1 1 45 60"},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 10, -2, false, "move 3 0 150 -30"},
        {WM_MOUSEMOVE, MK_MBUTTON | MK_CONTROL, 1, 1, false, "move 4 2 15 15"},
        {WM_MOUSEMOVE, 0, 200, 7, true, "move 0 4 3000 105"},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL | MK_SHIFT, 0, 0, false, "down 2 3 0 0"},
        {WM_RBUTTONUP, 0, 2, 2, true, "up 2 4 30 30"},
        {WM_MBUTTONDOWN, MK_MBUTTON, 5, 6, false, "down 4 0 75 90"},
        {WM_MBUTTONUP, 0, 5, 6, false, "up 4 0 75 90"},
    };
    Journal();
    for (const auto& c : cases) {
        BYTE keys[256] = {};
        keys[VK_MENU] = c.Alt ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(Surface(), c.Message, c.Keys, PointParam(c.X, c.Y));
        EXPECT_EQ(Journal(), std::vector<std::string>{c.Expected});
    }
    BYTE keys[256] = {};
    SetKeyboardState(keys);
}

TEST_F(SurfaceTest, ClicksFollowTheReleaseAndDoubleClicksReplaceTheSecondPress) {
    const struct {
        const char* Name;
        std::vector<std::pair<UINT, int>> Messages;  // message, x
        std::vector<std::string> Expected;
    } cases[] = {
        {"click",
         {{WM_LBUTTONDOWN, 5}, {WM_LBUTTONUP, 5}},
         {"down 1 0 75 75", "up 1 0 75 75", "click"}},
        {"released outside",
         {{WM_LBUTTONDOWN, 5}, {WM_LBUTTONUP, 160}},
         {"down 1 0 75 75", "up 1 0 2400 75"}},
        {"right button",
         {{WM_RBUTTONDOWN, 5}, {WM_RBUTTONUP, 5}},
         {"down 2 0 75 75", "up 2 0 75 75"}},
        {"double click",
         {{WM_LBUTTONDOWN, 5}, {WM_LBUTTONUP, 5}, {WM_LBUTTONDBLCLK, 5}, {WM_LBUTTONUP, 5}},
         {"down 1 0 75 75", "up 1 0 75 75", "click", "dblclick", "up 1 0 75 75"}},
    };
    for (const auto& c : cases) {
        Journal();
        for (const auto& [message, x] : c.Messages) {
            const bool down = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
            const WPARAM keys = down ? MK_LBUTTON : message == WM_RBUTTONDOWN ? MK_RBUTTON : 0;
            SendMessageW(Surface(), message, keys, PointParam(x, 5));
        }
        EXPECT_EQ(Journal(), c.Expected) << c.Name;
    }
}

TEST_F(SurfaceTest, TheSurfaceHoldsTheMouseWhileAnyButtonIsDown) {
    SendMessageW(Surface(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5));
    EXPECT_EQ(GetCapture(), Surface());
    SendMessageW(Surface(), WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, PointParam(5, 5));
    SendMessageW(Surface(), WM_LBUTTONUP, MK_RBUTTON, PointParam(5, 5));
    EXPECT_EQ(GetCapture(), Surface()) << "the right button is still held";
    SendMessageW(Surface(), WM_RBUTTONUP, 0, PointParam(5, 5));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SurfaceTest, AFailingNotificationEndsInTheWindowProcedure) {
    Instance().FailOnMouseDown = true;
    Journal();
    EXPECT_NO_THROW(SendMessageW(Surface(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5)));
    EXPECT_NO_THROW(SendMessageW(Surface(), WM_LBUTTONUP, 0, PointParam(5, 5)));
    EXPECT_EQ(Journal(), (std::vector<std::string>{"down 1 0 75 75", "up 1 0 75 75", "click"}));
}

TEST_F(SurfaceTest, TheSurfaceShowsWhatWasDrawnLastUntilTheNextClearOrPicture) {
    const Picture key = System().LoadPicture({"calculate.bmp"});
    const Rgb face = Rgb::Of(GetSysColor(COLOR_BTNFACE));
    Site().Clear();
    EXPECT_EQ(PixelAt(Surface(), 75, 20), face);
    Site().DrawPicture(key);
    EXPECT_EQ(PixelAt(Surface(), 75, 20), Rgb::Of(key.Pixels().At(75, 20)));
    EXPECT_EQ(PixelAt(Surface(), 10, 20), Rgb::Of(key.Pixels().At(10, 20)));
    // Covered and uncovered: the window paints again from what it keeps.
    InvalidateRect(Surface(), nullptr, TRUE);
    EXPECT_EQ(PixelAt(Surface(), 10, 20), Rgb::Of(key.Pixels().At(10, 20)));
    EXPECT_THROW(Site().DrawPicture(Picture{}), PlatformError);
    EXPECT_EQ(PixelAt(Surface(), 10, 20), Rgb::Of(key.Pixels().At(10, 20)));
}

TEST_F(SurfaceTest, ChildControlsOfTheDesignAreThereByName) {
    EXPECT_EQ(Site().Timer("tick").Interval(), 20);
    EXPECT_FALSE(Site().Timer("tick").Enabled());
    EXPECT_EQ(Site().PictureBox("box").Width(), 1635.0f);
    EXPECT_THROW(Site().Timer("box"), PlatformError);
    EXPECT_THROW(Site().PictureBox("nothing"), PlatformError);
}

TEST_F(SurfaceTest, AnUnloadedWindowsSurfaceRefusesEveryOperation) {
    ITimer& tick = Site().Timer("tick");
    int ticks = 0;
    tick.Tick.Connect([&] { ++ticks; });
    tick.SetEnabled(true);
    Window().Unload();
    PumpFor(std::chrono::milliseconds(60));
    EXPECT_EQ(ticks, 0) << "its timers stop";
    EXPECT_THROW(static_cast<void>(tick.Enabled()), PlatformError);
    EXPECT_THROW(Site().Clear(), PlatformError);
    EXPECT_THROW(Site().DrawPicture(System().LoadPicture({"calculate.bmp"})), PlatformError);
    EXPECT_THROW(Site().SetWidth(100), PlatformError);
    EXPECT_THROW(static_cast<void>(Site().Handle()), PlatformError);
    EXPECT_THROW(Site().Timer("tick").SetEnabled(true), PlatformError);
}

TEST_F(SurfaceTest, ThePictureButtonShowsItsFacesAsTheRealMouseMoves) {
    auto& button = Window().UserControl<controls::PictureButton>("btnCalculate");
    const HWND surface = Hwnd(Window().Control("btnCalculate"));
    const HWND window = Hwnd(Window().Handle());
    // A point of the key's face, above its lettering.
    const Rgb normal = Rgb::Of(System().LoadPicture({"calculate.bmp"}).Pixels().At(20, 6));
    const Rgb lit = Rgb::Of(System().LoadPicture({"calculate_lit.bmp"}).Pixels().At(20, 6));
    ASSERT_NE(normal, lit);
    int enters = 0;
    int leaves = 0;
    int clicks = 0;
    button.MouseEnter.Connect([&] { ++enters; });
    button.MouseLeave.Connect([&] { ++leaves; });
    button.Click.Connect([&] { ++clicks; });
    auto face = [&] { return PixelAt(surface, 20, 6); };
    EXPECT_EQ(ClientSize(surface).cx, 151) << "sized to its picture";
    EXPECT_EQ(face(), normal);

    PutCursor(surface, 75, 20);
    SendMessageW(surface, WM_MOUSEMOVE, 0, PointParam(75, 20));
    EXPECT_EQ(face(), lit) << "hover";
    EXPECT_EQ(enters, 1);
    SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(75, 20));
    EXPECT_EQ(face(), lit) << "pressed";

    PutCursor(window, 400, 380);  // dragged off, the left button held
    SendMessageW(surface, WM_MOUSEMOVE, MK_LBUTTON, PointParam(-20, 300));
    EXPECT_EQ(face(), normal);
    SendMessageW(surface, WM_LBUTTONUP, 0, PointParam(-20, 300));
    EXPECT_EQ(face(), normal);
    EXPECT_EQ(clicks, 0) << "released elsewhere";
    EXPECT_TRUE(PumpUntil([&] { return leaves == 1; })) << "the polling timer sees it leave";

    PutCursor(surface, 75, 20);
    SendMessageW(surface, WM_MOUSEMOVE, 0, PointParam(75, 20));
    SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(75, 20));
    SendMessageW(surface, WM_LBUTTONUP, 0, PointParam(75, 20));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(face(), lit) << "released over it: hover again";
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(face(), lit) << "still under the cursor";

    PutCursor(window, 400, 380);
    EXPECT_TRUE(PumpUntil([&] { return leaves == 2; }));
    EXPECT_EQ(face(), normal);
    EXPECT_EQ(enters, 2);
}

}  // namespace
}  // namespace ponderix::platform::win32::test
