// The main window's behaviour on the fake window system: loading and the saved
// settings, the calculation and its messages, the blinking, the unit buttons,
// the title-bar keys with the popup menu, the publisher's links, and all of it
// with the keyboard alone and as a screen reader tells it.
#include "ui/main/MainWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calc/Bmi.h"
#include "controls/picture_button/PictureButton.h"
#include "platform/fake/FakeWindowSystem.h"
#include "ui/Product.h"
#include "ui/info/AboutWindow.h"
#include "ui/info/QuickHelpWindow.h"
#include "ui/main/MainLayout.h"

namespace ponderix::ui {
namespace {

using platform::Colour;
using platform::fake::FakeWindow;
using platform::fake::FakeWindowSystem;

constexpr Colour Green = Colour::Rgb(0, 128, 0);
constexpr Colour BrightRed = Colour::Rgb(255, 0, 0);
constexpr Colour DarkRed = Colour::Rgb(175, 0, 0);

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { m_System.RegisterUserControl(controls::PictureButton::Class()); }

    void Start() {
        m_Main = std::make_unique<MainWindow>(
            m_System, [this](std::string_view address) { m_Links.emplace_back(address); });
        m_Main->Show();
    }

    FakeWindow& Window() { return dynamic_cast<FakeWindow&>(m_Main->Window()); }
    platform::ILabel& Label(std::string_view name, int index = platform::NoIndex) {
        return Window().Get<platform::ILabel>(name, index);
    }
    platform::ITextBox& Text1() { return Window().Get<platform::ITextBox>("Text1"); }
    platform::IListBox& List1() { return Window().Get<platform::IListBox>("List1"); }
    platform::ITimer& Timer1() { return Window().Get<platform::ITimer>("Timer1"); }
    bool Option(int index) {
        return Window().Get<platform::IOptionButton>("optWeightUnit", index).Value();
    }

    void Calculate(std::string_view weight, bool kilograms = false, int row = 20) {
        Text1().SetText(weight);
        Window().ClickControl("optWeightUnit", kilograms ? 0 : 1);
        List1().SetListIndex(row);
        Window().UserControlHost("btnCalculate").ClickByUser();
    }
    void ClickKey(int index) { Window().UserControlHost("btnForm", index).ClickByUser(); }

