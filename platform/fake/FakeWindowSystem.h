// A deterministic, in-memory window system for tests. It builds windows from
// their layouts like a real backend, but keeps every property in memory and
// records what the program asks of the desktop, so a test can drive the
// program's windows and controls and look at the outcome in microseconds:
//
// - a virtual clock: enabled timers tick when the test advances time;
// - a virtual screen and cursor: windows are placed on a 1024 x 768 screen,
//   and WindowFromPoint answers from the stacking of the shown windows and
//   their windowed controls (plus any foreign window a test puts on top);
// - mouse input injected into user controls with button, shift and position,
//   which also moves the cursor there, as a real mouse would;
// - message boxes, popup menus (with a scripted choice), shell requests and
//   settings recorded in memory;
// - any operation made to fail on request, to exercise failure handling.
//
// Nothing here is real: positions stay unrounded, nothing is drawn, and a
// message box returns at once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/PictureCache.h"
#include "platform/UserControlChildren.h"
#include "platform/UserControlRegistry.h"
#include "platform/WindowSystem.h"

namespace ponderix::platform::fake {

class FakeWindow;
class FakeTimer;
class FakeUserControlHost;

struct RecordedMessage {
    std::string Prompt;
    std::string Caption;
};

struct RecordedMenu {
    std::vector<std::pair<unsigned, std::string>> Items;  // (id, text) in menu order
    bool Tracked = false;
    ScreenPoint TrackedAt;
    WindowHandle Owner = 0;
    bool Destroyed = false;
};

class FakeWindowSystem final : public IWindowSystem {
public:
    static constexpr int ScreenWidth = 1024;
    static constexpr int ScreenHeight = 768;

    FakeWindowSystem();
    ~FakeWindowSystem() override;

    // IWindowSystem
    void RegisterUserControl(UserControlClass userControlClass) override;
    std::unique_ptr<IWindow> CreateWindow(const WindowSpec& layout) override;
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

    // The clock: fires the ticks that fall due, in time order, one at a time.
    void AdvanceTime(int milliseconds);
    std::int64_t Now() const { return m_Now; }
    int EnabledTimerCount() const;

    // The cursor and the screen.
    void SetCursorPos(ScreenPoint point) { m_Cursor = point; }
    // A window of another program, above every window of ours.
    WindowHandle AddForeignWindow(WholePixelRect screenRect);
    void RemoveForeignWindow(WindowHandle handle);

    // A picture that LoadPicture returns for the file name, instead of the
    // program's own pictures (tests use small pictures of their own).
    void AddPicture(std::string file, Picture picture) {
        m_TestPictures[std::move(file)] = std::move(picture);
    }

    // The desktop's answers and records.
    const std::vector<RecordedMessage>& Messages() const { return m_Messages; }
    void ScriptMenuChoice(unsigned id) { m_MenuChoices.push_back(id); }
    const std::vector<RecordedMenu>& Menus() const { return m_Menus; }
    const std::vector<std::string>& OpenedLinks() const { return m_OpenedLinks; }
    void SetShellRefuses(bool refuses) { m_ShellRefuses = refuses; }
    void SetDecimalSeparator(std::string separator) { m_DecimalSeparator = std::move(separator); }
    int DoEventsCount() const { return m_DoEventsCount; }

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
    // Throws when the operation is armed to fail (used by the fake's objects).
    void Check(std::string_view operation, std::string_view controlKey = {});

    // The windows of the program that are loaded, most recently created last.
    std::vector<FakeWindow*> LoadedWindows() const;
    FakeWindow* FindLoadedWindow(std::string_view caption) const;

    // For the fake's own objects.
    WindowHandle NewHandle() { return ++m_LastHandle; }
    void AddTimer(FakeTimer* timer) { m_Timers.push_back(timer); }
    void RemoveTimer(FakeTimer* timer);
    void RemoveWindow(FakeWindow* window);
    void BringToTop(FakeWindow* window);
    void DestroyMenuRecord(std::size_t index) { m_Menus[index].Destroyed = true; }
    RecordedMenu& MenuRecord(std::size_t index) { return m_Menus[index]; }
    unsigned NextMenuChoice();
    const UserControlRegistry& UserControlClasses() const { return m_Classes; }

private:
    class SettingsStore;
    struct ForeignWindow {
        WindowHandle Handle = 0;
        WholePixelRect Rect;
    };

    UserControlRegistry m_Classes;
    PictureCache m_Pictures;
    std::map<std::string, Picture, std::less<>> m_TestPictures;
    std::vector<FakeWindow*> m_Windows;  // created and not destroyed, bottom-most first
    std::vector<ForeignWindow> m_ForeignWindows;
    std::vector<FakeTimer*> m_Timers;
    std::int64_t m_Now = 0;
    ScreenPoint m_Cursor{-1, -1};
    WindowHandle m_LastHandle = 0;
    std::vector<RecordedMessage> m_Messages;
    std::vector<unsigned> m_MenuChoices;
    std::vector<RecordedMenu> m_Menus;
    std::vector<std::string> m_OpenedLinks;
    bool m_ShellRefuses = false;
    std::string m_DecimalSeparator = ".";
    int m_DoEventsCount = 0;
    std::map<SettingsKey, std::string> m_StoredSettings;
    std::string m_DamagedStore;
    std::unique_ptr<SettingsStore> m_Settings;
    std::map<std::string, int, std::less<>> m_Faults;
};

// The fake's view of a window, for tests: its state and user actions on it.
class FakeWindow final : public IWindow {
public:
    FakeWindow(FakeWindowSystem& system, const WindowSpec& layout);
    ~FakeWindow() override;

