// The window-system contract, for every backend alike.
#include <algorithm>
#include <string>

#include "platform/core/LayoutSupport.h"
#include "platform/tests/conformance/Conformance.h"

namespace ponderix::platform::conformance {
namespace {

constexpr Colour Grey = Colour::Rgb(128, 128, 128);
constexpr Colour Silver = Colour::Rgb(192, 192, 192);

constexpr UserControlDesign RecorderDesign{
    .ClassId = Recorder::ClassId, .Width = 600, .Height = 450};

constexpr ControlSpec TestControls[] = {
    {.Kind = ControlKind::UserControl,
     .Name = "rec",
     .Rect = {4500, 300, 900, 600},
     .ClassId = Recorder::ClassId},
    {.Kind = ControlKind::Frame,
     .Name = "fraUnits",
     .Rect = {300, 1500, 3000, 1500},
     .BackColour = Grey,
     .TabIndex = 0},
    {.Kind = ControlKind::Frame,
     .Name = "fraOther",
     .Rect = {3600, 1500, 2100, 1500},
     .BackColour = Grey,
     .TabIndex = 5},
    {.Kind = ControlKind::Label,
     .Name = "lblCaption",
     .Rect = {300, 300, 3000, 600},
     .Caption = "Caption",
     .BackColour = Silver,
     .TabIndex = 7},
    {.Kind = ControlKind::Timer, .Name = "tmrTick", .Enabled = false, .IntervalMs = 100},
    {.Kind = ControlKind::TextBox,
     .Name = "txtWeight",
     .Container = "fraUnits",
     .Rect = {150, 150, 1200, 450},
     .Caption = "70.5",
     .BackColour = Silver,
     .TabIndex = 1},
    {.Kind = ControlKind::OptionButton,
     .Name = "opt",
     .Index = 0,
     .Container = "fraUnits",
     .Rect = {150, 900, 1200, 300},
     .Caption = "Kilograms",
     .BackColour = Silver,
     .TabIndex = 3},
    {.Kind = ControlKind::OptionButton,
     .Name = "opt",
     .Index = 1,
     .Container = "fraUnits",
     .Rect = {1500, 900, 1350, 300},
     .Caption = "Pounds",
     .BackColour = Silver,
     .TabIndex = 4,
     .Value = true},
    {.Kind = ControlKind::ListBox,
     .Name = "lstHeight",
     .Container = "fraOther",
     .Rect = {150, 150, 1800, 600},
     .BackColour = Silver,
     .TabIndex = 2},
    {.Kind = ControlKind::OptionButton,
     .Name = "optOther",
     .Index = 0,
     .Container = "fraOther",
     .Rect = {150, 900, 1500, 300},
     .Caption = "Alone",
     .BackColour = Silver,
     .TabIndex = 6},
};

constexpr WindowSpec TestWindow{.Name = "fConformance",
                                .Caption = "Conformance",
                                .InnerWidth = 6000,
                                .InnerHeight = 4500,
                                .Controls = TestControls};

constexpr ControlSpec DialogControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblText",
     .Rect = {150, 150, 2700, 600},
     .Caption = "Owned"},
};

constexpr WindowSpec DialogWindow{.Name = "fDialog",
                                  .Caption = "Dialog",
                                  .Border = WindowBorder::FixedDialog,
                                  .InnerWidth = 3000,
                                  .InnerHeight = 1500,
                                  .ShowInTaskBar = false,
                                  .StartPosition = StartPosition::CentreOwner,
                                  .Controls = DialogControls};

// Larger than any screen the tests run on: 2000 x 1600 pixels at 96 dpi.
constexpr WindowSpec HugeWindow{.Name = "fHuge",
                                .Caption = "Huge",
                                .InnerWidth = 30000,
                                .InnerHeight = 24000,
                                .Controls = DialogControls};

constexpr UserControlDesign ButtonDesign{.ClassId = ButtonRecorder::ClassId,
                                         .Width = 600,
                                         .Height = 450,
                                         .CanFocus = true,
                                         .Role = AccessibleRole::PushButton};