    void Store(std::string_view key, std::string_view value) {
        m_System.StoredSettings()[{"Ponderix", "Settings", std::string(key)}] = value;
    }
    std::optional<std::string> Stored(std::string_view key) {
        const auto& settings = m_System.StoredSettings();
        const auto found = settings.find({"Ponderix", "Settings", std::string(key)});
        return found == settings.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    std::vector<std::string> MessagePrompts() {
        std::vector<std::string> prompts;
        for (const auto& message : m_System.Messages()) {
            EXPECT_EQ(message.Caption, "Ponderix");
            prompts.push_back(message.Prompt);
        }
        return prompts;
    }

    // Everything a failed calculation must leave as it was.
    struct Shown {
        std::string Bmi;
        std::string IdealWeight;
        Colour BmiColour;
        bool Blinking;
        std::optional<std::string> Weight;
        std::optional<std::string> Height;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    Shown WhatIsShown() {
        return {Label("lblBMI").Caption(),
                Label("lblIWeight").Caption(),
                Label("lblBMI").ForeColour(),
                Timer1().Enabled(),
                Stored("Weight"),
                Stored("Height")};
    }

    std::vector<std::string> m_Links;  // the addresses handed to the link opener
    FakeWindowSystem m_System;
    std::unique_ptr<MainWindow> m_Main;
};

// ---------------------------------------------------------------------------
// Loading

TEST_F(MainWindowTest, FirstStartWithoutSettings) {
    Start();
    EXPECT_EQ(Text1().Text(), "140");
    EXPECT_EQ(List1().ListIndex(), 20);
    EXPECT_EQ(List1().List(20), "5' 8\"");
    EXPECT_TRUE(Option(1));
    EXPECT_FALSE(Option(0));
    EXPECT_EQ(Label("lblWeightUnit").Caption(), "Lbs");
    EXPECT_EQ(Label("lblBMI").Caption(), "");
    EXPECT_EQ(Label("lblIWeight").Caption(), "");
    EXPECT_FALSE(Timer1().Enabled());
    EXPECT_TRUE(m_System.StoredSettings().empty()) << "loading saves nothing";
    EXPECT_TRUE(m_System.Messages().empty());
}

TEST_F(MainWindowTest, TheHeightListHoldsTheRowsInOrder) {
    Start();
    ASSERT_EQ(List1().ListCount(), 36);
    const std::pair<int, const char*> rows[] = {{0, "4'"},  {1, "4' 1\""},  {11, "4' 11\""},
                                                {12, "5'"}, {13, "5' 1\""}, {35, "6' 11\""}};
    for (const auto& [row, caption] : rows) {
        EXPECT_EQ(List1().List(row), caption);
    }
}

TEST_F(MainWindowTest, LoadingNamesThePublisherAndProductAndPutsTheBannerOverTheName) {
    Start();
    EXPECT_EQ(Label("lblName", 0).Caption(), "Tarnwick");
    EXPECT_EQ(Label("lblName", 0).FontSize(), 17);
    EXPECT_EQ(Label("lblName", 1).Caption(), "Ponderix");
    EXPECT_EQ(Label("lblName", 1).FontSize(), 9);
    const auto banner = Window().Get<platform::IImage>("imBanner").Bounds();
    const auto name = Label("lblName", 0).Bounds();
    EXPECT_EQ(banner.Left, name.Left);
    EXPECT_EQ(banner.Top, name.Top);
    EXPECT_EQ(banner.Width, 375) << "the banner keeps its size";
}

TEST_F(MainWindowTest, TheStoredWeightIsShownExactly) {
    const std::string weights[] = {"70kg",
                                   " 7 0 ",
                                   "\"80\" = heavy; 'quite'",
                                   "90\r\nkg",
                                   "Gewicht: 75 \xC3\x9F\xE2\x82\xAC",
                                   std::string(10000, '7'),
                                   ""};
    for (const std::string& weight : weights) {
        Store("Weight", weight);
        Start();
        EXPECT_EQ(Text1().Text(), weight);
    }
}

TEST_F(MainWindowTest, TheStoredHeightSelectsItsRowOrFallsBackToTheDefault) {
    struct Case {
        const char* Stored;
        int Row;
    };
    const Case cases[] = {
        {" 35", 35},  {"35", 35},    {" 0", 0},     {"", 0},        {"abc", 0},
        {"20.5", 20}, {"21.5", 22},  {"35.4", 35},  {"-1", -1},     {" 2 7", 27},
        {"&H10", 16}, {"36", 20},    {"35.5", 20},  {"-2", 20},     {"-1.5", 20},
        {"1e10", 20}, {"1e400", 20}, {"40000", 20}, {"-40000", 20}, {"&HFFFFFFFF", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Stored);
        Store("Height", c.Stored);
        Store("Weight", "65");
        Start();
        EXPECT_EQ(List1().ListIndex(), c.Row);
        EXPECT_EQ(Text1().Text(), "65") << "the weight is restored whatever the height holds";
    }
}

// ---------------------------------------------------------------------------
// Calculating

TEST_F(MainWindowTest, CalculatingAtOnceShowsAndSavesTheDefaults) {
    Start();
    Window().UserControlHost("btnCalculate").ClickByUser();
    EXPECT_EQ(Label("lblBMI").Caption(), "21.33");
    EXPECT_EQ(Label("lblBMI").ForeColour(), Green);
    EXPECT_EQ(Label("lblIWeight").Caption(), "Weight for 22.5 BMI : 147.68 lbs");
    EXPECT_EQ(Stored("Weight"), "140");
    EXPECT_EQ(Stored("Height"), " 20");
    EXPECT_FALSE(Timer1().Enabled());
    EXPECT_TRUE(m_System.Messages().empty());
}

TEST_F(MainWindowTest, EachBandShowsItsColourAndOnlyExtremeBlinks) {
    struct Case {
        const char* Weight;
        const char* Bmi;
        Colour Expected;
        bool Blinks;
    };
    const Case cases[] = {
        {"100", "15.24", Colour::Rgb(0, 0, 255), false},
        {"140", "21.33", Green, false},
        {"180", "27.42", Colour::Rgb(255, 128, 64), false},
        {"220", "33.52", Colour::Rgb(200, 0, 0), false},
        {"400", "60.94", BrightRed, true},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Weight);
        Calculate(c.Weight);
        EXPECT_EQ(Label("lblBMI").Caption(), c.Bmi);
        EXPECT_EQ(Label("lblBMI").ForeColour(), c.Expected);
        EXPECT_EQ(Timer1().Enabled(), c.Blinks);
        EXPECT_EQ(Stored("Weight"), c.Weight);
    }
}

TEST_F(MainWindowTest, NumbersUseTheLocalesDecimalSeparator) {
    m_System.SetDecimalSeparator(",");
    Start();
    Calculate("70", true);
    EXPECT_EQ(Label("lblBMI").Caption(), "23,46");
    EXPECT_EQ(Label("lblIWeight").Caption(), "Weight for 22.5 BMI : 67,13 kgs.");
    EXPECT_EQ(Stored("Weight"), "70") << "the weight is kept as typed";
}

TEST_F(MainWindowTest, AnUnusableInputIsReportedAndChangesNothing) {
    struct Case {
        const char* Weight;
        int Row;
        const char* Message;
    };
    const Case cases[] = {
        {"", 20, "Please specify weight"},
        {"abc", 20, "Please specify weight"},
        {"0", 20, "Please specify weight"},
        {"-70", 20, "Please specify weight"},
        {"0.0", 20, "Please specify weight"},
        {"70", -1, "Please specify height"},
        {"", -1, "Please specify weight"},
        {"1e400", 20, MainWindow::WeightTooLargeMessage.data()},
        {"8.2e307", 20, MainWindow::WeightTooLargeMessage.data()},
    };
    Start();
    Calculate("400");  // an extreme result: shown, blinking and saved
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Weight);
        const Shown before = WhatIsShown();
        const std::size_t messages = m_System.Messages().size();
        Text1().SetText(c.Weight);
        Window().ClickControl("optWeightUnit", std::string_view(c.Weight) == "8.2e307" ? 0 : 1);
        List1().SetListIndex(c.Row);
        Window().UserControlHost("btnCalculate").ClickByUser();
        ASSERT_EQ(m_System.Messages().size(), messages + 1);
        EXPECT_EQ(MessagePrompts().back(), c.Message);
        EXPECT_EQ(WhatIsShown(), before);
    }
}

