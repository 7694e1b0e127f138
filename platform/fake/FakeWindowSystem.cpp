#include "platform/fake/FakeWindowSystem.h"

#include <algorithm>

#include "assets/Assets.h"
#include "platform/LayoutSupport.h"
#include "platform/fake/FakeControls.h"

namespace ponderix::platform::fake {
namespace {

bool Contains(const WholePixelRect& rect, ScreenPoint point) {
    return point.X >= rect.Left && point.X < rect.Left + rect.Width && point.Y >= rect.Top &&
           point.Y < rect.Top + rect.Height;
}

WholePixelRect Offset(const WholePixelRect& rect, ScreenPoint origin) {
    return {origin.X + rect.Left, origin.Y + rect.Top, rect.Width, rect.Height};
}

class FakePopupMenu final : public IPopupMenu {
public:
    FakePopupMenu(FakeWindowSystem& system, std::size_t record)
        : m_System(system), m_Record(record) {}
    ~FakePopupMenu() override { m_System.DestroyMenuRecord(m_Record); }

    void InsertItem(unsigned position, unsigned id, std::string_view text) override {
        m_System.Check("Menu.InsertItem");
        auto& items = m_System.MenuRecord(m_Record).Items;
        const auto at = std::min<std::size_t>(position, items.size());
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), {id, std::string(text)});
    }

    unsigned Track(ScreenPoint at, const IWindow& owner) override {
        m_System.Check("Menu.Track");
        RecordedMenu& record = m_System.MenuRecord(m_Record);
        record.Tracked = true;
        record.TrackedAt = at;
        record.Owner = owner.Handle();
        const MenuAction action = m_System.NextMenuAction();
        switch (action.What) {
            case MenuAction::Kind::Choose:
                return action.Id;
            case MenuAction::Kind::PressAt:
                // The press closes the menu and then reaches what it lands on.
                m_System.Post([system = &m_System, point = action.At] { system->ClickAt(point); });
                return 0;
            case MenuAction::Kind::Return:
            case MenuAction::Kind::Escape:
                return 0;
        }
        return 0;
    }

private:
    FakeWindowSystem& m_System;
    std::size_t m_Record;
};

}  // namespace

// ---------------------------------------------------------------------------
// Settings

class FakeWindowSystem::SettingsStore final : public ISettingsStore {
public:
    explicit SettingsStore(FakeWindowSystem& system) : m_System(system) {}

    std::string GetSetting(std::string_view application, std::string_view section,
                           std::string_view key, std::string_view defaultValue) override {
        m_System.Check("Settings.GetSetting");
        const auto& stored = m_System.StoredSettings();
        const auto found =
            stored.find({std::string(application), std::string(section), std::string(key)});
        return found == stored.end() ? std::string(defaultValue) : found->second;
    }

    // Each value is stored unless its save is made to fail ("Settings.SaveSettings"
    // for all, "Height:Settings.SaveSettings" for one): a store that writes
    // values one by one, so that a test can see any outcome.
    SaveOutcome SaveSettings(std::string_view application, std::string_view section,
                             std::span<const Setting> values) override {
        SaveOutcome outcome;
        for (const Setting& setting : values) {
            try {
                m_System.Check("Settings.SaveSettings", setting.Key);
            } catch (const PlatformError&) {
                outcome.NotSaved.emplace_back(setting.Key);
                continue;
            }
            m_System.StoredSettings()[{std::string(application), std::string(section),
                                       std::string(setting.Key)}] = std::string(setting.Value);
        }
        if (outcome.NotSaved.empty()) {
            outcome.KeptAside = m_System.TakeDamagedStore();
        }
        return outcome;
    }

private:
    FakeWindowSystem& m_System;
};

// ---------------------------------------------------------------------------
// The window system

FakeWindowSystem::FakeWindowSystem()
    : WindowSystemBase(assets::DecodeAsset), m_Settings(std::make_unique<SettingsStore>(*this)) {}

FakeWindowSystem::~FakeWindowSystem() = default;

std::unique_ptr<core::Window> FakeWindowSystem::MakeWindow(const WindowSpec& layout) {
    return std::make_unique<FakeWindow>(*this, layout);
}

std::unique_ptr<core::NativeTimer> FakeWindowSystem::MakeTimer(std::function<void()> elapsed) {
    auto timer = std::make_unique<FakeTimer>(*this, std::move(elapsed));
    m_Timers.push_back(timer.get());
    return timer;
}

