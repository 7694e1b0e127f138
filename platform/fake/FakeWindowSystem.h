// A deterministic, in-memory window system for tests. Its windows are the
// shared window core's, like a real backend's, with native sides that draw
// nothing and record what the program asks of the desktop, so a test can drive
// the program's windows and controls and look at the outcome in microseconds:
//
// - a virtual clock: enabled timers tick when the test advances time;
// - a virtual screen and cursor: windows are placed on a 1024 x 768 screen,
//   and WindowFromPoint answers from the stacking of the shown windows and
//   their windowed controls (plus any foreign window a test puts on top);
// - the user's mouse and keyboard injected: clicks on controls, mouse input on
//   user controls (which also moves the cursor there), keys;
// - message boxes, popup menus (with scripted user actions), shell requests,
//   settings and what screen readers are told recorded in memory;
// - any operation made to fail on request, to exercise failure handling.
//
// Nothing here is drawn: positions stay unrounded, and a message box returns
// at once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/core/CoreTimer.h"
#include "platform/core/CoreWindow.h"
#include "platform/core/WindowSystemBase.h"
#include "platform/fake/FakePopupMenu.h"
#include "platform/fake/FakeSettingsStore.h"

namespace ponderix::platform::fake {

class FakeWindow;
class FakeTimer;

struct RecordedMessage {
    std::string Prompt;
    std::string Caption;
};

class FakeWindowSystem final : public core::WindowSystemBase {
public:
    static constexpr int ScreenWidth = 1024;
    static constexpr int ScreenHeight = 768;

    FakeWindowSystem();
    ~FakeWindowSystem() override;

    // IWindowSystem
    Picture LoadPicture(AssetName asset) override;
    void ShowErrorMessage(std::string_view prompt, std::string_view caption) override;
    std::unique_ptr<IPopupMenu> CreatePopupMenu() override;
    ScreenPoint CursorPos() override;
    WindowHandle WindowFromPoint(ScreenPoint point) override;
    bool ShellOpen(std::string_view address) override;
    std::string DecimalSeparator() override;
    ISettingsStore& Settings() override;
    void DoEvents() override;
    int Run() override;

    // core::WindowSystemBase
    std::unique_ptr<core::NativeTimer> MakeTimer(std::function<void()> elapsed) override;
    void CheckOperation(std::string_view operation, std::string_view key) override {
        Check(operation, key);
    }

    // The clock: fires the ticks that fall due, in time order, one at a time.
    void AdvanceTime(int milliseconds);
    std::int64_t Now() const { return m_Now; }
    int EnabledTimerCount() const;

    // The cursor and the screen.
    void SetCursorPos(ScreenPoint point) { m_Cursor = point; }
    // The scale of the screen the windows made from now on appear on: their
    // unit is its pixels (15 / scale twips each).
    void SetScreenScale(float scale) { m_ScreenScale = scale; }
    float ScreenScale() const { return m_ScreenScale; }
    // A window of another program, above every window of ours.
    WindowHandle AddForeignWindow(WholePixelRect screenRect);
    void RemoveForeignWindow(WindowHandle handle);

    // The user presses Tab (or Shift+Tab) in the active window.
    void PressTab(bool backwards = false);
    // The user presses a key (KeyCode) in the active window, with the modifier
    // keys held (ShiftState). What the focused control does not take for
    // itself goes to the window; of the controls' own keys the fake knows
    // Space: a text box types it, an option button is selected.
    void PressKey(std::int16_t keyCode, std::int16_t shift = 0);
    // The user presses the left button at a point of the screen and lets go.
    void ClickAt(ScreenPoint point);

    // A picture that LoadPicture returns for the file name, instead of the
    // program's own pictures (tests use small pictures of their own).
    void AddPicture(std::string file, Picture picture) {
        m_TestPictures[std::move(file)] = std::move(picture);
    }

    // The desktop's answers and records.
    const std::vector<RecordedMessage>& Messages() const { return m_Messages; }
    // What the user does in the next popup menu; without one, the menu is
    // dismissed with Escape.
    void ScriptMenuAction(MenuAction action) { m_MenuActions.push_back(action); }
    void ScriptMenuChoice(unsigned id) { ScriptMenuAction({MenuAction::Kind::Choose, id, {}}); }
    const std::vector<RecordedMenu>& Menus() const { return m_Menus; }
    const std::vector<std::string>& OpenedLinks() const { return m_OpenedLinks; }
    void SetShellRefuses(bool refuses) { m_ShellRefuses = refuses; }
    void SetDecimalSeparator(std::string separator) { m_DecimalSeparator = std::move(separator); }
    int DoEventsCount() const { return m_DoEventsCount; }
    // What screen readers were told since RecordAccessibleEvents, in order:
    // "name KEY", "description KEY", "announce TEXT". Not kept otherwise, so that long runs
    // measure the program and not the record.
    void RecordAccessibleEvents() { m_RecordingAccessibleEvents = true; }
    const std::vector<std::string>& AccessibleEvents() const { return m_AccessibleEvents; }
    void AccessibleEvent(std::string event) {
        if (m_RecordingAccessibleEvents) {
            m_AccessibleEvents.push_back(std::move(event));
        }
    }