TEST_F(MainWindowTest, AMissingHeightCanOnlyComeFromTheStore) {
    Store("Height", "-1");
    Start();
    Window().UserControlHost("btnCalculate").ClickByUser();
    EXPECT_EQ(MessagePrompts(), std::vector<std::string>{"Please specify height"});
    List1().SetListIndex(35);
    Window().UserControlHost("btnCalculate").ClickByUser();
    EXPECT_EQ(Stored("Height"), " 35");
}

TEST_F(MainWindowTest, WhatWasNotSavedIsToldAndTheResultStays) {
    struct Case {
        const char* Failing;  // the save made to fail, or none
        const char* Damaged;  // where a damaged store is kept aside, or none
        std::optional<std::string> Weight;
        std::optional<std::string> Height;
        std::vector<std::string> Messages;
    };
    const std::string both(MainWindow::NotSavedMessage);
    const Case cases[] = {
        {nullptr, nullptr, "220", " 20", {}},
        {"Settings.SaveSettings", nullptr, "140", " 3", {both}},
        {"Height:Settings.SaveSettings",
         nullptr,
         "220",
         " 3",
         {std::string(MainWindow::HeightNotSavedMessage)}},
        {"Weight:Settings.SaveSettings",
         nullptr,
         "140",
         " 20",
         {std::string(MainWindow::WeightNotSavedMessage)}},
        {nullptr,
         "/home/u/.config/Ponderix/Ponderix.ini.damaged",
         "220",
         " 20",
         {"The settings file could not be read, so it was kept as "
          "/home/u/.config/Ponderix/Ponderix.ini.damaged and replaced with a new one."}},
        {"Settings.SaveSettings", "/kept/aside", "140", " 3", {both}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Failing ? c.Failing : "-") + " " +
                     (c.Damaged ? c.Damaged : "-"));
        const std::size_t before = m_System.Messages().size();
        Store("Weight", "140");
        Store("Height", " 3");
        Start();
        if (c.Failing) {
            m_System.FailOperation(c.Failing);
        }
        if (c.Damaged) {
            m_System.SetDamagedStore(c.Damaged);
        }
        Calculate("220");
        EXPECT_EQ(Label("lblBMI").Caption(), "33.52") << "the result stays";
        EXPECT_EQ(Stored("Weight"), c.Weight);
        EXPECT_EQ(Stored("Height"), c.Height);
        const std::vector<std::string> prompts = MessagePrompts();
        EXPECT_EQ(std::vector<std::string>(prompts.begin() + static_cast<std::ptrdiff_t>(before),
                                           prompts.end()),
                  c.Messages);

        // Once the store takes both values, nothing more is said, but for a
        // damaged store that a failed save did not replace.
        m_System.StopFailing();
        Calculate("140");
        EXPECT_EQ(Stored("Weight"), "140");
        EXPECT_EQ(m_System.Messages().size() - before,
                  c.Messages.size() + (c.Damaged && c.Failing ? 1 : 0));
        m_Main.reset();
    }
}