constexpr ControlSpec KeyboardControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblHeading",
     .Rect = {300, 150, 1500, 300},
     .Caption = " Weight:",
     .BackColour = Silver,
     .TabIndex = 7},
    {.Kind = ControlKind::TextBox,
     .Name = "txtWeight",
     .Rect = {300, 450, 1500, 450},
     .Caption = "70",
     .BackColour = Silver,
     .TabIndex = 0,
     .LabelledBy = "lblHeading"},
    {.Kind = ControlKind::ListBox,
     .Name = "lstHeight",
     .Rect = {2100, 150, 1500, 900},
     .BackColour = Silver,
     .TabIndex = 1,
     .AccessibleName = "Height"},
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 0,
     .Rect = {300, 1200, 1500, 300},
     .Caption = "&Kilograms",
     .BackColour = Silver,
     .TabIndex = 2,
     .Value = true},
    {.Kind = ControlKind::UserControl,
     .Name = "rec",
     .Rect = {300, 1800, 900, 600},
     .TabIndex = 3,
     .ClassId = Recorder::ClassId},
    {.Kind = ControlKind::UserControl,
     .Name = "btnGo",
     .Rect = {1500, 1800, 900, 600},
     .TabIndex = 4,
     .ClassId = ButtonRecorder::ClassId,
     .Default = true,
     .AccessibleName = "Go"},
    {.Kind = ControlKind::UserControl,
     .Name = "btnOther",
     .Rect = {2700, 1800, 900, 600},
     .TabIndex = 5,
     .ClassId = ButtonRecorder::ClassId},
    {.Kind = ControlKind::Label,
     .Name = "lblLink",
     .Rect = {300, 3000, 1500, 300},
     .Caption = "Example",
     .Cursor = CursorShape::Hand,
     .TabIndex = 8,
     .Role = AccessibleRole::Link},
    {.Kind = ControlKind::Frame,
     .Name = "fraBox",
     .Rect = {4000, 150, 1500, 1500},
     .Caption = "Units",
     .BackColour = Grey,
     .TabIndex = 9},
};

constexpr WindowSpec KeyboardWindow{.Name = "fKeys",
                                    .Caption = "Keys",
                                    .InnerWidth = 6000,
                                    .InnerHeight = 4500,
                                    .Controls = KeyboardControls};

constexpr WindowSpec EscapeDialog{.Name = "fEscape",
                                  .Caption = "Escape",
                                  .Border = WindowBorder::FixedDialog,
                                  .InnerWidth = 3000,
                                  .InnerHeight = 1500,
                                  .ShowInTaskBar = false,
                                  .StartPosition = StartPosition::CentreOwner,
                                  .Controls = DialogControls,
                                  .CloseOnEscape = true};

template <typename T>
T& Get(IWindow& window, std::string_view name, int index = NoIndex) {
    return window.Get<T>(name, index);
}

}  // namespace

// ---------------------------------------------------------------------------
// The fixture

UserControlClass Recorder::Class() {
    return {&RecorderDesign,
            [](IUserControlSite& site) { return std::make_unique<Recorder>(site); }};
}

UserControlClass ButtonRecorder::Class() {
    return {&ButtonDesign, [](IUserControlSite& site) { return std::make_unique<Recorder>(site); }};
}

void Recorder::UserControl_ReadProperties(const PropertyBag& /*bag*/) {
    Log.emplace_back("Read");
}

int Recorder::Count(std::string_view entry) const {
    return static_cast<int>(std::count(Log.begin(), Log.end(), entry));
}

const WindowSpec& TestLayout() {
    return TestWindow;
}

const WindowSpec& DialogLayout() {
    return DialogWindow;
}

const WindowSpec& KeyboardLayout() {
    return KeyboardWindow;
}

const WindowSpec& EscapeDialogLayout() {
    return EscapeDialog;
}

void ConformanceTest::SetUp() {
    m_Driver = GetParam().MakeDriver();
    System().RegisterUserControl(Recorder::Class());
    System().RegisterUserControl(ButtonRecorder::Class());
}

void ConformanceTest::TearDown() {
    m_Window.reset();
    m_Driver.reset();
}

IWindow& ConformanceTest::Shown() {
    m_Window = System().CreateWindow(TestWindow);
    m_Window->Show();
    Desktop().Pump(20);
    return *m_Window;
}

IWindow& ConformanceTest::ShownKeyboardWindow() {
    m_Window = System().CreateWindow(KeyboardWindow);
    m_Window->Show();
    Desktop().Pump(20);
    return *m_Window;
}

void ConformanceTest::Press(std::int16_t keyCode, std::int16_t shift) {
    Desktop().PressKey(keyCode, shift);
    Desktop().Pump(20);
}