Picture FakeWindowSystem::LoadPicture(AssetName asset) {
    Check("LoadPicture");
    if (const auto own = m_TestPictures.find(asset.File); own != m_TestPictures.end()) {
        return own->second;
    }
    return WindowSystemBase::LoadPicture(asset);
}

void FakeWindowSystem::ShowErrorMessage(std::string_view prompt, std::string_view caption) {
    Check("MessageBox");
    m_Messages.push_back({std::string(prompt), std::string(caption)});
}

std::unique_ptr<IPopupMenu> FakeWindowSystem::CreatePopupMenu() {
    Check("Menu.Create");
    m_Menus.emplace_back();
    return std::make_unique<FakePopupMenu>(*this, m_Menus.size() - 1);
}

MenuAction FakeWindowSystem::NextMenuAction() {
    if (m_MenuActions.empty()) {
        return {};
    }
    const MenuAction action = m_MenuActions.front();
    m_MenuActions.erase(m_MenuActions.begin());
    return action;
}

void FakeWindowSystem::DeliverPosted() {
    while (!m_Posted.empty()) {
        const std::function<void()> input = std::move(m_Posted.front());
        m_Posted.erase(m_Posted.begin());
        input();
    }
}

ScreenPoint FakeWindowSystem::CursorPos() {
    Check("CursorPos");
    return m_Cursor;
}

WindowHandle FakeWindowSystem::WindowFromPoint(ScreenPoint point) {
    Check("WindowFromPoint");
    for (auto foreign = m_ForeignWindows.rbegin(); foreign != m_ForeignWindows.rend(); ++foreign) {
        if (Contains(foreign->Rect, point)) {
            return foreign->Handle;
        }
    }
    for (auto window = m_Screen.rbegin(); window != m_Screen.rend(); ++window) {
        if ((*window)->IsVisibleOnScreen() && Contains((*window)->ScreenRect(), point)) {
            return (*window)->HitTest(point);
        }
    }
    return 0;
}

bool FakeWindowSystem::ShellOpen(std::string_view address) {
    Check("Shell.Open");
    m_OpenedLinks.emplace_back(address);
    return !m_ShellRefuses;
}

std::string FakeWindowSystem::DecimalSeparator() {
    return m_DecimalSeparator;
}

ISettingsStore& FakeWindowSystem::Settings() {
    return *m_Settings;
}

void FakeWindowSystem::DoEvents() {
    Check("DoEvents");
    ++m_DoEventsCount;
    DeliverPosted();
}

int FakeWindowSystem::Run() {
    return 0;
}