TEST_F(MainWindowTest, WhatIsTypedIsSavedExactlyAndOnlyUnderWeight) {
    const std::string typed[] = {"70 kg", "80 \"kg\" = [Settings]\nHeight=3",
                                 "75\r\n\xC3\xA9t\xC3\xA9", "90" + std::string(10000, 'x')};
    Start();
    for (const std::string& weight : typed) {
        Calculate(weight, false, 7);
        EXPECT_EQ(Stored("Weight"), weight);
        EXPECT_EQ(Stored("Height"), " 7");
    }
}

TEST_F(MainWindowTest, AKilogramWeightIsRestoredButTheUnitIsNot) {
    Start();
    Calculate("70", true);
    EXPECT_EQ(Label("lblBMI").Caption(), "23.46");
    EXPECT_EQ(Label("lblIWeight").Caption(), "Weight for 22.5 BMI : 67.13 kgs.");
    m_Main.reset();
    Start();
    EXPECT_EQ(Text1().Text(), "70");
    EXPECT_EQ(List1().ListIndex(), 20);
    EXPECT_TRUE(Option(1));
    EXPECT_EQ(Label("lblWeightUnit").Caption(), "Lbs");
}

// ---------------------------------------------------------------------------
// Blinking

TEST_F(MainWindowTest, AnExtremeResultBlinksUntilANormalOne) {
    Start();
    Calculate("400");
    std::vector<Colour> colours;
    for (int tick = 0; tick < 3; ++tick) {
        m_System.AdvanceTime(250);
        colours.push_back(Label("lblBMI").ForeColour());
    }
    EXPECT_EQ(colours, (std::vector<Colour>{BrightRed, DarkRed, BrightRed}));
    EXPECT_EQ(m_System.DoEventsCount(), 3) << "each tick lets pending messages through";

    Calculate("");  // refused: the blinking goes on
    m_System.AdvanceTime(250);
    EXPECT_EQ(Label("lblBMI").ForeColour(), DarkRed);

    Calculate("140");
    m_System.AdvanceTime(1000);
    EXPECT_EQ(Label("lblBMI").ForeColour(), Green);
    EXPECT_FALSE(Timer1().Enabled());
}

TEST_F(MainWindowTest, ThePhaseIsNeverResetSoALaterExtremeResultMayStartDark) {
    Start();
    Calculate("400");
    m_System.AdvanceTime(250);  // phase true
    Calculate("140");
    Calculate("500");
    EXPECT_EQ(Label("lblBMI").ForeColour(), BrightRed);
    m_System.AdvanceTime(250);
    EXPECT_EQ(Label("lblBMI").ForeColour(), DarkRed);
    EXPECT_FALSE(m_Main->BlinkPhase());
}