void ConformanceTest::Tabs(int count) {
    for (int i = 0; i < count; ++i) {
        Desktop().PressTab(false);
    }
    Desktop().Pump(20);
}

ScreenPoint ConformanceTest::Centre(IWindow& window, std::string_view key) {
    const WholePixelRect rect = Desktop().ScreenRect(window, key);
    return {rect.Left + rect.Width / 2, rect.Top + rect.Height / 2};
}

// ---------------------------------------------------------------------------
// Controls and their properties

TEST_P(ConformanceTest, ControlsAreFoundByNameAndIndexAndOthersRefused) {
    IWindow& window = Shown();
    EXPECT_NO_THROW(Get<IOptionButton>(window, "opt", 1));
    EXPECT_NO_THROW(Get<ITimer>(window, "tmrTick"));
    EXPECT_THROW(window.Control("opt"), PlatformError) << "an array needs its index";
    EXPECT_THROW(window.Control("opt", 2), PlatformError);
    EXPECT_THROW(window.Control("nothing"), PlatformError);
    EXPECT_THROW(Get<ILabel>(window, "txtWeight"), PlatformError) << "not a label";
}

TEST_P(ConformanceTest, LabelPropertiesReadBackWhatWasSetAndRefuseNonsense) {
    auto& label = Get<ILabel>(Shown(), "lblCaption");
    label.SetCaption("Two\rlines & more");
    label.SetFontSize(17.25f);
    label.SetForeColour(Colour::Rgb(200, 0, 0));
    EXPECT_EQ(label.Caption(), "Two\rlines & more");
    EXPECT_EQ(label.FontSize(), 17.25f);
    EXPECT_EQ(label.ForeColour(), Colour::Rgb(200, 0, 0));
    for (const float nonsense : {0.0f, -3.0f, 1e9f}) {
        EXPECT_THROW(label.SetFontSize(nonsense), PlatformError) << nonsense;
    }
    EXPECT_EQ(label.FontSize(), 17.25f) << "a refused size changes nothing";
}

TEST_P(ConformanceTest, TextBoxKeepsAnyTextExactly) {
    auto& box = Get<ITextBox>(Shown(), "txtWeight");
    EXPECT_EQ(box.Text(), "70.5") << "the layout's text";
    for (const std::string& text :
         {std::string(), std::string("70,5 kg \xE2\x82\xAC \xF0\x9F\x98\x80 \"quoted\" = &&"),
          std::string(40000, '7')}) {
        box.SetText(text);
        EXPECT_EQ(box.Text(), text) << text.size() << " characters";
    }
}

TEST_P(ConformanceTest, MoveRoundsEdgesToTheNearestPixelAndBoundsReadBackWhatWasSet) {
    IWindow& window = Shown();
    auto& list = Get<IListBox>(window, "lstHeight");
    const WholePixelRect frame = Desktop().ScreenRect(window, "fraOther");
    list.Move(3.5f, 10.25f, 100.5f, 40);
    EXPECT_EQ(list.Bounds(), (PixelRect{3.5f, 10.25f, 100.5f, 40}));
    Desktop().Pump(20);
    const WholePixelRect shown = Desktop().ScreenRect(window, "lstHeight");
    EXPECT_EQ(shown.Left - frame.Left, 4) << "3.5 goes up to 4";
    EXPECT_EQ(shown.Top - frame.Top, 10);
    EXPECT_EQ(shown.Width, 100) << "the right edge, 104, is the nearest pixel to 104";
    EXPECT_EQ(shown.Height, 40);
}

TEST_P(ConformanceTest, ListIndexRules) {
    auto& list = Get<IListBox>(Shown(), "lstHeight");
    EXPECT_EQ(list.ListIndex(), -1) << "nothing is selected at first";
    for (const char* row : {"4'", "4' 1\"", "4' 2\""}) {
        list.AddItem(row);
    }
    EXPECT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(1), "4' 1\"");
    list.SetListIndex(2);
    EXPECT_EQ(list.ListIndex(), 2);
    for (const int wrong : {3, -2, 1000}) {
        EXPECT_THROW(list.SetListIndex(wrong), PlatformError) << wrong;
        EXPECT_EQ(list.ListIndex(), 2) << "a refused index changes nothing";
    }
    EXPECT_THROW(list.List(3), PlatformError);
    EXPECT_THROW(list.List(-1), PlatformError);
    list.SetListIndex(-1);
    EXPECT_EQ(list.ListIndex(), -1) << "-1 clears the selection";
}