    // IWindow
    IControl& Control(std::string_view name, int index = NoIndex) override;
    float ScaleWidth() const override { return m_InnerWidth; }
    float ScaleHeight() const override { return m_InnerHeight; }
    void Show(IWindow* owner = nullptr) override;
    void Minimise() override;
    void Unload() override;
    bool IsLoaded() const override { return m_Loaded; }
    WindowHandle Handle() const override { return m_Handle; }

    const WindowSpec& Layout() const { return m_Layout; }
    bool IsShown() const { return m_Shown; }
    bool IsMinimised() const { return m_Minimised; }
    // Shown, not minimised, and no owner up the chain minimised.
    bool IsVisibleOnScreen() const;
    FakeWindow* Owner() const { return m_Owner; }
    int ShowCount() const { return m_ShowCount; }
    WholePixelRect ScreenRect() const;

    // What a user does: restore from the task bar, close with the close box,
    // change the inner size (a window whose border allows it).
    void Restore();
    void CloseByUser() { Unload(); }
    void SetInnerSize(float width, float height);

    // The user clicks a label, an image or an option button (which selects it first).
    void ClickControl(std::string_view name, int index = NoIndex);

    FakeUserControlHost& UserControlHost(std::string_view name, int index = NoIndex);
    // The deepest windowed control (or the window) under a point of the screen.
    WindowHandle HitTest(ScreenPoint point) const;

    // For the fake's controls.
    FakeWindowSystem& System() { return m_System; }
    void CheckLoaded(std::string_view operation, std::string_view controlKey);
    ScreenPoint ScreenOrigin() const { return m_Origin; }
    // Screen position of a container's origin ("" = the window's inner area).
    ScreenPoint ContainerOrigin(std::string_view container) const;
    void SelectOption(class FakeOptionButton& selected);
    void BringControlToFront(IControl& control);

private:
    struct Entry {
        const ControlSpec* Row = nullptr;
        std::unique_ptr<IControl> Control;
        WindowHandle Handle = 0;  // windowed controls only
    };

    std::unique_ptr<IControl> MakeControl(const ControlSpec& row);

    FakeWindowSystem& m_System;
    const WindowSpec& m_Layout;
    WindowHandle m_Handle;
    float m_InnerWidth;
    float m_InnerHeight;
    std::vector<Entry> m_Controls;  // topmost first within each container
    std::map<std::string, std::size_t, std::less<>> m_Index;
    bool m_Loaded = true;
    bool m_Shown = false;
    bool m_Minimised = false;
    int m_ShowCount = 0;
    FakeWindow* m_Owner = nullptr;
    ScreenPoint m_Origin;
};

// The surface of a user control on a fake window.
class FakeUserControlHost final : public IUserControlHost, public IUserControlSite {
public:
    FakeUserControlHost(FakeWindow& window, const ControlSpec& row,
                        const UserControlClass& userControlClass);
    ~FakeUserControlHost() override;

    // IUserControlHost
    IUserControl& Instance() override { return *m_Instance; }
    PixelRect Bounds() const override;
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override;
    bool Visible() const override { return m_Visible; }
    void SetVisible(bool visible) override { m_Visible = visible; }
    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override { m_Enabled = enabled; }
    void BringToFront() override;

    // IUserControlSite
    IWindowSystem& System() override { return m_Window.System(); }
    void Clear() override;
    void DrawPicture(const Picture& picture) override;
    float Width() const override { return m_Width; }
    float Height() const override { return m_Height; }
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;
    WindowHandle Handle() const override;
    void PropertyChanged(std::string_view key) override;
    ITimer& Timer(std::string_view name) override;
    IPictureBox& PictureBox(std::string_view name) override;

    // Loads the instance from the layout: ReadProperties, then its size (Resize).
    void Load();
    void StopTimers();

    // What the user does with the mouse: each moves the cursor to the point on
    // the surface (in twips) first, then delivers the notification.
    void MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    void Click();
    void DblClick();
    // A left click in the middle, as the platform delivers it: down, up, click.
    void ClickByUser();

    // What the surface shows: the last picture drawn since the last clear.
    Picture Face() const { return m_Face; }
    int DrawCount() const { return m_DrawCount; }
    const std::vector<std::string>& ChangedProperties() const { return m_ChangedProperties; }
    ScreenPoint ScreenPointOf(float xTwips, float yTwips) const;
    WholePixelRect ScreenRect() const;
    const std::string& Key() const { return m_Key; }
    WindowHandle SurfaceHandle() const { return m_Handle; }

private:
    void ResizeTo(float width, float height);

    FakeWindow& m_Window;
    const ControlSpec& m_Row;
    std::string m_Key;
    WindowHandle m_Handle;
    float m_Left;
    float m_Top;
    float m_Width;
    float m_Height;
    bool m_Visible = true;
    bool m_Enabled = true;
    UserControlChildren m_Children;
    std::unique_ptr<IUserControl> m_Instance;
    Picture m_Face;
    int m_DrawCount = 0;
    std::vector<std::string> m_ChangedProperties;
};

class FakeTimer final : public ITimer {
public:
    FakeTimer(FakeWindowSystem& system, std::string key, bool enabled, int interval);
    ~FakeTimer() override;

    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override;
    int Interval() const override { return m_Interval; }
    void SetInterval(int milliseconds) override;

    std::int64_t NextDue() const { return m_NextDue; }
    bool IsDue(std::int64_t now) const { return m_Enabled && m_Interval > 0 && m_NextDue <= now; }
    void Fire();
    void Stop() { m_Enabled = false; }

private:
    FakeWindowSystem& m_System;
    std::string m_Key;
    bool m_Enabled;
    int m_Interval;
    std::int64_t m_NextDue = 0;
};

}  // namespace ponderix::platform::fake
