// The window system as the program's windows and controls see it. Two real
// backends implement it (platform/qt, platform/win32) and one fake for tests
// (platform/fake); nothing above this layer includes a toolkit.
//
// Everything runs on one user-interface thread. Events are raised synchronously
// from the message loop, one at a time. A failing operation throws PlatformError;
// an error that leaves a handler ends that handler only: the backend stops it at
// the message loop, and the program goes on with the next event.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/Layout.h"
#include "platform/Picture.h"
#include "platform/UserControl.h"

namespace ponderix::platform {

class IWindow {
public:
    virtual ~IWindow() = default;

    // The control of the layout with that name and index; throws PlatformError
    // when there is none.
    virtual IControl& Control(std::string_view name, int index = NoIndex) = 0;

    // The control, checked to be of the expected kind (ILabel, ITimer, ...).
    template <typename T>
    T& Get(std::string_view name, int index = NoIndex) {
        if (auto* control = dynamic_cast<T*>(&Control(name, index))) {
            return *control;
        }
        throw PlatformError("control '" + std::string(name) + "' is not of the expected kind");
    }

    // The instance of a user control placed on the window, as its own class.
    template <typename T>
    T& UserControl(std::string_view name, int index = NoIndex) {
        if (auto* instance = dynamic_cast<T*>(&Get<IUserControlHost>(name, index).Instance())) {
            return *instance;
        }
        throw PlatformError("user control '" + std::string(name) + "' is of another class");
    }

    // The inner area, in pixels.
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    // Twips in one pixel of the window's unit: 15 at 96 dots per inch, fewer
    // on a screen of more dots to the inch (10 at 144) where the backend works
    // in that screen's pixels. Layouts are in twips; code that places a
    // control by a distance of its own converts that distance with this.
    virtual float TwipsPerPixel() const = 0;

    // Shows the window modeless. An owned window stays above its owner, hides
    // while the owner is minimised and is unloaded with it. Showing a window that
    // is already shown brings it to the front again.
    virtual void Show(IWindow* owner = nullptr) = 0;
    virtual void Minimise() = 0;
    // Destroys the native window and those it owns. The object stays valid and
    // reports IsLoaded() false; operations on its controls then throw.
    virtual void Unload() = 0;
    virtual bool IsLoaded() const = 0;
    virtual WindowHandle Handle() const = 0;

    // Where a popup that answers the user's current action opens, on the
    // screen: at the cursor when the mouse clicked, at the bottom right-hand
    // corner of the control when the keyboard (or a screen reader) clicked it.
    virtual ScreenPoint PopupPoint() = 0;

    // Tells screen readers a text that the window has just shown (a result),
    // at once and without moving the focus: they read it as a notification.
    virtual void Announce(std::string_view text) = 0;

    // Raised when the window is first shown and whenever its inner size changes.
    Event<> Resize;
    // A key pressed in the window that its focused control does not take for
    // itself: Return, Escape and the function keys (KeyCode), and Space on a
    // button; held keys do not repeat it. The shift state is ShiftState's. A
    // handler that sets the key code to 0 keeps the window from acting on the
    // key (Return clicks no default button, Escape closes nothing).
    Event<std::int16_t&, std::int16_t&> KeyDown;
    // Raised once when the window goes: its close box, Unload, or its owner going.
    Event<> Unloaded;
};

// A popup menu; its destruction destroys the native menu.
class IPopupMenu {
public:
    virtual ~IPopupMenu() = default;

    // A text item with its identifier, inserted before the item at that position.
    virtual void InsertItem(unsigned position, unsigned id, std::string_view text) = 0;
    // Opens the menu with its right edge at the point; either mouse button
    // chooses. Returns when the menu closes: the chosen identifier, or 0.
    // Opened by the keyboard or a screen reader (the owner's Press), it opens
    // on its first item, which a reader then says and Return chooses; opened
    // by the mouse, on none.
    virtual unsigned Track(ScreenPoint at, const IWindow& owner) = 0;
};

// One key of a section and the text to store under it.
struct Setting {
    std::string_view Key;
    std::string_view Value;
};

// What a save did. Nothing of the user's is ever dropped: a store that could
// not be read is kept under another name before a clean one replaces it.
struct SaveOutcome {
    // The keys whose new values are not in the store, in the order given;
    // empty when every value was stored.
    std::vector<std::string> NotSaved;
    // Where the store that could not be read was kept, when this save replaced
    // it; empty otherwise. Reported once: the store is clean afterwards.
    std::string KeptAside;
};

// A per-user store of text values by application, section and key.
//
// Reading never waits and never fails: a store that is missing, unreadable,
// damaged or of the wrong kind has no values, and the caller's default stands.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;

    virtual std::string GetSetting(std::string_view application, std::string_view section,
                                   std::string_view key, std::string_view defaultValue) = 0;

    // Stores the values of one section together: all of them or none, where
    // the store can do that (a file is replaced in one step; see each backend
    // for what it does otherwise). Waits a second at most for another program
    // that holds the store. A store that cannot be written is no exception:
    // the outcome names the values that were not stored.
    virtual SaveOutcome SaveSettings(std::string_view application, std::string_view section,
                                     std::span<const Setting> values) = 0;

    // One value; throws PlatformError when it was not stored.
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view value) {
        const Setting setting{key, value};
        if (!SaveSettings(application, section, {&setting, 1}).NotSaved.empty()) {
            throw PlatformError("the setting '" + std::string(key) + "' could not be saved");
        }
    }
};

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;

    // Makes a user control class known to CreateWindow, by its design's class id.
    virtual void RegisterUserControl(UserControlClass userControlClass) = 0;

    // Builds a window from its layout, hidden. User controls receive
    // ReadProperties with their layout properties, then Resize.
    virtual std::unique_ptr<IWindow> CreateWindow(const WindowSpec& layout) = 0;

    // One of the program's pictures (assets/) by file name.
    virtual Picture LoadPicture(AssetName asset) = 0;

    // A modal message box with the error icon and one OK button.
    virtual void ShowErrorMessage(std::string_view prompt, std::string_view caption) = 0;

    virtual std::unique_ptr<IPopupMenu> CreatePopupMenu() = 0;

    virtual ScreenPoint CursorPos() = 0;
    // The topmost, deepest native window under the point; 0 when none.
    virtual WindowHandle WindowFromPoint(ScreenPoint point) = 0;

    // Hands the address to the desktop's shell; false when it refused.
    virtual bool ShellOpen(std::string_view address) = 0;

    // The decimal separator of the user's locale, for numbers shown to the user.
    virtual std::string DecimalSeparator() = 0;

    virtual ISettingsStore& Settings() = 0;

    // Processes the pending messages, then returns (from within a handler).
    virtual void DoEvents() = 0;

    // The message loop: returns when no window of the program is left.
    virtual int Run() = 0;
};

}  // namespace ponderix::platform