    // The settings store's contents: (application, section, key) -> value.
    using SettingsKey = std::tuple<std::string, std::string, std::string>;
    std::map<SettingsKey, std::string>& StoredSettings() { return m_StoredSettings; }
    // The store could not be read: the next save that stores every value reports
    // that it was kept aside under that name.
    void SetDamagedStore(std::string keptAs) { m_DamagedStore = std::move(keptAs); }
    std::string TakeDamagedStore() { return std::exchange(m_DamagedStore, {}); }

    // Makes an operation fail with PlatformError, the next `times` calls or (-1)
    // every call. An operation is named "Kind.Method" ("Label.SetCaption",
    // "Site.DrawPicture", "Timer.SetEnabled", "Settings.SaveSettings",
    // "Window.Show"), optionally for one control only: "lblBMI:Label.SetCaption".
    void FailOperation(std::string operation, int times = -1);
    void StopFailing() { m_Faults.clear(); }
    // Throws when the operation is armed to fail.
    void Check(std::string_view operation, std::string_view controlKey = {});

    // The windows of the program that are loaded, most recently created last.
    std::vector<FakeWindow*> LoadedWindows() const;
    FakeWindow* FindLoadedWindow(std::string_view caption) const;
    // The window shown on top, if any.
    FakeWindow* ActiveWindow() const;

    // For the fake's own objects.
    WindowHandle NewHandle() { return ++m_LastHandle; }
    void RemoveTimer(FakeTimer* timer) { std::erase(m_Timers, timer); }
    void BringToTop(FakeWindow* window);
    void RemoveFromScreen(FakeWindow* window) { std::erase(m_Screen, window); }
    void DestroyMenuRecord(std::size_t index) { m_Menus[index].Destroyed = true; }
    RecordedMenu& MenuRecord(std::size_t index) { return m_Menus[index]; }
    MenuAction NextMenuAction();
    // Input that arrives after the current one, as a message queue would hold
    // it: delivered when the user's current action (or DoEvents) is done.
    void Post(std::function<void()> input) { m_Posted.push_back(std::move(input)); }
    void DeliverPosted();

protected:
    std::unique_ptr<core::Window> MakeWindow(const WindowSpec& layout) override;

private:
    struct ForeignWindow {
        WindowHandle Handle = 0;
        WholePixelRect Rect;
    };

    std::map<std::string, Picture, std::less<>> m_TestPictures;
    float m_ScreenScale = 1.0f;
    std::vector<FakeWindow*> m_Screen;  // shown windows, bottom-most first
    std::vector<ForeignWindow> m_ForeignWindows;
    std::vector<FakeTimer*> m_Timers;
    std::int64_t m_Now = 0;
    ScreenPoint m_Cursor{-1, -1};
    WindowHandle m_LastHandle = 0;
    std::vector<RecordedMessage> m_Messages;
    std::vector<MenuAction> m_MenuActions;
    std::vector<std::function<void()>> m_Posted;
    std::vector<RecordedMenu> m_Menus;
    std::vector<std::string> m_OpenedLinks;
    bool m_ShellRefuses = false;
    std::string m_DecimalSeparator = ".";
    int m_DoEventsCount = 0;
    std::vector<std::string> m_AccessibleEvents;
    bool m_RecordingAccessibleEvents = false;
    std::map<SettingsKey, std::string> m_StoredSettings;
    std::string m_DamagedStore;
    std::unique_ptr<FakeSettingsStore> m_Settings;
    std::map<std::string, int, std::less<>> m_Faults;
};

// A timer on the virtual clock.
class FakeTimer final : public core::NativeTimer {
public:
    FakeTimer(FakeWindowSystem& system, std::function<void()> elapsed)
        : m_System(system), m_Elapsed(std::move(elapsed)) {}
    ~FakeTimer() override { m_System.RemoveTimer(this); }

    void Start(int milliseconds) override;
    void Stop() override { m_Running = false; }

    bool IsRunning() const { return m_Running; }
    std::int64_t NextDue() const { return m_NextDue; }
    bool IsDue(std::int64_t now) const { return m_Running && m_NextDue <= now; }
    void Fire();

private:
    FakeWindowSystem& m_System;
    std::function<void()> m_Elapsed;
    bool m_Running = false;
    int m_Interval = 0;
    std::int64_t m_NextDue = 0;
};

}  // namespace ponderix::platform::fake

// The windows and surfaces of the fake, for the tests that include this header
// alone.
#include "platform/fake/FakeUserControlHost.h"  // IWYU pragma: export
#include "platform/fake/FakeWindow.h"           // IWYU pragma: export
