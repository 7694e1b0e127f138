// The controls as native windows and as painted pixels: rectangles from twips,
// fractional moves, stacking, fonts, the text box, list box and option buttons,
// and the labels and images that their container paints.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/win32/tests/Win32TestSupport.h"

namespace ponderix::platform::win32::test {
namespace {

constexpr Colour Teal = Colour::Rgb(0, 128, 128);
constexpr Colour Grey = Colour::Rgb(128, 128, 128);
constexpr Colour Yellow = Colour::Rgb(255, 255, 0);
constexpr Colour Navy = Colour::Rgb(0, 0, 128);
constexpr Colour Red = Colour::Rgb(255, 0, 0);
constexpr FontSpec DialogFont{"MS Sans Serif", 8.25f, 400};
constexpr FontSpec SmallBold{"Tahoma", 8.25f, 700};

class ControlsTest : public Win32Test {
protected:
    // A borderless 488 x 405 teal window with these controls, shown.
    IWindow& Show(std::vector<ControlSpec> controls) {
        m_Controls = std::move(controls);
        m_Layout = {.Name = "fTest",
                    .Caption = "Controls",
                    .InnerWidth = 7320,
                    .InnerHeight = 6075,
                    .BackColour = Teal,
                    .Font = DialogFont,
                    .Controls = m_Controls};
        m_Window = System().CreateWindow(m_Layout);
        m_Window->Show();
        return *m_Window;
    }

    HWND WindowHwnd() const { return Hwnd(m_Window->Handle()); }