void FakeWindowSystem::AdvanceTime(int milliseconds) {
    const std::int64_t until = m_Now + milliseconds;
    for (;;) {
        FakeTimer* next = nullptr;
        for (FakeTimer* timer : m_Timers) {
            if (timer->IsDue(until) && (next == nullptr || timer->NextDue() < next->NextDue())) {
                next = timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        // A tick's handler may let time pass itself (DoEvents, a nested loop).
        m_Now = std::max(m_Now, next->NextDue());
        next->Fire();
        DeliverPosted();
    }
    m_Now = std::max(m_Now, until);
}

int FakeWindowSystem::EnabledTimerCount() const {
    return static_cast<int>(
        std::count_if(m_Timers.begin(), m_Timers.end(),
                      [](const FakeTimer* timer) { return timer->IsRunning(); }));
}

WindowHandle FakeWindowSystem::AddForeignWindow(WholePixelRect screenRect) {
    m_ForeignWindows.push_back({NewHandle(), screenRect});
    return m_ForeignWindows.back().Handle;
}

void FakeWindowSystem::RemoveForeignWindow(WindowHandle handle) {
    std::erase_if(m_ForeignWindows,
                  [handle](const ForeignWindow& window) { return window.Handle == handle; });
}

FakeWindow* FakeWindowSystem::ActiveWindow() const {
    for (auto window = m_Screen.rbegin(); window != m_Screen.rend(); ++window) {
        if ((*window)->IsVisibleOnScreen()) {
            return *window;
        }
    }
    return nullptr;
}

void FakeWindowSystem::PressTab(bool backwards) {
    if (FakeWindow* window = ActiveWindow()) {
        window->FocusNext(backwards);
    }
    DeliverPosted();
}

void FakeWindowSystem::PressKey(std::int16_t keyCode, std::int16_t shift) {
    FakeWindow* window = ActiveWindow();
    if (window == nullptr) {
        return;
    }
    if (keyCode == KeyCode::Tab) {
        window->FocusNext((shift & ShiftState::Shift) != 0);
    } else if (keyCode >= KeyCode::Left && keyCode <= KeyCode::Down) {
        window->MoveInGroup(keyCode == KeyCode::Left || keyCode == KeyCode::Up);
    } else if (!window->KeyPressed(keyCode, shift) && keyCode == KeyCode::Space) {
        // Not the window's: the focused control's own.
        core::VisibleControl* focused = window->Focused();
        if (auto* box = dynamic_cast<FakeTextBox*>(focused)) {
            box->Type(" ");
        } else if (auto* option = dynamic_cast<FakeOptionButton*>(focused)) {
            option->ClickByUser();
        }
    }
    DeliverPosted();
}

// The press goes to what lies under the point: a user control's surface, an
// option button, or else the topmost label or image of the container there.
void FakeWindowSystem::ClickAt(ScreenPoint point) {
    m_Cursor = point;
    FakeWindow* window = nullptr;
    for (auto on = m_Screen.rbegin(); on != m_Screen.rend() && window == nullptr; ++on) {
        if ((*on)->IsVisibleOnScreen() && Contains((*on)->ScreenRect(), point)) {
            window = *on;
        }
    }
    if (window == nullptr || WindowFromPoint(point) == 0) {
        return;
    }
    const WindowHandle hit = window->HitTest(point);
    std::string_view container;
    for (const core::Window::Entry& entry : window->Entries()) {
        if (entry.Visible == nullptr || entry.Visible->NativeHandle() != hit) {
            continue;
        }
        if (auto* host = dynamic_cast<FakeUserControlHost*>(entry.Visible)) {
            const WholePixelRect rect = host->ScreenRect();
            const float x = window->PixelsToTwips(static_cast<float>(point.X - rect.Left));
            const float y = window->PixelsToTwips(static_cast<float>(point.Y - rect.Top));
            host->MouseDown(1, 0, x, y);
            host->MouseUp(1, 0, x, y);
        } else if (auto* option = dynamic_cast<FakeOptionButton*>(entry.Visible)) {
            option->ClickByUser();
        } else if (entry.Row->Kind == ControlKind::Frame) {
            container = entry.Row->Name;
            break;
        }
        DeliverPosted();
        return;
    }
    const ScreenPoint origin = window->ContainerOrigin(container);
    for (core::VisibleControl* control : window->Stacking(container)) {
        if (control->IsWindowed() || !control->IsVisible() ||
            !Contains(Offset(ToWholePixels(control->Bounds()), origin), point)) {
            continue;
        }
        if (auto* label = dynamic_cast<FakeLabel*>(control)) {
            label->ClickByUser();
        } else if (auto* image = dynamic_cast<FakeImage*>(control)) {
            image->ClickByUser();
        }
        break;
    }
    DeliverPosted();
}

void FakeWindowSystem::FailOperation(std::string operation, int times) {
    m_Faults[std::move(operation)] = times;
}

void FakeWindowSystem::Check(std::string_view operation, std::string_view controlKey) {
    auto failIfArmed = [this](const std::string& name) {
        const auto fault = m_Faults.find(name);
        if (fault == m_Faults.end()) {
            return;
        }
        if (fault->second > 0 && --fault->second == 0) {
            m_Faults.erase(fault);
        }
        throw PlatformError("operation failed: " + name);
    };
    failIfArmed(std::string(operation));
    if (!controlKey.empty()) {
        failIfArmed(std::string(controlKey) + ":" + std::string(operation));
    }
}

std::vector<FakeWindow*> FakeWindowSystem::LoadedWindows() const {
    std::vector<FakeWindow*> loaded;
    for (core::Window* window : Windows()) {
        if (window->IsLoaded()) {
            loaded.push_back(dynamic_cast<FakeWindow*>(window));
        }
    }
    return loaded;
}

FakeWindow* FakeWindowSystem::FindLoadedWindow(std::string_view caption) const {
    for (FakeWindow* window : LoadedWindows()) {
        if (window->Layout().Caption == caption) {
            return window;
        }
    }
    return nullptr;
}

void FakeWindowSystem::BringToTop(FakeWindow* window) {
    std::erase(m_Screen, window);
    m_Screen.push_back(window);
    // Owned windows stay above their owner.
    for (FakeWindow* other : std::vector<FakeWindow*>(m_Screen)) {
        if (other->Owner() == window) {
            BringToTop(other);
        }
    }
}

// ---------------------------------------------------------------------------
// Windows

FakeWindow::FakeWindow(FakeWindowSystem& system, const WindowSpec& layout)
    : Window(system, layout),
      m_System(system),
      m_Handle(system.NewHandle()),
      m_TwipsPerPixel(platform::TwipsPerPixel / system.ScreenScale()),
      m_InnerWidth(NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerWidth)))),
      m_InnerHeight(NearestPixel(TwipsToPixels(static_cast<float>(layout.InnerHeight)))) {
    Build();
}