TEST_P(ConformanceTest, OptionButtonsOfAFrameFormOneGroupAndClickOnlyForTheUser) {
    IWindow& window = Shown();
    auto& kilograms = Get<IOptionButton>(window, "opt", 0);
    auto& pounds = Get<IOptionButton>(window, "opt", 1);
    auto& other = Get<IOptionButton>(window, "optOther", 0);
    std::vector<std::string> clicks;
    kilograms.Click.Connect([&] {
        clicks.push_back(std::string("kilograms ") + (kilograms.Value() ? "on" : "off") +
                         (pounds.Value() ? ", pounds on" : ", pounds off"));
    });
    pounds.Click.Connect([&] { clicks.emplace_back("pounds"); });

    other.SetValue(true);
    EXPECT_TRUE(pounds.Value()) << "another frame is another group";
    kilograms.SetValue(true);
    EXPECT_FALSE(pounds.Value());
    EXPECT_TRUE(other.Value());
    EXPECT_TRUE(clicks.empty()) << "setting the value is not a click";

    pounds.SetValue(true);
    Desktop().ClickAt(Centre(window, "opt(0)"));
    Desktop().Pump(20);
    EXPECT_EQ(clicks, std::vector<std::string>{"kilograms on, pounds off"})
        << "the user's click selects the button before its Click";
}

TEST_P(ConformanceTest, LabelsAndUserControlsTakeALeftClick) {
    IWindow& window = Shown();
    int labelClicks = 0;
    Get<ILabel>(window, "lblCaption").Click.Connect([&] { ++labelClicks; });
    Desktop().ClickAt(Centre(window, "lblCaption"));
    Desktop().ClickAt(Centre(window, "rec"));
    Desktop().Pump(20);
    EXPECT_EQ(labelClicks, 1);
    std::vector<std::string> log = RecorderOf(window).Log;
    std::erase_if(log, [](const std::string& entry) { return entry.starts_with("Move"); });
    ASSERT_GE(log.size(), 3U);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"Down(1)", "Up(1)", "Click"}));
}

// ---------------------------------------------------------------------------
// The keyboard focus

TEST_P(ConformanceTest, TheFirstControlOfTheTabChainHasTheFocusWithItsTextSelected) {
    IWindow& window = Shown();
    EXPECT_EQ(Desktop().FocusedControl(window), "txtWeight");
    EXPECT_EQ(Desktop().Selection(window, "txtWeight"), (std::pair<int, int>{0, 4}))
        << "a text box that takes the focus from the window selects its whole text";
}

TEST_P(ConformanceTest, TabFollowsTheChainAndEntersAGroupAtItsSelectedButton) {
    IWindow& window = Shown();
    std::vector<std::string> forwards;
    for (int i = 0; i < 4; ++i) {
        Desktop().PressTab(false);
        forwards.push_back(Desktop().FocusedControl(window));
    }
    EXPECT_EQ(forwards,
              (std::vector<std::string>{"lstHeight", "opt(1)", "optOther(0)", "txtWeight"}))
        << "the selected Pounds, never Kilograms; a group with none selected at its first";
    std::vector<std::string> backwards;
    for (int i = 0; i < 4; ++i) {
        Desktop().PressTab(true);
        backwards.push_back(Desktop().FocusedControl(window));
    }
    EXPECT_EQ(backwards,
              (std::vector<std::string>{"optOther(0)", "opt(1)", "lstHeight", "txtWeight"}));
}

TEST_P(ConformanceTest, ArrowKeysMoveWithinAGroupAndSelectAsAClickWould) {
    IWindow& window = Shown();
    auto& kilograms = Get<IOptionButton>(window, "opt", 0);
    auto& pounds = Get<IOptionButton>(window, "opt", 1);
    std::vector<std::string> clicks;
    kilograms.Click.Connect(
        [&] { clicks.push_back(kilograms.Value() ? "kilograms on" : "kilograms off"); });
    pounds.Click.Connect([&] { clicks.push_back(pounds.Value() ? "pounds on" : "pounds off"); });
    Desktop().PressTab(false);
    Desktop().PressTab(false);
    ASSERT_EQ(Desktop().FocusedControl(window), "opt(1)");
    Desktop().PressKey(KeyCode::Left, 0);
    Desktop().Pump(20);
    EXPECT_EQ(Desktop().FocusedControl(window), "opt(0)");
    EXPECT_TRUE(kilograms.Value());
    EXPECT_FALSE(pounds.Value());
    Desktop().PressKey(KeyCode::Right, 0);
    Desktop().Pump(20);
    EXPECT_EQ(Desktop().FocusedControl(window), "opt(1)");
    EXPECT_EQ(clicks, (std::vector<std::string>{"kilograms on", "pounds on"}))
        << "one Click each, with the button already selected";
}