TEST_F(MainWindowTest, EachExtremeResultStartsTheIntervalAnew) {
    Start();
    Calculate("400");
    m_System.AdvanceTime(200);
    Calculate("450");
    m_System.AdvanceTime(200);
    EXPECT_EQ(m_System.DoEventsCount(), 0) << "no tick 250 ms after the first result";
    m_System.AdvanceTime(50);
    EXPECT_EQ(m_System.DoEventsCount(), 1);
}

// ---------------------------------------------------------------------------
// The unit buttons

TEST_F(MainWindowTest, TheUnitButtonsChangeOnlyTheUnitCaption) {
    Start();
    Calculate("140");
    const Shown result = WhatIsShown();
    const std::pair<int, const char*> clicks[] = {{0, "Kgs."}, {1, "Lbs."}, {0, "Kgs."}};
    for (const auto& [index, caption] : clicks) {
        Window().ClickControl("optWeightUnit", index);
        EXPECT_EQ(Label("lblWeightUnit").Caption(), caption);
        EXPECT_TRUE(Option(index));
        EXPECT_FALSE(Option(1 - index));
        EXPECT_EQ(WhatIsShown(), result);
    }
}

// ---------------------------------------------------------------------------
// The title-bar keys

TEST_F(MainWindowTest, TheMenuKeyOffersQuickHelpAndAboutAndAlwaysDestroysTheMenu) {
    Start();
    for (unsigned choice : {0U, 0U}) {
        m_System.ScriptMenuChoice(choice);
        ClickKey(0);
    }
    ASSERT_EQ(m_System.Menus().size(), 2U);
    for (const auto& menu : m_System.Menus()) {
        EXPECT_EQ(menu.Items, (std::vector<std::pair<unsigned, std::string>>{{1001, "Quick Help"},
                                                                             {1000, "About"}}));
        EXPECT_TRUE(menu.Tracked);
        EXPECT_EQ(menu.Owner, Window().Handle());
        EXPECT_EQ(menu.TrackedAt,
                  Window().UserControlHost("btnForm", 0).ScreenPointOf(157.5f, 157.5f))
            << "opened where the cursor is";
        EXPECT_TRUE(menu.Destroyed);
    }
    EXPECT_EQ(m_System.LoadedWindows().size(), 1U) << "a dismissed menu opens nothing";

    m_System.FailOperation("Menu.Track", 1);
    EXPECT_THROW(ClickKey(0), platform::PlatformError);
    EXPECT_TRUE(m_System.Menus().back().Destroyed);
}

TEST_F(MainWindowTest, EachInformationWindowExistsOnceAndIsRecreatedAfterClosing) {
    struct Case {
        unsigned Item;
        const char* Caption;
    };
    Start();
    for (const Case& c : {Case{1001, "Quick Help"}, Case{1000, "About"}}) {
        SCOPED_TRACE(c.Caption);
        m_System.ScriptMenuChoice(c.Item);
        ClickKey(0);
        FakeWindow* first = m_System.FindLoadedWindow(c.Caption);
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->IsVisibleOnScreen());
        EXPECT_EQ(first->Owner(), &Window());

        m_System.ScriptMenuChoice(c.Item);
        ClickKey(0);
        EXPECT_EQ(m_System.FindLoadedWindow(c.Caption), first) << "shown again, not built again";
        EXPECT_EQ(first->ShowCount(), 2);

        first->CloseByUser();
        EXPECT_EQ(m_System.FindLoadedWindow(c.Caption), nullptr);
        m_System.ScriptMenuChoice(c.Item);
        ClickKey(0);
        ASSERT_NE(m_System.FindLoadedWindow(c.Caption), nullptr);
    }
    EXPECT_EQ(m_Main->About()->Window().Get<platform::ILabel>("lblAbout").Caption(),
              AboutWindow::Description())
        << "the texts are replaced, not appended to";
    EXPECT_EQ(m_Main->QuickHelp()->Window().Get<platform::ILabel>("lblQuickHelp").Caption(),
              QuickHelpWindow::HelpText());
}

