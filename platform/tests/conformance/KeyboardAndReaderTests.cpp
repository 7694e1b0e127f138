// The window-system contract for people who use the keyboard alone or a
// screen reader: buttons as tab stops, Space and Return, the default button,
// Escape, the window's own keys, the focus cue, where a popup opens, and what
// screen readers are told of each control.
#include <string>
#include <utility>
#include <vector>

#include "platform/core/FocusCue.h"
#include "platform/tests/conformance/Conformance.h"

namespace ponderix::platform::conformance {
namespace {

using Log = std::vector<std::string>;

Bitmap Solid(int width, int height, std::uint32_t argb) {
    return {width, height,
            std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), argb)};
}

// The pixels, for a readable failure: how many differ and where the first is.
::testing::AssertionResult SamePixels(const Bitmap& shown, const Bitmap& expected) {
    if (shown.Width != expected.Width || shown.Height != expected.Height) {
        return ::testing::AssertionFailure()
               << "the surface is " << shown.Width << " x " << shown.Height << ", not "
               << expected.Width << " x " << expected.Height;
    }
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < shown.Height; ++y) {
        for (int x = 0; x < shown.Width; ++x) {
            if ((shown.At(x, y) & 0xFFFFFFu) != (expected.At(x, y) & 0xFFFFFFu) &&
                differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at " << firstX << ", " << firstY << ": shown "
           << std::hex << shown.At(firstX, firstY) << ", expected " << expected.At(firstX, firstY);
}

// What the recorder received since the last call, the mouse's moves left out.
Log Received(Recorder& recorder) {
    Log log;
    for (const std::string& entry : recorder.Log) {
        if (!entry.starts_with("Move")) {
            log.push_back(entry);
        }
    }
    recorder.Log.clear();
    return log;
}

Recorder& ButtonOf(IWindow& window, std::string_view name) {
    return window.UserControl<Recorder>(name);
}

}  // namespace

TEST_P(ConformanceTest, TabReachesButtonsInTabIndexOrderButNoControlThatCannotTakeTheFocus) {
    IWindow& window = ShownKeyboardWindow();
    Log forwards{Desktop().FocusedControl(window)};
    for (int i = 0; i < 5; ++i) {
        Desktop().PressTab(false);
        forwards.push_back(Desktop().FocusedControl(window));
    }
    EXPECT_EQ(forwards,
              (Log{"txtWeight", "lstHeight", "optUnit(0)", "btnGo", "btnOther", "txtWeight"}))
        << "rec, a user control whose design takes no focus, is never a stop";
    Log backwards;
    for (int i = 0; i < 2; ++i) {
        Desktop().PressTab(true);
        backwards.push_back(Desktop().FocusedControl(window));
    }
    EXPECT_EQ(backwards, (Log{"btnOther", "btnGo"}));
}

TEST_P(ConformanceTest, SpaceAndReturnOnAFocusedButtonClickItAndSendNoMouseNotification) {
    IWindow& window = ShownKeyboardWindow();
    Tabs(3);
    ASSERT_EQ(Desktop().FocusedControl(window), "btnGo");
    Received(ButtonOf(*m_Window, "btnGo"));
    Received(ButtonOf(*m_Window, "rec"));
    Press(KeyCode::Space);
    Press(KeyCode::Return);
    EXPECT_EQ(Received(ButtonOf(*m_Window, "btnGo")), (Log{"Click", "Click"}));
    Tabs(1);
    Received(ButtonOf(*m_Window, "btnOther"));
    Press(KeyCode::Return);
    EXPECT_EQ(Received(ButtonOf(*m_Window, "btnOther")), Log{"Click"})
        << "the focused button, not the default";
    EXPECT_TRUE(Received(ButtonOf(*m_Window, "btnGo")).empty());
    EXPECT_TRUE(Received(ButtonOf(*m_Window, "rec")).empty());
}

TEST_P(ConformanceTest, ReturnElsewhereClicksTheDefaultButtonOnceWhileItCanBeReached) {
    IWindow& window = ShownKeyboardWindow();
    Received(ButtonOf(*m_Window, "btnGo"));
    Log clicks;
    for (const char* stop : {"txtWeight", "lstHeight", "optUnit(0)"}) {
        ASSERT_EQ(Desktop().FocusedControl(window), stop);
        Press(KeyCode::Return);
        clicks.push_back(std::to_string(Received(ButtonOf(*m_Window, "btnGo")).size()) + " on " +
                         stop);
        Tabs(1);
    }
    EXPECT_EQ(clicks, (Log{"1 on txtWeight", "1 on lstHeight", "1 on optUnit(0)"}));
    EXPECT_EQ(window.Get<ITextBox>("txtWeight").Text(), "70") << "Return types nothing";

    Tabs(2);
    ASSERT_EQ(Desktop().FocusedControl(window), "txtWeight");
    window.Get<IVisibleControl>("btnGo").SetEnabled(false);
    Press(KeyCode::Return);
    EXPECT_TRUE(Received(ButtonOf(*m_Window, "btnGo")).empty())
        << "a disabled default button is not clicked";
    EXPECT_TRUE(window.IsLoaded());
}

TEST_P(ConformanceTest, SpaceIsTheFocusedControlsOwnAndReachesNeitherTheWindowNorAButton) {
    IWindow& window = ShownKeyboardWindow();
    Log keys;
    window.KeyDown.Connect(
        [&](std::int16_t& code, std::int16_t&) { keys.push_back(std::to_string(code)); });
    Received(ButtonOf(*m_Window, "btnGo"));
    Press(KeyCode::Space);
    EXPECT_EQ(window.Get<ITextBox>("txtWeight").Text(), " ") << "typed over the selected text";
    EXPECT_TRUE(Received(ButtonOf(*m_Window, "btnGo")).empty());
    EXPECT_TRUE(keys.empty());
}

TEST_P(ConformanceTest, EscapeClosesOnlyAWindowWhoseLayoutSaysSo) {
    IWindow& owner = ShownKeyboardWindow();
    Press(KeyCode::Escape);
    EXPECT_TRUE(owner.IsLoaded());
    const auto plain = System().CreateWindow(DialogLayout());
    plain->Show(&owner);
    Desktop().Pump(50);
    Press(KeyCode::Escape);
    EXPECT_TRUE(plain->IsLoaded());
    plain->Unload();
    const auto dialog = System().CreateWindow(EscapeDialogLayout());
    int gone = 0;
    dialog->Unloaded.Connect([&] { ++gone; });
    dialog->Show(&owner);
    Desktop().Pump(50);
    Press(KeyCode::Escape);
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_EQ(gone, 1);
    EXPECT_TRUE(owner.IsLoaded());
}

TEST_P(ConformanceTest, KeyDownSeesTheWindowsKeysAndAHandlerMaySwallowOne) {
    IWindow& window = ShownKeyboardWindow();
    const auto dialog = System().CreateWindow(EscapeDialogLayout());
    Log keys;
    dialog->KeyDown.Connect([&](std::int16_t& code, std::int16_t& shift) {
        keys.push_back(std::to_string(code) + "," + std::to_string(shift));
        if (code == KeyCode::Escape) {
            code = 0;
        }
    });
    dialog->Show(&window);
    Desktop().Pump(50);
    Press(KeyCode::F1);
    Press(KeyCode::F12, ShiftState::Shift);
    Press(KeyCode::Escape);
    EXPECT_EQ(keys, (Log{"112,0", "123,1", "27,0"}));
    EXPECT_TRUE(dialog->IsLoaded()) << "the handler kept Escape from closing it";
    dialog->Unload();
    Desktop().Pump(50);

    window.KeyDown.Connect([](std::int16_t& code, std::int16_t&) {
        if (code == KeyCode::Return) {
            code = 0;
        }
    });
    Received(ButtonOf(*m_Window, "btnGo"));
    Press(KeyCode::Return);
    EXPECT_TRUE(Received(ButtonOf(*m_Window, "btnGo")).empty())
        << "the handler kept Return from the default";
}

TEST_P(ConformanceTest, AFocusedButtonShowsTheCueOverItsFaceAndTheFaceStaysTheControls) {
    IWindow& window = ShownKeyboardWindow();
    // Faces of the buttons' size in the layout, 60 x 40 pixels.
    const Bitmap go = Solid(60, 40, 0xFF2060A0u);
    const Bitmap other = Solid(60, 40, 0xFFC0C040u);
    ButtonOf(*m_Window, "btnGo").Site.DrawPicture(Picture::FromBitmap(go));
    ButtonOf(*m_Window, "btnOther").Site.DrawPicture(Picture::FromBitmap(other));
    Desktop().Pump(20);
    EXPECT_TRUE(SamePixels(Desktop().SurfaceShows(window, "btnGo"), go)) << "no focus, no cue";

    Tabs(3);
    EXPECT_TRUE(SamePixels(Desktop().SurfaceShows(window, "btnGo"), WithFocusCue(go)));
    EXPECT_TRUE(SamePixels(Desktop().SurfaceShows(window, "btnOther"), other));

    const Bitmap lit = Solid(60, 40, 0xFF40A0E0u);
    ButtonOf(*m_Window, "btnGo").Site.DrawPicture(Picture::FromBitmap(lit));
    Desktop().Pump(20);
    EXPECT_TRUE(SamePixels(Desktop().SurfaceShows(window, "btnGo"), WithFocusCue(lit)))
        << "a face drawn while the button has the focus shows under the cue";

    Tabs(1);
    EXPECT_TRUE(SamePixels(Desktop().SurfaceShows(window, "btnGo"), lit)) << "the face, unchanged";
    EXPECT_TRUE(SamePixels(Desktop().SurfaceShows(window, "btnOther"), WithFocusCue(other)));
}

TEST_P(ConformanceTest, APopupOpensAtTheCursorForTheMouseAndAtTheButtonOtherwise) {
    IWindow& window = ShownKeyboardWindow();
    std::vector<ScreenPoint> points;
    ButtonOf(*m_Window, "btnGo").OnClick = [&] { points.push_back(window.PopupPoint()); };
    Desktop().ClickAt(Centre(window, "btnGo"));
    Desktop().Pump(20);
    ASSERT_EQ(points.size(), 1U);
    EXPECT_EQ(points[0], System().CursorPos()) << "a click of the mouse";

    const WholePixelRect button = Desktop().ScreenRect(window, "btnGo");
    const ScreenPoint corner{button.Left + button.Width, button.Top + button.Height};
    Tabs(3);
    Press(KeyCode::Space);
    Desktop().PressByReader(window, "btnGo");
    Desktop().Pump(50);
    ASSERT_EQ(points.size(), 3U);
    EXPECT_EQ(points[1], corner) << "Space";
    EXPECT_EQ(points[2], corner) << "a screen reader's press";
    ButtonOf(*m_Window, "btnGo").OnClick = nullptr;
    EXPECT_EQ(window.PopupPoint(), System().CursorPos()) << "once the press is over";
}

// A menu the keyboard or a reader opens is on its first item, which a reader
// says at once and Return chooses; one the mouse opens is on none.
TEST_P(ConformanceTest, AMenuOpenedFromTheKeyboardOpensOnItsFirstItem) {
    IWindow& window = ShownKeyboardWindow();
    std::vector<unsigned> chosen;
    ButtonOf(*m_Window, "btnGo").OnClick = [&] {
        const auto menu = System().CreatePopupMenu();
        menu->InsertItem(0, 1001, "Quick Help");
        menu->InsertItem(1, 1000, "About");
        chosen.push_back(menu->Track(window.PopupPoint(), window));
    };
    Desktop().WhenMenuOpens({MenuAction::Kind::Return});
    Desktop().ClickAt(Centre(window, "btnGo"));
    Desktop().Pump(50);
    Tabs(3);
    Desktop().WhenMenuOpens({MenuAction::Kind::Return});
    Press(KeyCode::Space);
    Desktop().Pump(50);
    ButtonOf(*m_Window, "btnGo").OnClick = nullptr;
    EXPECT_EQ(chosen, (std::vector<unsigned>{0, 1001})) << "the mouse's, then the keyboard's";
}

TEST_P(ConformanceTest, ScreenReadersLearnRolesAndNamesFromTheLayout) {
    IWindow& window = ShownKeyboardWindow();
    struct Case {
        std::string_view Key;
        AccessibleRole Role;
        std::string_view Name;
    };
    const Case cases[] = {
        {"", AccessibleRole::Window, "Keys"},
        {"lblHeading", AccessibleRole::StaticText, "Weight:"},
        {"txtWeight", AccessibleRole::EditableText, "Weight:"},  // labelled by the heading
        {"lstHeight", AccessibleRole::List, "Height"},           // a name of its own
        {"optUnit(0)", AccessibleRole::RadioButton, "Kilograms"},
        {"rec", AccessibleRole::Pane, ""},
        {"btnGo", AccessibleRole::PushButton, "Go"},
        {"btnOther", AccessibleRole::PushButton, ""},
        {"lblLink", AccessibleRole::Link, "Example"},
        {"fraBox", AccessibleRole::Grouping, "Units"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Desktop().RoleOf(window, c.Key), c.Role) << c.Key;
        EXPECT_EQ(Desktop().NameOf(window, c.Key), c.Name) << c.Key;
    }
    const auto dialog = System().CreateWindow(EscapeDialogLayout());
    dialog->Show(&window);
    Desktop().Pump(50);
    EXPECT_EQ(Desktop().RoleOf(*dialog, ""), AccessibleRole::Dialog);
    EXPECT_EQ(Desktop().NameOf(*dialog, ""), "Escape");
    EXPECT_EQ(Desktop().NameOf(*dialog, "lblText"), "Owned");
}

TEST_P(ConformanceTest, ScreenReadersAreToldOfEveryCaptionAndDescriptionSet) {
    IWindow& window = ShownKeyboardWindow();
    auto& heading = window.Get<ILabel>("lblHeading");
    Desktop().ReaderEvents(window);
    heading.SetCaption("Mass:");
    heading.SetDescription("Normal");
    heading.SetCaption("Mass:");
    Desktop().Pump(50);
    EXPECT_EQ(Desktop().ReaderEvents(window),
              (Log{"name lblHeading", "name txtWeight", "description lblHeading", "name lblHeading",
                   "name txtWeight"}))
        << "the same text again is told again: a result shown anew is news";
    EXPECT_EQ(Desktop().NameOf(window, "lblHeading"), "Mass:");
    EXPECT_EQ(Desktop().NameOf(window, "txtWeight"), "Mass:");
    EXPECT_EQ(Desktop().DescriptionOf(window, "lblHeading"), "Normal");
    EXPECT_EQ(heading.Description(), "Normal");
    EXPECT_EQ(Desktop().DescriptionOf(window, "lblLink"), "");
}

// A result shown is read at once, wherever the focus is, and the same text
// again is read again.
TEST_P(ConformanceTest, AnAnnouncementReachesScreenReadersWithItsTextAndMovesNoFocus) {
    IWindow& window = ShownKeyboardWindow();
    Tabs(2);
    const std::string focused = Desktop().FocusedControl(window);
    ASSERT_FALSE(focused.empty());
    Desktop().ReaderEvents(window);
    window.Announce("21.33, Normal. Weight for 22.5 BMI : 147.68 lbs");
    window.Announce("21.33, Normal. Weight for 22.5 BMI : 147.68 lbs");
    Desktop().Pump(50);
    EXPECT_EQ(Desktop().ReaderEvents(window),
              (Log{"announce 21.33, Normal. Weight for 22.5 BMI : 147.68 lbs",
                   "announce 21.33, Normal. Weight for 22.5 BMI : 147.68 lbs"}));
    EXPECT_EQ(Desktop().FocusedControl(window), focused);
    window.Unload();
    EXPECT_THROW(window.Announce("gone"), PlatformError);
}

TEST_P(ConformanceTest, AScreenReaderPressesButtonsAndLinksWithoutTheMouse) {
    IWindow& window = ShownKeyboardWindow();
    int links = 0;
    window.Get<ILabel>("lblLink").Click.Connect([&] { ++links; });
    Received(ButtonOf(*m_Window, "btnOther"));
    Desktop().PressByReader(window, "lblLink");
    Desktop().PressByReader(window, "btnOther");
    Desktop().Pump(50);
    EXPECT_EQ(links, 1);
    EXPECT_EQ(Received(ButtonOf(*m_Window, "btnOther")), Log{"Click"});
    EXPECT_EQ(Desktop().FocusedControl(window), "txtWeight") << "a press moves no focus";
}

}  // namespace ponderix::platform::conformance