    // A left click at a client point of a container, as the mouse makes it.
    static void ClickAt(HWND container, int x, int y) {
        SendMessageW(container, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
        SendMessageW(container, WM_LBUTTONUP, 0, PointParam(x, y));
    }

private:
    std::vector<ControlSpec> m_Controls;
    WindowSpec m_Layout;
    std::unique_ptr<IWindow> m_Window;
};

TEST_F(ControlsTest, RectanglesComeFromTwipsWithEachEdgeOnTheNearestPixel) {
    IWindow& window = Show({
        {.Kind = ControlKind::Frame, .Name = "Panel", .Rect = {360, 3570, 6510, 1650}},
        {.Kind = ControlKind::TextBox,
         .Name = "Key",
         .Container = "Panel",
         .Rect = {180, 535, 2265, 600}},
        {.Kind = ControlKind::ListBox,
         .Name = "Rows",
         .Container = "Panel",
         .Rect = {2685, 420, 3615, 825}},
        {.Kind = ControlKind::OptionButton, .Name = "Unit", .Rect = {1755, 1605, 1065, 255}},
    });
    const struct {
        const char* Key;
        RECT Expected;
    } cases[] = {
        {"Panel", {24, 238, 458, 348}},
        {"Key", {12, 36, 163, 76}},  // 535 twips are 35 2/3 pixels: 36
        {"Rows", {179, 28, 420, 83}},
        {"Unit", {117, 107, 188, 124}},
    };
    for (const auto& c : cases) {
        const RECT placed = PlacedRect(Hwnd(window.Control(c.Key)));
        EXPECT_EQ(placed.left, c.Expected.left) << c.Key;
        EXPECT_EQ(placed.top, c.Expected.top) << c.Key;
        EXPECT_EQ(placed.right, c.Expected.right) << c.Key;
        EXPECT_EQ(placed.bottom, c.Expected.bottom) << c.Key;
    }
}

TEST_F(ControlsTest, AFractionalMoveRoundsTheEdgesAndBoundsKeepTheFractions) {
    IWindow& window =
        Show({{.Kind = ControlKind::TextBox, .Name = "Key", .Rect = {150, 150, 1500, 450}}});
    const struct {
        PixelRect Move;
        RECT Expected;
    } cases[] = {
        {{3.5f, 7.5f, 10.25f, 20.0f}, {4, 8, 14, 28}},
        {{-0.5f, 0.49f, 305.0f, 56.5f}, {0, 0, 305, 57}},
        {{7.5f, 3.5f, 301.0f, 1.0f}, {8, 4, 309, 5}},  // ends where 3.5 + 305 ends
    };
    auto& key = window.Get<ITextBox>("Key");
    for (const auto& c : cases) {
        key.Move(c.Move.Left, c.Move.Top, c.Move.Width, c.Move.Height);
        const RECT placed = PlacedRect(Hwnd(key));
        EXPECT_EQ(placed.left, c.Expected.left);
        EXPECT_EQ(placed.top, c.Expected.top);
        EXPECT_EQ(placed.right, c.Expected.right);
        EXPECT_EQ(placed.bottom, c.Expected.bottom);
        EXPECT_EQ(key.Bounds(), c.Move);
    }
    key.Move(20.25f, 30.75f);  // left and top only
    EXPECT_EQ(key.Bounds(), (PixelRect{20.25f, 30.75f, 301.0f, 1.0f}));
}

TEST_F(ControlsTest, FontsHaveThePixelHeightsOfTheirPointSizesAt96DotsPerInch) {
    const struct {
        float Points;
        LONG Height;
    } cases[] = {{8.25f, -11},  {9.0f, -12},  {9.75f, -13},  {14.25f, -19},
                 {17.25f, -23}, {25.0f, -33}, {26.25f, -35}, {41.25f, -55}};
    std::vector<ControlSpec> controls;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        controls.push_back({.Kind = ControlKind::TextBox,
                            .Name = "Key",
                            .Index = static_cast<int>(i),
                            .Rect = {0, static_cast<int>(i) * 600, 3000, 600},
                            .Font = FontSpec{"Times New Roman", cases[i].Points, 700, true}});
    }
    IWindow& window = Show(std::move(controls));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto font = reinterpret_cast<HFONT>(
            SendMessageW(Hwnd(window.Control("Key", static_cast<int>(i))), WM_GETFONT, 0, 0));
        LOGFONTW face{};
        ASSERT_NE(GetObjectW(font, sizeof face, &face), 0) << cases[i].Points;
        EXPECT_EQ(face.lfHeight, cases[i].Height) << cases[i].Points;
        EXPECT_EQ(face.lfWeight, 700);
        EXPECT_TRUE(face.lfUnderline);
        EXPECT_EQ(face.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(std::wstring(face.lfFaceName), L"Times New Roman");
    }
}

TEST_F(ControlsTest, TextBoxKeepsAnyTextAndTakesItsLooksFromTheLayout) {
    IWindow& window = Show({{.Kind = ControlKind::TextBox,
                             .Name = "Key",
                             .Rect = {255, 735, 1395, 645},
                             .Caption = "140",
                             .BackColour = Colour::Rgb(192, 192, 192),
                             .Border = Border::FlatSingle,
                             .Alignment = Alignment::Right,
                             .Font = FontSpec{"Times New Roman", 26.25f, 400}}});
    auto& key = window.Get<ITextBox>("Key");
    EXPECT_EQ(key.Text(), "140");
    for (const std::string text :
         {"", " 20", "70,5 kg", "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x98\x83", "a\"b=c;d\\e"}) {
        key.SetText(text);
        EXPECT_EQ(key.Text(), text);
    }
    key.SetText("\xE2\x98\x83");  // a snowman is one UTF-16 unit on the native side
    wchar_t native[4] = {};
    GetWindowTextW(Hwnd(key), native, 4);
    EXPECT_EQ(std::wstring(native), L"\u2603");

    EXPECT_TRUE(GetWindowLongPtrW(Hwnd(key), GWL_STYLE) & ES_RIGHT);
    // The flat border: one black pixel all round, outside the client area.
    EXPECT_EQ(ClientSize(Hwnd(key)).cx, 93 - 2);
    EXPECT_EQ(ClientSize(Hwnd(key)).cy, 43 - 2);
    HDC frame = GetWindowDC(Hwnd(key));
    EXPECT_EQ(Rgb::Of(GetPixel(frame, 0, 20)), (Rgb{0, 0, 0}));
    EXPECT_EQ(Rgb::Of(GetPixel(frame, 46, 42)), (Rgb{0, 0, 0}));
    ReleaseDC(Hwnd(key), frame);
    key.SetText("");
    EXPECT_EQ(PixelAt(Hwnd(key), 40, 20), (Rgb{192, 192, 192})) << "its back colour";

    // A five-character weight fits the weight box whole, right-aligned.
    key.SetText("172.5");
    SendMessageW(Hwnd(key), EM_SETSEL, 5, 5);  // the caret at its end, as after typing
    const auto first = static_cast<short>(LOWORD(SendMessageW(Hwnd(key), EM_POSFROMCHAR, 0, 0)));
    EXPECT_GE(first, 0) << "its first digit is not scrolled away";
}

TEST_F(ControlsTest, ListBoxAppendsRowsAndSelectsOneOrNone) {
    IWindow& window = Show({{.Kind = ControlKind::ListBox,
                             .Name = "Rows",
                             .Rect = {255, 630, 2715, 1065},
                             .BackColour = Colour::Rgb(192, 192, 192),
                             .Border = Border::Sunken3D}});
    auto& rows = window.Get<IListBox>("Rows");
    for (const char* row : {"4'", "5' 8\"", "6' 11\"", "\xC3\xA9t\xC3\xA9"}) {
        rows.AddItem(row);
    }
    EXPECT_EQ(rows.ListCount(), 4);
    EXPECT_EQ(rows.List(1), "5' 8\"");
    EXPECT_EQ(rows.List(3), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(rows.ListIndex(), -1) << "nothing selected at first";
    EXPECT_EQ(PixelAt(Hwnd(rows), 100, 60), (Rgb{192, 192, 192})) << "its back colour";

    rows.SetListIndex(2);
    EXPECT_EQ(rows.ListIndex(), 2);
    EXPECT_EQ(SendMessageW(Hwnd(rows), LB_GETCURSEL, 0, 0), 2);
    rows.SetListIndex(-1);
    EXPECT_EQ(rows.ListIndex(), -1);
    for (const int invalid : {-2, 4, 100}) {
        EXPECT_THROW(rows.SetListIndex(invalid), PlatformError) << invalid;
    }
    EXPECT_THROW(static_cast<void>(rows.List(4)), PlatformError);

    for (int row = 4; row < 36; ++row) {
        rows.AddItem(std::to_string(row));
    }
    rows.SetListIndex(35);
    EXPECT_GT(SendMessageW(Hwnd(rows), LB_GETTOPINDEX, 0, 0), 30) << "scrolled to the selection";

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(Hwnd(rows), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Hwnd(rows), GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_VSCROLL) << "more rows than it shows";
    EXPECT_FALSE(style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE) << "the sunken border";
}

TEST_F(ControlsTest, OptionButtonsFormOneGroupPerContainer) {
    IWindow& window = Show({
        {.Kind = ControlKind::Frame, .Name = "Left", .Rect = {0, 0, 3000, 3000}},
        {.Kind = ControlKind::Frame, .Name = "Right", .Rect = {3300, 0, 3000, 3000}},
        {.Kind = ControlKind::OptionButton,
         .Name = "Unit",
         .Index = 0,
         .Container = "Left",
         .Rect = {100, 100, 1500, 255},
         .Caption = "Kilograms",
         .BackColour = Colour::Rgb(192, 192, 192)},
        {.Kind = ControlKind::OptionButton,
         .Name = "Unit",
         .Index = 1,
         .Container = "Left",
         .Rect = {100, 500, 1500, 255},
         .Caption = "Pounds",
         .Value = true},
        {.Kind = ControlKind::OptionButton,
         .Name = "Other",
         .Index = 0,
         .Container = "Right",
         .Rect = {100, 100, 1500, 255},
         .Value = true},
        {.Kind = ControlKind::OptionButton,
         .Name = "Other",
         .Index = 1,
         .Container = "Right",
         .Rect = {100, 500, 1500, 255}},
    });
    auto option = [&](const char* name, int index) -> IOptionButton& {
        return window.Get<IOptionButton>(name, index);
    };
    EXPECT_EQ(PixelAt(Hwnd(option("Unit", 0)), 95, 8), (Rgb{192, 192, 192})) << "its back colour";
    auto checked = [&](const char* name, int index) {
        return SendMessageW(Hwnd(option(name, index)), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    int clicks = 0;
    option("Unit", 0).Click.Connect([&] { ++clicks; });

    option("Unit", 0).SetValue(true);
    EXPECT_TRUE(option("Unit", 0).Value());
    EXPECT_FALSE(option("Unit", 1).Value());
    EXPECT_TRUE(checked("Unit", 0));
    EXPECT_FALSE(checked("Unit", 1));
    EXPECT_TRUE(option("Other", 0).Value()) << "another frame is another group";
    EXPECT_EQ(clicks, 0) << "setting the value is no click";

    option("Unit", 1).SetValue(true);
    SendMessageW(Hwnd(option("Unit", 0)), BM_CLICK, 0, 0);  // the user's click
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(option("Unit", 0).Value());
    EXPECT_FALSE(option("Unit", 1).Value());
    EXPECT_TRUE(checked("Unit", 0));
}

TEST_F(ControlsTest, ChildWindowsStackInRowOrderAndBringToFrontRaisesOne) {
    IWindow& window = Show({
        {.Kind = ControlKind::TextBox, .Name = "First", .Rect = {0, 0, 1500, 450}},
        {.Kind = ControlKind::Label, .Name = "Between", .Rect = {0, 0, 1500, 450}},
        {.Kind = ControlKind::ListBox, .Name = "Second", .Rect = {750, 0, 1500, 450}},
        {.Kind = ControlKind::Frame, .Name = "Third", .Rect = {1500, 0, 1500, 450}},
    });
    auto stack = [&] {
        std::vector<HWND> children;
        for (HWND child = GetWindow(WindowHwnd(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        return children;
    };
    const HWND first = Hwnd(window.Control("First"));
    const HWND second = Hwnd(window.Control("Second"));
    const HWND third = Hwnd(window.Control("Third"));
    EXPECT_EQ(stack(), (std::vector<HWND>{first, second, third}));
    EXPECT_EQ(NativeHandle(window.Control("Between")), 0u) << "labels have no window";

    window.Get<IFrame>("Third").BringToFront();
    EXPECT_EQ(stack(), (std::vector<HWND>{third, first, second}));
}

TEST_F(ControlsTest, LabelsPaintTheirBackBorderAndTextOverTheContainer) {
    IWindow& window = Show({
        {.Kind = ControlKind::Label,
         .Name = "Opaque",
         .Rect = {150, 150, 1500, 450},
         .BackColour = Yellow,
         .Border = Border::FlatSingle},
        {.Kind = ControlKind::Label,
         .Name = "Sunken",
         .Rect = {1800, 150, 1500, 450},
         .BackColour = Navy,
         .Border = Border::Sunken3D},
        {.Kind = ControlKind::Label,
         .Name = "Clear",
         .Rect = {150, 900, 3000, 900},
         .Caption = "WWW",
         .ForeColour = Red,
         .Font = FontSpec{"Arial", 41.25f, 700}},
    });
    const HWND hwnd = WindowHwnd();
    EXPECT_EQ(PixelAt(hwnd, 10, 10), (Rgb{0, 0, 0})) << "flat border at the corner";
    EXPECT_EQ(PixelAt(hwnd, 50, 20), (Rgb{255, 255, 0})) << "opaque back colour";
    EXPECT_EQ(PixelAt(hwnd, 120, 10), Rgb::Of(GetSysColor(COLOR_BTNSHADOW))) << "sunken edge";
    EXPECT_EQ(PixelAt(hwnd, 160, 20), (Rgb{0, 0, 128}));
    EXPECT_EQ(PixelAt(hwnd, 195, 115), (Rgb{0, 128, 128})) << "a transparent back shows the window";
    int red = 0;
    for (int y = 60; y < 120; ++y) {
        for (int x = 10; x < 200; x += 2) {
            red += PixelAt(hwnd, x, y) == Rgb{255, 0, 0} ? 1 : 0;
        }
    }
    EXPECT_GT(red, 100) << "the text in its colour";

    window.Get<ILabel>("Opaque").SetVisible(false);
    EXPECT_EQ(PixelAt(hwnd, 50, 20), (Rgb{0, 128, 128}));
}

TEST_F(ControlsTest, ThePlatformsColoursAreTheDesktopsColoursOfTheirRoles) {
    const struct {
        SystemColour Role;
        int Index;
    } cases[] = {{SystemColour::WindowText, COLOR_WINDOWTEXT},
                 {SystemColour::ControlText, COLOR_BTNTEXT},
                 {SystemColour::ButtonFace, COLOR_BTNFACE}};
    std::vector<ControlSpec> controls;
    for (int i = 0; i < 3; ++i) {
        controls.push_back({.Kind = ControlKind::Label,
                            .Name = "Swatch",
                            .Index = i,
                            .Rect = {i * 600, 0, 300, 300},
                            .BackColour = Colour::System(cases[i].Role)});
    }
    Show(std::move(controls));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PixelAt(WindowHwnd(), i * 40 + 10, 10), Rgb::Of(GetSysColor(cases[i].Index)))
            << i;
    }
}

TEST_F(ControlsTest, LabelLinesBreakAtCarriageReturnsAloneOrWithLineFeeds) {
    const ControlSpec fitted{
        .Kind = ControlKind::Label, .Rect = {0, 0, 300, 195}, .Font = SmallBold, .AutoSize = true};
    std::vector<ControlSpec> controls;
    const char* captions[] = {"Ab", "Ab\rCd", "Ab\r\nCd", "Ab\r\rCd"};
    for (int i = 0; i < 4; ++i) {
        ControlSpec label = fitted;
        label.Name = "Fitted";
        label.Index = i;
        label.Rect.Top = i * 1500;
        label.Caption = captions[i];
        controls.push_back(label);
    }
    IWindow& window = Show(std::move(controls));
    const float line = window.Get<ILabel>("Fitted", 0).Bounds().Height;
    EXPECT_GT(line, 0.0f);
    EXPECT_EQ(window.Get<ILabel>("Fitted", 1).Bounds().Height, 2 * line);
    EXPECT_EQ(window.Get<ILabel>("Fitted", 2).Bounds().Height, 2 * line);
    EXPECT_EQ(window.Get<ILabel>("Fitted", 3).Bounds().Height, 3 * line);
    EXPECT_EQ(window.Get<ILabel>("Fitted", 1).Caption(), "Ab\rCd") << "the caption as given";
}

TEST_F(ControlsTest, AutoSizeLabelsFitTheirOneLineTextWithAmpersandsDoubled) {
    IWindow& window = Show({
        {.Kind = ControlKind::Label,
         .Name = "Range",
         .Rect = {540, 5595, 1305, 195},
         .Caption = " = Underweight",
         .Font = SmallBold,
         .AutoSize = true},
        {.Kind = ControlKind::Label,
         .Name = "Amp",
         .Rect = {540, 300, 100, 195},
         .Caption = "You && me",
         .Font = SmallBold,
         .AutoSize = true},
    });
    HDC dc = GetDC(nullptr);
    HFONT font =
        CreateFontW(-11, 0, 0, 0, 700, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HGDIOBJ initial = SelectObject(dc, font);
    SIZE range{};
    GetTextExtentPoint32W(dc, L" = Underweight", 14, &range);
    SIZE amp{};
    GetTextExtentPoint32W(dc, L"You & me", 8, &amp);
    SelectObject(dc, initial);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);

    const PixelRect fitted = window.Get<ILabel>("Range").Bounds();
    EXPECT_EQ(fitted.Left, 36.0f) << "the left edge stays";
    EXPECT_EQ(fitted.Width, static_cast<float>(range.cx));
    EXPECT_EQ(fitted.Height, static_cast<float>(range.cy));
    EXPECT_EQ(window.Get<ILabel>("Amp").Bounds().Width, static_cast<float>(amp.cx));

    auto& label = window.Get<ILabel>("Range");
    label.SetCaption(" = Normal");
    EXPECT_LT(label.Bounds().Width, fitted.Width);
    label.SetFontSize(17.25f);
    EXPECT_GT(label.Bounds().Height, fitted.Height);
    EXPECT_EQ(label.FontSize(), 17.25f);
}

TEST_F(ControlsTest, ClicksGoToTheTopmostShownEnabledLabelUnderTheMouse) {
    IWindow& window = Show({
        {.Kind = ControlKind::Label, .Name = "Link", .Rect = {300, 300, 1500, 300}},
        {.Kind = ControlKind::Label,
         .Name = "Text",
         .Rect = {150, 150, 3000, 1500},
         .BackColour = Navy},
        {.Kind = ControlKind::Image, .Name = "Banner", .Rect = {4500, 150, 1500, 900}},
    });
    std::vector<std::string> clicks;
    window.Get<ILabel>("Link").Click.Connect([&] { clicks.emplace_back("Link"); });
    window.Get<ILabel>("Text").Click.Connect([&] { clicks.emplace_back("Text"); });
    window.Get<IImage>("Banner").Click.Connect([&] { clicks.emplace_back("Banner"); });
    const HWND hwnd = WindowHwnd();

    ClickAt(hwnd, 30, 25);    // over both: the link lies on top
    ClickAt(hwnd, 150, 80);   // the text alone
    ClickAt(hwnd, 310, 30);   // the image
    ClickAt(hwnd, 450, 300);  // nothing
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(30, 25));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, PointParam(150, 80));  // released elsewhere
    window.Get<ILabel>("Link").SetEnabled(false);
    ClickAt(hwnd, 30, 25);  // a disabled label takes no click
    window.Get<ILabel>("Link").SetEnabled(true);
    window.Get<ILabel>("Link").SetVisible(false);
    ClickAt(hwnd, 30, 25);  // a hidden one lets the one below have it
    EXPECT_EQ(clicks, (std::vector<std::string>{"Link", "Text", "Banner", "Text"}));
}

TEST_F(ControlsTest, AFailingClickHandlerEndsInTheWindowProcedure) {
    IWindow& window =
        Show({{.Kind = ControlKind::Label, .Name = "Link", .Rect = {300, 300, 1500, 300}}});
    window.Get<ILabel>("Link").Click.Connect([] { throw PlatformError("handler failed"); });
    EXPECT_NO_THROW(ClickAt(WindowHwnd(), 30, 25));
}

TEST_F(ControlsTest, TheHandCursorShowsOverTheControlsThatAskForIt) {
    IWindow& window = Show({
        {.Kind = ControlKind::Label,
         .Name = "Link",
         .Rect = {300, 300, 1500, 300},
         .Cursor = CursorShape::Hand},
        {.Kind = ControlKind::Label, .Name = "Plain", .Rect = {3000, 300, 1500, 300}},
    });
    static_cast<void>(window);
    const HWND hwnd = WindowHwnd();
    const HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2));
    ASSERT_NE(hand, nullptr) << "the hand cursor resource";
    auto cursorAt = [&](int x, int y) {
        PutCursor(hwnd, x, y);
        SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(30, 25), hand);
    EXPECT_NE(cursorAt(210, 25), hand);
    EXPECT_NE(cursorAt(400, 300), hand);
}

TEST_F(ControlsTest, PicturesShowAtNaturalSizeClippedToTheirControl) {
    const Picture banner = System().LoadPicture({"banner.bmp"});
    IWindow& window = Show({{.Kind = ControlKind::Image,
                             .Name = "Banner",
                             .Rect = {240, 120, 3000, 600},
                             .Picture = AssetName{"banner.bmp"}}});
    static_cast<void>(window);
    const HWND hwnd = WindowHwnd();
    const Bitmap& pixels = banner.Pixels();
    for (const POINT at : {POINT{0, 0}, POINT{100, 30}, POINT{199, 39}}) {
        EXPECT_EQ(PixelAt(hwnd, 16 + at.x, 8 + at.y), Rgb::Of(pixels.At(at.x, at.y)))
            << at.x << ", " << at.y;
    }
    EXPECT_EQ(PixelAt(hwnd, 16 + 200, 8 + 10), (Rgb{0, 128, 128})) << "cut off at the control";
}

TEST_F(ControlsTest, TheWindowPictureStartsAtTheTopLeftCornerAtNaturalSize) {
    const Picture background = System().LoadPicture({"background.bmp"});
    static const WindowSpec layout{.Name = "fPicture",
                                   .Caption = "Picture",
                                   .InnerWidth = 7320,
                                   .InnerHeight = 6075,
                                   .BackColour = Red,
                                   .Picture = AssetName{"background.bmp"},
                                   .Font = DialogFont};
    auto window = System().CreateWindow(layout);
    window->Show();
    const HWND hwnd = Hwnd(window->Handle());
    const Bitmap& pixels = background.Pixels();
    EXPECT_EQ(pixels.Width, 489) << "one pixel larger than the window";
    for (const POINT at : {POINT{0, 0}, POINT{3, 3}, POINT{20, 100}, POINT{487, 404}}) {
        EXPECT_EQ(PixelAt(hwnd, at.x, at.y), Rgb::Of(pixels.At(at.x, at.y)))
            << at.x << ", " << at.y;
    }
}

TEST_F(ControlsTest, TabMovesTheFocusAlongTheTabOrderPastWhatCannotTakeIt) {
    IWindow& window = Show({
        {.Kind = ControlKind::TextBox, .Name = "Weight", .Rect = {0, 0, 1500, 450}, .TabIndex = 2},
        {.Kind = ControlKind::Label, .Name = "Caption", .Rect = {0, 600, 1500, 450}, .TabIndex = 0},
        {.Kind = ControlKind::ListBox,
         .Name = "Height",
         .Rect = {0, 1200, 1500, 900},
         .TabIndex = 1},
        {.Kind = ControlKind::OptionButton,
         .Name = "Unit",
         .Index = 0,
         .Rect = {0, 2400, 1500, 255},
         .TabIndex = 3},
        {.Kind = ControlKind::OptionButton,
         .Name = "Unit",
         .Index = 1,
         .Rect = {0, 2800, 1500, 255},
         .TabIndex = 4,
         .Value = true},
        {.Kind = ControlKind::TextBox,
         .Name = "Spare",
         .Rect = {0, 3200, 1500, 450},
         .TabIndex = 5},
    });
    const HWND weight = Hwnd(window.Control("Weight"));
    const HWND height = Hwnd(window.Control("Height"));
    const HWND pounds = Hwnd(window.Control("Unit", 1));
    const HWND spare = Hwnd(window.Control("Spare"));
    EXPECT_EQ(GetFocus(), height) << "the first control that can take the focus";

    auto tab = [&](bool backwards) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = backwards ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        System().DoEvents();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return GetFocus();
    };
    EXPECT_EQ(tab(false), weight);
    EXPECT_EQ(tab(false), pounds) << "a group takes the focus at its selected button";
    EXPECT_EQ(tab(false), spare);
    EXPECT_EQ(tab(false), height) << "round again";
    EXPECT_EQ(tab(true), spare);
    window.Get<IListBox>("Height").SetEnabled(false);
    window.Get<ITextBox>("Weight").SetVisible(false);
    EXPECT_EQ(tab(false), pounds) << "past a disabled and a hidden control";
    EXPECT_EQ(tab(true), spare);
    EXPECT_TRUE(GetWindowLongPtrW(height, GWL_STYLE) & WS_TABSTOP);
}

}  // namespace
}  // namespace ponderix::platform::win32::test