TEST_F(MainWindowTest, MinimisingHidesTheOwnedWindowsAndClosingTakesThemAlong) {
    Start();
    for (unsigned item : {1000U, 1001U}) {
        m_System.ScriptMenuChoice(item);
        ClickKey(0);
    }
    ClickKey(1);
    EXPECT_TRUE(Window().IsMinimised());
    for (FakeWindow* window : m_System.LoadedWindows()) {
        EXPECT_FALSE(window->IsVisibleOnScreen()) << window->Layout().Caption;
    }
    Window().Restore();
    EXPECT_TRUE(m_System.FindLoadedWindow("About")->IsVisibleOnScreen());

    ClickKey(2);
    EXPECT_FALSE(m_Main->IsLoaded());
    EXPECT_TRUE(m_System.LoadedWindows().empty()) << "the program ends: no window is left";
    EXPECT_TRUE(m_System.StoredSettings().empty()) << "closing saves nothing";
}

// ---------------------------------------------------------------------------
// The publisher's links

TEST_F(MainWindowTest, TheBannerAndThePublishersNameOpenTheAddress) {
    struct Case {
        const char* Control;
        int Index;
        std::size_t Requests;
    };
    const Case cases[] = {{"imBanner", platform::NoIndex, 1}, {"lblName", 0, 1}, {"lblName", 1, 0}};
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Control + std::to_string(c.Index));
        const std::size_t before = m_Links.size();
        Window().ClickControl(c.Control, c.Index);
        ASSERT_EQ(m_Links.size(), before + c.Requests);
        if (c.Requests != 0) {
            EXPECT_EQ(m_Links.back(), PublisherAddress);
        }
    }
}

// ---------------------------------------------------------------------------
// The keyboard alone

TEST_F(MainWindowTest, TabGoesFromTheWeightToTheHeightTheUnitCalculateAndTheThreeKeys) {
    Start();
    std::vector<std::string> stops;
    for (int i = 0; i < 7; ++i) {
        m_System.PressTab();
        stops.push_back(Window().FocusedControl()->Key());
    }
    EXPECT_EQ(stops, (std::vector<std::string>{"List1", "optWeightUnit(1)", "btnCalculate",
                                               "btnForm(0)", "btnForm(1)", "btnForm(2)", "Text1"}));
}

TEST_F(MainWindowTest, ReturnCalculatesFromTheWeightTheHeightAndTheUnitAsADefaultButton) {
    Start();
    struct Case {
        std::string_view Weight;
        int Row;
    };
    // Text1, then List1, then the selected unit: Tab moves on after each.
    const Case cases[] = {{"70.5", 20}, {"140", 3}, {"180", 10}};
    for (const Case& c : cases) {
        const std::string focus = Window().FocusedControl()->Key();
        Text1().SetText(c.Weight);
        List1().SetListIndex(c.Row);
        Window().UserControlHost("btnCalculate").ClickByUser();
        const Shown clicked = WhatIsShown();
        Label("lblBMI").SetCaption("");
        m_System.StoredSettings().clear();
        m_System.PressKey(platform::KeyCode::Return);
        EXPECT_EQ(WhatIsShown(), clicked) << "Return in " << focus << " does what a click does";
        EXPECT_EQ(Window().FocusedControl()->Key(), focus);
        m_System.PressTab();
    }
    EXPECT_TRUE(m_System.Messages().empty());
    Text1().SetText("");
    m_System.PressKey(platform::KeyCode::Return);
    EXPECT_EQ(MessagePrompts(), std::vector<std::string>{"Please specify weight"});
}