TEST_P(ConformanceTest, TabIntoATextBoxSelectsItsWholeText) {
    IWindow& window = Shown();
    Get<ITextBox>(window, "txtWeight").SetText("123456");
    Desktop().PressTab(false);
    Desktop().PressTab(true);
    EXPECT_EQ(Desktop().FocusedControl(window), "txtWeight");
    EXPECT_EQ(Desktop().Selection(window, "txtWeight"), (std::pair<int, int>{0, 6}));
}

TEST_P(ConformanceTest, TabPassesOverDisabledAndHiddenControls) {
    IWindow& window = Shown();
    Get<IListBox>(window, "lstHeight").SetEnabled(false);
    Get<IVisibleControl>(window, "fraUnits").SetVisible(false);
    Desktop().PressTab(false);
    EXPECT_EQ(Desktop().FocusedControl(window), "optOther(0)");
    Desktop().PressTab(false);
    EXPECT_EQ(Desktop().FocusedControl(window), "optOther(0)") << "the only stop left";
}

// ---------------------------------------------------------------------------
// Timers

TEST_P(ConformanceTest, ATimerTicksWhileEnabledAndNeverFasterThanTheMinimum) {
    auto& timer = Get<ITimer>(Shown(), "tmrTick");
    int ticks = 0;
    timer.Tick.Connect([&] { ++ticks; });
    timer.SetInterval(1);
    EXPECT_EQ(timer.Interval(), 1) << "the interval reads back as set";
    timer.SetEnabled(true);
    Desktop().Pump(200);
    timer.SetEnabled(false);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 200 / MinimumTimerInterval + 1) << "a 1 ms timer ticks every 10 ms at most";
    const int stopped = ticks;
    Desktop().Pump(50);
    EXPECT_EQ(ticks, stopped) << "a disabled timer does not tick";
}

TEST_P(ConformanceTest, ATickWhoseHandlerProcessesMessagesIsNotEnteredAgain) {
    auto& timer = Get<ITimer>(Shown(), "tmrTick");
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    timer.Tick.Connect([&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        if (ticks < 3) {
            Desktop().Pump(40);
        }
        --depth;
    });
    timer.SetInterval(MinimumTimerInterval);
    timer.SetEnabled(true);
    Desktop().Pump(150);
    timer.SetEnabled(false);
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(deepest, 1);
}

TEST_P(ConformanceTest, TimersStopWithTheirWindow) {
    IWindow& window = Shown();
    auto& timer = Get<ITimer>(window, "tmrTick");
    int ticks = 0;
    timer.Tick.Connect([&] { ++ticks; });
    timer.SetInterval(MinimumTimerInterval);
    timer.SetEnabled(true);
    window.Unload();
    Desktop().Pump(60);
    EXPECT_EQ(ticks, 0);
}

TEST_P(ConformanceTest, ATickMayDestroyTheWindowOfItsTimer) {
    auto& timer = Get<ITimer>(Shown(), "tmrTick");
    int ticks = 0;
    timer.Tick.Connect([&] {
        ++ticks;
        m_Window.reset();
    });
    timer.SetInterval(MinimumTimerInterval);
    timer.SetEnabled(true);
    Desktop().Pump(60);
    EXPECT_EQ(ticks, 1);
}

// ---------------------------------------------------------------------------
// Popup menus

TEST_P(ConformanceTest, ReturnInAMenuWithNothingHighlightedClosesItWithNoChoice) {
    IWindow& window = Shown();
    for (int round = 0; round < 2; ++round) {
        const auto menu = System().CreatePopupMenu();
        menu->InsertItem(0, 1001, "Quick Help");
        menu->InsertItem(1, 1000, "About");
        Desktop().WhenMenuOpens({MenuAction::Kind::Return, {}});
        EXPECT_EQ(menu->Track(Centre(window, "lblCaption"), window), 0U) << "round " << round;
    }
}

