// The contract of the window-system interface (platform/WindowSystem.h,
// Controls.h, UserControl.h), written once as tests and run against every
// backend: the fake, Qt and Win32. Each backend's tests give a Driver that acts
// as the user and reads what the desktop shows; the tests themselves know
// nothing of any backend.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/WindowSystem.h"

namespace ponderix::platform::conformance {

// What the user does while a popup menu is open.
struct MenuAction {
    enum class Kind : std::uint8_t {
        Return,   // presses Return with no item highlighted
        Escape,   // presses Escape
        PressAt,  // presses and releases the left button at a screen point outside the menu
    };
    Kind What = Kind::Escape;
    ScreenPoint At = {};
};

struct SeenMessage {
    std::string Prompt;
    std::string Caption;
};

class Driver {
public:
    virtual ~Driver() = default;

    virtual IWindowSystem& System() = 0;

    // Lets at least that many milliseconds pass with the desktop's events
    // (input, timers, painting) delivered.
    virtual void Pump(int milliseconds) = 0;

    // The user's keyboard and mouse.
    virtual void PressTab(bool backwards) = 0;
    // A key (KeyCode) pressed and released where the focus is, with the
    // modifier keys (ShiftState) held.
    virtual void PressKey(std::int16_t keyCode, std::int16_t shift) = 0;
    virtual void ClickAt(ScreenPoint point) = 0;
    virtual void MoveCursor(ScreenPoint point) = 0;
    // The pointer goes out of every window of the program, to a point of the
    // desktop where none of them lies. A desktop that always knows where the
    // pointer is moves it there; one that does not (Wayland, or Xwayland once
    // the pointer is over a window that is no X window) only tells the program
    // that it left its windows, and goes on saying that the pointer is where
    // it was.
    virtual void MovePointerOutOfEveryWindow(ScreenPoint to) = 0;
    // What the user will do in the next popup menu, once it is open.
    virtual void WhenMenuOpens(MenuAction action) = 0;
    // The user will press OK in the next message box, once it is open.
    virtual void WhenMessageBoxOpens() = 0;
    // The message boxes shown so far.
    virtual std::vector<SeenMessage> MessagesSeen() = 0;

    // What the desktop shows.
    // The key ("Text1", "opt(1)") of the control with the keyboard focus; "".
    virtual std::string FocusedControl(IWindow& window) = 0;
    // The selected characters of a text box: (start, length).
    virtual std::pair<int, int> Selection(IWindow& window, std::string_view key) = 0;
    // A control's rectangle on the screen; "" for the window's inner area.
    virtual WholePixelRect ScreenRect(IWindow& window, std::string_view key) = 0;
    // Shown and not minimised (nor hidden with its minimised owner).
    virtual bool IsOnScreen(IWindow& window) = 0;
    // The part of the window's screen that windows may take, as the desktop
    // says (task bars left out).
    virtual WholePixelRect WorkArea(IWindow& window) = 0;

    // What a user control's surface shows on the screen: its face, and the
    // focus cue over it when there is one.
    virtual Bitmap SurfaceShows(IWindow& window, std::string_view key) = 0;

    // What a screen reader learns through the desktop's own accessibility
    // interface, of a control (its key) or, for "", of the window itself.
    virtual AccessibleRole RoleOf(IWindow& window, std::string_view key) = 0;
    virtual std::string NameOf(IWindow& window, std::string_view key) = 0;
    virtual std::string DescriptionOf(IWindow& window, std::string_view key) = 0;
    // A screen reader presses a button or a link (its default action); the
    // press may take effect once the desktop's events are pumped.
    virtual void PressByReader(IWindow& window, std::string_view key) = 0;
    // What screen readers were told of the window's controls since the last
    // call, in order: "name KEY", "description KEY", and "announce TEXT" for
    // what the window announced (IWindow::Announce).
    virtual std::vector<std::string> ReaderEvents(IWindow& window) = 0;

    // What the user does to a window from the desktop.
    virtual void RestoreByUser(IWindow& window) = 0;
    virtual void CloseByUser(IWindow& window) = 0;
};

// A backend under test: its name, and how to make a fresh driver for a test.
struct Backend {
    std::string Name;
    std::function<std::unique_ptr<Driver>()> MakeDriver;

    friend void PrintTo(const Backend& backend, std::ostream* out) { *out << backend.Name; }
};

// Names each instantiated test after its backend.
inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param.Name;
}

// A user control that writes down every notification it receives.
class Recorder final : public IUserControl {
public:
    static constexpr std::string_view ClassId = "Conformance.Recorder";
    static UserControlClass Class();

    explicit Recorder(IUserControlSite& site) : Site(site) {}

    void UserControl_InitProperties() override { Log.emplace_back("Init"); }
    void UserControl_ReadProperties(const PropertyBag& bag) override;
    void UserControl_WriteProperties(PropertyBag& /*bag*/) const override {}
    void UserControl_Resize() override { Log.emplace_back("Resize"); }
    void UserControl_Click() override {
        Log.emplace_back("Click");
        if (OnClick) {
            OnClick();
        }
    }
    void UserControl_DblClick() override { Log.emplace_back("DblClick"); }
    void UserControl_MouseDown(std::int16_t button, std::int16_t, float, float) override {
        Log.push_back("Down(" + std::to_string(button) + ")");
    }
    void UserControl_MouseMove(std::int16_t button, std::int16_t, float, float) override {
        Log.push_back("Move(" + std::to_string(button) + ")");
    }
    void UserControl_MouseUp(std::int16_t button, std::int16_t, float, float) override {
        Log.push_back("Up(" + std::to_string(button) + ")");
    }

    // How many entries of the log are `entry`.
    int Count(std::string_view entry) const;

    IUserControlSite& Site;
    std::vector<std::string> Log;
    std::function<void()> OnClick;  // run at each Click, after it is logged
};

// A recorder that is a button: a tab stop that Space and Return click.
class ButtonRecorder {
public:
    static constexpr std::string_view ClassId = "Conformance.Button";
    static UserControlClass Class();
};

// The window every test builds: a text box, a list box and two option buttons
// (the second selected) in a frame, a second frame with an option button of
// its own, labels, a timer and a recorder; tab order text, list, options, the
// other frame's option.
const WindowSpec& TestLayout();
// A fixed dialog with one label, centred over its owner.
const WindowSpec& DialogLayout();
// A window for the keyboard and screen readers: a heading, a text box it
// labels, a list, an option button, a link, a recorder that is no tab stop
// and two buttons, the first the default.
const WindowSpec& KeyboardLayout();
// The dialog, closed by Escape.
const WindowSpec& EscapeDialogLayout();

class ConformanceTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override;

    IWindowSystem& System() { return m_Driver->System(); }
    Driver& Desktop() { return *m_Driver; }
    // The test window, built and shown.
    IWindow& Shown();
    // The keyboard window, built and shown.
    IWindow& ShownKeyboardWindow();
    // The user's keys, each followed by the desktop's events.
    void Press(std::int16_t keyCode, std::int16_t shift = 0);
    void Tabs(int count);
    Recorder& RecorderOf(IWindow& window) { return window.UserControl<Recorder>("rec"); }
    // The middle of a control on the screen.
    ScreenPoint Centre(IWindow& window, std::string_view key);

    std::unique_ptr<Driver> m_Driver;
    std::unique_ptr<IWindow> m_Window;
};

}  // namespace ponderix::platform::conformance