TEST_F(MainWindowTest, SpaceAndReturnPressTheKeysAndTheMenuOpensUnderItsKey) {
    Start();
    for (int i = 0; i < 3; ++i) {
        m_System.PressTab();
    }
    m_System.PressKey(platform::KeyCode::Space);
    EXPECT_EQ(Label("lblBMI").Caption(), "21.33") << "Space on Calculate";

    m_System.PressTab();
    m_System.ScriptMenuChoice(MainWindow::QuickHelpItem);
    m_System.PressKey(platform::KeyCode::Return);
    const platform::WholePixelRect key = Window().UserControlHost("btnForm", 0).ScreenRect();
    ASSERT_EQ(m_System.Menus().size(), 1U);
    EXPECT_EQ(m_System.Menus()[0].TrackedAt,
              (platform::ScreenPoint{key.Left + key.Width, key.Top + key.Height}))
        << "under the key, its right edge at the key's: the cursor may be anywhere";
    ASSERT_NE(m_System.FindLoadedWindow("Quick Help"), nullptr);
    m_System.PressKey(platform::KeyCode::Escape);
    EXPECT_EQ(m_System.FindLoadedWindow("Quick Help"), nullptr) << "Escape closes it";

    m_System.ScriptMenuChoice(MainWindow::AboutItem);
    m_System.PressKey(platform::KeyCode::Space);
    ASSERT_NE(m_System.FindLoadedWindow("About"), nullptr);
    m_System.PressKey(platform::KeyCode::Escape);
    EXPECT_EQ(m_System.FindLoadedWindow("About"), nullptr);
    EXPECT_EQ(Window().FocusedControl()->Key(), "btnForm(0)") << "the focus stayed on the key";

    m_System.PressTab();
    m_System.PressKey(platform::KeyCode::Space);
    EXPECT_TRUE(Window().IsMinimised());
    Window().Restore();
    m_System.PressTab();
    m_System.PressKey(platform::KeyCode::Return);
    EXPECT_FALSE(m_Main->IsLoaded()) << "Return on the close key";
    EXPECT_TRUE(m_System.LoadedWindows().empty());
}

TEST_F(MainWindowTest, F1OpensQuickHelpAndOnlyF1Alone) {
    Start();
    m_System.PressKey(platform::KeyCode::F1, platform::ShiftState::Shift);
    m_System.PressKey(platform::KeyCode::F12);
    EXPECT_EQ(m_System.LoadedWindows().size(), 1U);
    m_System.PressKey(platform::KeyCode::F1);
    FakeWindow* help = m_System.FindLoadedWindow("Quick Help");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->IsVisibleOnScreen());
    EXPECT_EQ(help->Owner(), &Window());
    m_System.PressKey(platform::KeyCode::F1);
    EXPECT_EQ(help->ShowCount(), 1) << "F1 in Quick Help itself does nothing";
    EXPECT_EQ(Label("lblBMI").Caption(), "") << "nor calculates";
}

TEST_F(MainWindowTest, NoFocusCueShowsUntilTheKeyboardIsUsed) {
    Start();
    auto& calculate = Window().UserControlHost("btnCalculate");
    EXPECT_FALSE(Window().KeyboardCues());
    calculate.ClickByUser();
    EXPECT_FALSE(calculate.ShowsFocusCue()) << "the mouse moves no focus and shows no cue";
    const int draws = calculate.DrawCount();
    for (int i = 0; i < 3; ++i) {
        m_System.PressTab();
    }
    EXPECT_TRUE(calculate.ShowsFocusCue());
    EXPECT_EQ(calculate.DrawCount(), draws) << "the cue is the surface's: the button draws nothing";
    m_System.PressTab();
    EXPECT_FALSE(calculate.ShowsFocusCue());
    EXPECT_TRUE(Window().UserControlHost("btnForm", 0).ShowsFocusCue());
}

// ---------------------------------------------------------------------------
// A screen reader

TEST_F(MainWindowTest, AScreenReaderIsToldTheResultAndItsBandInWordsAndHearsThemAtOnce) {
    m_System.RecordAccessibleEvents();
    Start();
    struct Case {
        std::string_view Weight;  // pounds, at 5' 8"
        std::string_view Band;
    };
    const Case cases[] = {{"100", "Underweight"}, {"140", "Normal"},  {"180", "Overweight"},
                          {"220", "Obese"},       {"300", "Extreme"}, {"140", "Normal"}};
    for (const Case& c : cases) {
        Text1().SetText(c.Weight);
        const std::size_t before = m_System.AccessibleEvents().size();
        Window().UserControlHost("btnCalculate").ClickByUser();
        EXPECT_EQ(Label("lblBMI").Description(), c.Band) << c.Weight;
        const std::vector<std::string> told(
            m_System.AccessibleEvents().begin() + static_cast<std::ptrdiff_t>(before),
            m_System.AccessibleEvents().end());
        // Read out at once, wherever the focus is: the figure, its band, the
        // weight for a BMI of 22.5.
        const std::string announced = "announce " + Label("lblBMI").Caption() + ", " +
                                      std::string(c.Band) + ". " + Label("lblIWeight").Caption();
        EXPECT_EQ(told, (std::vector<std::string>{"name lblBMI", "name lblIWeight",
                                                  "description lblBMI", "name lblBMI", announced}))
            << c.Weight;
        // Said in a sentence where a reader reads the panel: its heading, the
        // figure and the band.
        EXPECT_EQ(Window().FindVisible("lblBMI")->AccessibleName(),
                  "Your BMI is: " + Label("lblBMI").Caption() + ", " + std::string(c.Band));
    }
    Text1().SetText("");
    const std::size_t before = m_System.AccessibleEvents().size();
    Window().UserControlHost("btnCalculate").ClickByUser();
    EXPECT_EQ(Label("lblBMI").Description(), "Normal") << "a failed calculation changes nothing";
    EXPECT_EQ(m_System.AccessibleEvents().size(), before);
}