TEST_P(ConformanceTest, APressOutsideAMenuClosesItAndStillReachesWhatItLandsOn) {
    IWindow& window = Shown();
    int labelClicks = 0;
    Get<ILabel>(window, "lblCaption").Click.Connect([&] { ++labelClicks; });
    const WholePixelRect inner = Desktop().ScreenRect(window, "");
    {
        const auto menu = System().CreatePopupMenu();
        menu->InsertItem(0, 1001, "Quick Help");
        menu->InsertItem(1, 1000, "About");
        // Opened at the window's right edge, so it lies left of that point.
        Desktop().WhenMenuOpens({MenuAction::Kind::PressAt, Centre(window, "lblCaption")});
        EXPECT_EQ(menu->Track({inner.Left + inner.Width - 2, inner.Top + inner.Height / 2}, window),
                  0U);
    }
    Desktop().Pump(50);
    EXPECT_EQ(labelClicks, 1) << "the press that closed the menu is not swallowed";
}

// ---------------------------------------------------------------------------
// Windows

TEST_P(ConformanceTest, ResizeComesOnceWhenAWindowIsFirstShown) {
    m_Window = System().CreateWindow(TestWindow);
    int resizes = 0;
    float width = 0;
    m_Window->Resize.Connect([&] {
        ++resizes;
        width = m_Window->ScaleWidth();
    });
    m_Window->Show();
    Desktop().Pump(50);
    m_Window->Show();
    Desktop().Pump(20);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(width, 400.0f);
    EXPECT_EQ(m_Window->ScaleHeight(), 300.0f);
}

// A window opens centred on its screen's work area (task bars left out); one
// larger than that area opens with its top-left corner on the area's, so that
// what is at its top and left can be reached.
TEST_P(ConformanceTest, AWindowOpensCentredOnTheWorkAreaOrWithItsCornerOnIt) {
    IWindow& window = Shown();
    const WholePixelRect work = Desktop().WorkArea(window);
    const WholePixelRect shown = Desktop().ScreenRect(window, "");  // no frame: all inner area
    EXPECT_NEAR(shown.Left, work.Left + (work.Width - shown.Width) / 2, 1);
    EXPECT_NEAR(shown.Top, work.Top + (work.Height - shown.Height) / 2, 1);

    auto huge = System().CreateWindow(HugeWindow);
    huge->Show();
    Desktop().Pump(20);
    const WholePixelRect large = Desktop().ScreenRect(*huge, "");
    ASSERT_GT(large.Width, work.Width);
    ASSERT_GT(large.Height, work.Height);
    EXPECT_EQ(large.Left, work.Left);
    EXPECT_EQ(large.Top, work.Top);
}

TEST_P(ConformanceTest, AnOwnedWindowHidesWithItsMinimisedOwnerAndComesBackWithIt) {
    IWindow& owner = Shown();
    const auto dialog = System().CreateWindow(DialogWindow);
    dialog->Show(&owner);
    Desktop().Pump(50);
    const WholePixelRect outer = Desktop().ScreenRect(owner, "");
    const WholePixelRect inner = Desktop().ScreenRect(*dialog, "");
    EXPECT_LE(std::abs((inner.Left + inner.Width / 2) - (outer.Left + outer.Width / 2)), 2)
        << "centred across its owner";
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Desktop().IsOnScreen(*dialog)) << "round " << round;
        owner.Minimise();
        Desktop().Pump(50);
        EXPECT_FALSE(Desktop().IsOnScreen(owner));
        EXPECT_FALSE(Desktop().IsOnScreen(*dialog)) << "hidden with its owner";
        Desktop().RestoreByUser(owner);
        Desktop().Pump(50);
        EXPECT_TRUE(Desktop().IsOnScreen(owner));
    }
    EXPECT_TRUE(Desktop().IsOnScreen(*dialog)) << "back with its owner";
}

TEST_P(ConformanceTest, UnloadTakesOwnedWindowsFirstAndEachGoesOnce) {
    IWindow& owner = Shown();
    const auto dialog = System().CreateWindow(DialogWindow);
    dialog->Show(&owner);
    Desktop().Pump(20);
    std::vector<std::string> gone;
    owner.Unloaded.Connect([&] { gone.emplace_back("owner"); });
    dialog->Unloaded.Connect([&] { gone.emplace_back("dialog"); });
    owner.Unload();
    owner.Unload();
    Desktop().Pump(20);
    EXPECT_EQ(gone, (std::vector<std::string>{"dialog", "owner"}));
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_EQ(owner.Handle(), 0U);
}