FakeWindow::~FakeWindow() {
    Dispose();
    m_System.RemoveFromScreen(this);
}

std::unique_ptr<core::Label> FakeWindow::MakeLabel(const core::ControlArgs& args) {
    return std::make_unique<FakeLabel>(args);
}

std::unique_ptr<core::TextBox> FakeWindow::MakeTextBox(const core::ControlArgs& args) {
    return std::make_unique<FakeTextBox>(args);
}

std::unique_ptr<core::ListBox> FakeWindow::MakeListBox(const core::ControlArgs& args) {
    return std::make_unique<FakeListBox>(args);
}

std::unique_ptr<core::OptionButton> FakeWindow::MakeOptionButton(const core::ControlArgs& args) {
    return std::make_unique<FakeOptionButton>(args);
}

std::unique_ptr<core::Frame> FakeWindow::MakeFrame(const core::ControlArgs& args) {
    return std::make_unique<FakeFrame>(args);
}

std::unique_ptr<core::Image> FakeWindow::MakeImage(const core::ControlArgs& args) {
    return std::make_unique<FakeImage>(args);
}

std::unique_ptr<core::UserControlHost> FakeWindow::MakeUserControl(
    const core::ControlArgs& args, const UserControlClass& userControlClass) {
    return std::make_unique<FakeUserControlHost>(args, userControlClass);
}

void FakeWindow::ShowNative(bool again) {
    ++m_ShowCount;
    if (again && IsMinimised()) {
        MinimisedChanged(false);
    }
    m_System.BringToTop(this);
    // A surface that appears under the resting cursor hears of it, as it
    // would from a move: the desktop sends one when what lies there changes.
    m_System.Post([this, cursor = m_System.CursorPos()] {
        if (!m_System.IsAlive(this) || !IsLoaded()) {
            return;
        }
        const WindowHandle under = m_System.WindowFromPoint(cursor);
        for (const Entry& entry : Entries()) {
            auto* host = dynamic_cast<FakeUserControlHost*>(entry.Visible);
            if (host != nullptr && host->SurfaceHandle() == under) {
                const WholePixelRect rect = host->ScreenRect();
                host->MouseMove(0, 0, PixelsToTwips(static_cast<float>(cursor.X - rect.Left)),
                                PixelsToTwips(static_cast<float>(cursor.Y - rect.Top)));
            }
        }
    });
}

bool FakeWindow::IsVisibleOnScreen() const {
    const auto* owner = dynamic_cast<const FakeWindow*>(Owner());
    return IsLoaded() && IsShown() && !IsMinimised() &&
           (owner == nullptr || owner->IsVisibleOnScreen());
}

void FakeWindow::SetInnerSize(int width, int height) {
    m_InnerWidth = width;
    m_InnerHeight = height;
    InnerSizeChanged();
}

void FakeWindow::MoveToScreenOfScale(float scale) {
    const float old = m_TwipsPerPixel;
    m_TwipsPerPixel = platform::TwipsPerPixel / scale;
    RescaleControls(old);
    m_InnerWidth = NearestPixel(TwipsToPixels(static_cast<float>(Layout().InnerWidth)));
    m_InnerHeight = NearestPixel(TwipsToPixels(static_cast<float>(Layout().InnerHeight)));
    InnerSizeChanged();
}

void FakeWindow::ClickControl(std::string_view name, int index) {
    IControl& control = Control(name, index);
    if (auto* label = dynamic_cast<FakeLabel*>(&control)) {
        label->ClickByUser();
    } else if (auto* image = dynamic_cast<FakeImage*>(&control)) {
        image->ClickByUser();
    } else if (auto* option = dynamic_cast<FakeOptionButton*>(&control)) {
        option->ClickByUser();
    } else {
        throw PlatformError("'" + ControlKey(name, index) + "' has no click of its own here");
    }
    m_System.DeliverPosted();
}