TEST_F(MainWindowTest, EveryControlAReaderCanUseHasARoleAndAName) {
    using platform::AccessibleRole;
    Start();
    struct Case {
        std::string_view Key;
        AccessibleRole Role;
        std::string_view Name;
    };
    const Case cases[] = {
        {"btnCalculate", AccessibleRole::PushButton, "Calculate BMI"},
        {"btnForm(0)", AccessibleRole::PushButton, "Help"},
        {"btnForm(1)", AccessibleRole::PushButton, "Minimise"},
        {"btnForm(2)", AccessibleRole::PushButton, "Close"},
        {"Text1", AccessibleRole::EditableText, "Enter Weight:"},
        {"List1", AccessibleRole::List, "Select Height:"},
        {"optWeightUnit(0)", AccessibleRole::RadioButton, "Kilograms"},
        {"imBanner", AccessibleRole::Link, "Tarnwick"},
        {"lblName(1)", AccessibleRole::StaticText, "Ponderix"},
        {"lblRange(1)", AccessibleRole::StaticText, "Normal"},
        {"Frame4", AccessibleRole::Grouping, "Your BMI"},
        {"lblBMI", AccessibleRole::StaticText, "Your BMI is:"},
        // Read once: the banner is the link, the result says its heading, the
        // words beside a swatch say its band.
        {"lblName(0)", AccessibleRole::Decoration, "Tarnwick"},
        {"lblCaptions(2)", AccessibleRole::Decoration, "Your BMI is:"},
        {"lblLegend(1)", AccessibleRole::Decoration, ""},
    };
    for (const Case& c : cases) {
        const auto* control = Window().FindVisible(c.Key);
        ASSERT_NE(control, nullptr) << c.Key;
        EXPECT_EQ(control->Role(), c.Role) << c.Key;
        EXPECT_EQ(control->AccessibleName(), c.Name) << c.Key;
    }
    // Whatever a user can press, type in or choose is named.
    for (const auto& entry : Window().Entries()) {
        if (entry.Visible != nullptr &&
            (entry.Visible->TakesFocus() || entry.Visible->Role() == AccessibleRole::Link) &&
            entry.Visible->Role() != AccessibleRole::Decoration) {
            EXPECT_FALSE(entry.Visible->AccessibleName().empty()) << entry.Visible->Key();
        }
    }
    EXPECT_EQ(Window().Role(), AccessibleRole::Window);
    EXPECT_EQ(Window().AccessibleName(), "Ponderix");
}

TEST(MainLayout, TheLegendNamesTheBandsAsTheResultsDescriptionDoes) {
    const calc::BmiBand bands[] = {calc::BmiBand::Underweight, calc::BmiBand::Normal,
                                   calc::BmiBand::Overweight, calc::BmiBand::Obese,
                                   calc::BmiBand::Extreme};
    for (int index = 0; index < 5; ++index) {
        const auto& rows = MainLayout().Controls;
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) {
            return r.Name == "lblRange" && r.Index == index;
        });
        ASSERT_NE(row, rows.end());
        EXPECT_EQ(row->Caption, " = " + std::string(calc::BandName(bands[index]))) << index;
    }
}

}  // namespace
}  // namespace ponderix::ui