TEST_P(ConformanceTest, TheCloseBoxUnloadsTheWindow) {
    IWindow& owner = Shown();
    const auto dialog = System().CreateWindow(DialogWindow);
    int gone = 0;
    dialog->Unloaded.Connect([&] { ++gone; });
    dialog->Show(&owner);
    Desktop().Pump(20);
    Desktop().CloseByUser(*dialog);
    Desktop().Pump(20);
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_EQ(gone, 1);
    EXPECT_TRUE(owner.IsLoaded());
}

TEST_P(ConformanceTest, EveryOperationOnAnUnloadedWindowsControlsThrows) {
    IWindow& window = Shown();
    auto& label = Get<ILabel>(window, "lblCaption");
    auto& box = Get<ITextBox>(window, "txtWeight");
    auto& list = Get<IListBox>(window, "lstHeight");
    auto& option = Get<IOptionButton>(window, "opt", 0);
    auto& timer = Get<ITimer>(window, "tmrTick");
    auto& site = dynamic_cast<Recorder&>(window.Get<IUserControlHost>("rec").Instance()).Site;
    window.Unload();
    EXPECT_THROW(label.Caption(), PlatformError);
    EXPECT_THROW(label.SetCaption("x"), PlatformError);
    EXPECT_THROW(label.Bounds(), PlatformError);
    EXPECT_THROW(box.Text(), PlatformError);
    EXPECT_THROW(list.AddItem("x"), PlatformError);
    EXPECT_THROW(list.ListIndex(), PlatformError);
    EXPECT_THROW(option.Value(), PlatformError);
    EXPECT_THROW(timer.SetEnabled(true), PlatformError);
    EXPECT_THROW(site.Handle(), PlatformError);
    EXPECT_THROW(site.Clear(), PlatformError);
    EXPECT_THROW(window.Show(), PlatformError);
}

TEST_P(ConformanceTest, AWindowShownUnderAStillPointerGivesTheControlThereAMove) {
    ScreenPoint over;
    {
        const auto first = System().CreateWindow(TestWindow);
        first->Show();
        Desktop().Pump(20);
        over = Centre(*first, "rec");
    }
    Desktop().MoveCursor(over);
    Desktop().Pump(20);
    IWindow& window = Shown();
    Desktop().Pump(50);
    EXPECT_EQ(Centre(window, "rec"), over) << "the same place as the first window";
    EXPECT_GE(RecorderOf(window).Count("Move(0)"), 1)
        << "the control under the pointer learns it is there without a move of the mouse";
}

// A control learns that the pointer went by asking where it is and what lies
// there: once the pointer has left every window of the program, the answer is
// none of them, whether or not the desktop can say where it went.
TEST_P(ConformanceTest, APointerThatLeftEveryWindowIsOverNoneOfThem) {
    IWindow& window = Shown();
    const WindowHandle surface = RecorderOf(window).Site.Handle();
    Desktop().MoveCursor(Centre(window, "rec"));
    Desktop().Pump(20);
    ASSERT_EQ(System().WindowFromPoint(System().CursorPos()), surface);

    const WholePixelRect shown = Desktop().ScreenRect(window, "");
    Desktop().MovePointerOutOfEveryWindow(
        {shown.Left + shown.Width + 40, shown.Top + shown.Height + 40});
    Desktop().Pump(20);
    for (int poll = 0; poll < 3; ++poll) {
        const WindowHandle under = System().WindowFromPoint(System().CursorPos());
        EXPECT_NE(under, surface) << "poll " << poll;
        EXPECT_NE(under, window.Handle()) << "poll " << poll;
    }

    Desktop().MoveCursor(Centre(window, "rec"));
    Desktop().Pump(20);
    EXPECT_EQ(System().WindowFromPoint(System().CursorPos()), surface) << "back over it";
}

// ---------------------------------------------------------------------------
// Message boxes

TEST_P(ConformanceTest, AMessageBoxReturnsOnceTheUserPressesOk) {
    Shown();
    Desktop().WhenMessageBoxOpens();
    System().ShowErrorMessage("Please specify weight", "Ponderix");
    const auto seen = Desktop().MessagesSeen();
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].Prompt, "Please specify weight");
    EXPECT_EQ(seen[0].Caption, "Ponderix");
}

}  // namespace ponderix::platform::conformance