FakeUserControlHost& FakeWindow::UserControlHost(std::string_view name, int index) {
    if (auto* host = dynamic_cast<FakeUserControlHost*>(&Control(name, index))) {
        return *host;
    }
    throw PlatformError("'" + ControlKey(name, index) + "' is not a user control");
}

ScreenPoint FakeWindow::ContainerOrigin(std::string_view container) const {
    if (container.empty()) {
        return m_Origin;
    }
    for (const Entry& entry : Entries()) {
        if (entry.Row->Name == container && entry.Row->Kind == ControlKind::Frame) {
            const ScreenPoint outer = ContainerOrigin(entry.Row->Container);
            const WholePixelRect rect = ToWholePixels(entry.Visible->Bounds());
            return {outer.X + rect.Left, outer.Y + rect.Top};
        }
    }
    throw PlatformError("no container '" + std::string(container) + "'");
}

WindowHandle FakeWindow::HitTest(ScreenPoint point) const {
    // Descends from the window through the windowed controls, topmost first.
    std::string_view container;
    WindowHandle hit = m_Handle;
    for (bool descended = true; descended;) {
        descended = false;
        const ScreenPoint origin = ContainerOrigin(container);
        for (const core::VisibleControl* control : Stacking(container)) {
            if (!control->IsWindowed() || !control->IsVisible() ||
                !Contains(Offset(ToWholePixels(control->Bounds()), origin), point)) {
                continue;
            }
            hit = control->NativeHandle();
            if (control->Row().Kind == ControlKind::Frame) {
                container = control->Row().Name;
                descended = true;
            }
            break;
        }
    }
    return hit;
}

// ---------------------------------------------------------------------------
// User controls

FakeUserControlHost::FakeUserControlHost(const core::ControlArgs& args,
                                         const UserControlClass& userControlClass)
    : UserControlHost(args, userControlClass),
      m_Handle(FakeWindow::Of(args.Window).System().NewHandle()) {}

void FakeUserControlHost::Focus() {
    FakeWindow::Of(m_Window).SetFocusedControl(this);
}

bool FakeUserControlHost::HasFocus() const {
    return FakeWindow::Of(m_Window).FocusedControl() == this;
}

void FakeUserControlHost::DrawNative(const Picture& picture) {
    m_Face = picture;
    ++m_DrawCount;
}

ScreenPoint FakeUserControlHost::ScreenPointOf(float xTwips, float yTwips) const {
    const ScreenPoint origin = FakeWindow::Of(m_Window).ContainerOrigin(m_Row.Container);
    return {origin.X + NearestPixel(m_Bounds.Left + Pixels(xTwips)),
            origin.Y + NearestPixel(m_Bounds.Top + Pixels(yTwips))};
}

WholePixelRect FakeUserControlHost::ScreenRect() const {
    const ScreenPoint origin = FakeWindow::Of(m_Window).ContainerOrigin(m_Row.Container);
    return Offset(ToWholePixels(m_Bounds), origin);
}

void FakeUserControlHost::MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    FakeWindow::Of(m_Window).System().SetCursorPos(ScreenPointOf(x, y));
    SurfaceMouseDown(button, shift, Pixels(x), Pixels(y));
}

void FakeUserControlHost::MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    FakeWindow::Of(m_Window).System().SetCursorPos(ScreenPointOf(x, y));
    SurfaceMouseMove(button, shift, Pixels(x), Pixels(y));
}

void FakeUserControlHost::MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    FakeWindow::Of(m_Window).System().SetCursorPos(ScreenPointOf(x, y));
    SurfaceMouseUp(button, shift, Pixels(x), Pixels(y));
}

void FakeUserControlHost::ClickByUser() {
    const float x = Width() / 2;
    const float y = Height() / 2;
    MouseMove(0, 0, x, y);
    MouseDown(1, 0, x, y);
    MouseUp(1, 0, x, y);
    FakeWindow::Of(m_Window).System().DeliverPosted();
}

// ---------------------------------------------------------------------------
// Timers

void FakeTimer::Start(int milliseconds) {
    m_Running = true;
    m_Interval = milliseconds;
    m_NextDue = m_System.Now() + milliseconds;
}

void FakeTimer::Fire() {
    m_NextDue += m_Interval;
    m_Elapsed();
}

}  // namespace ponderix::platform::fake
