#include "platform/fake/FakeWindowSystem.h"

#include <algorithm>

#include "assets/Assets.h"
#include "platform/HiddenPictureBox.h"
#include "platform/fake/FakeControls.h"

namespace ponderix::platform::fake {
namespace {

bool Contains(const WholePixelRect& rect, ScreenPoint point) {
    return point.X >= rect.Left && point.X < rect.Left + rect.Width && point.Y >= rect.Top &&
           point.Y < rect.Top + rect.Height;
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
        return m_System.NextMenuChoice();
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
    : m_Pictures(assets::DecodeAsset), m_Settings(std::make_unique<SettingsStore>(*this)) {}

FakeWindowSystem::~FakeWindowSystem() = default;

void FakeWindowSystem::RegisterUserControl(UserControlClass userControlClass) {
    m_Classes.Register(std::move(userControlClass));
}

std::unique_ptr<IWindow> FakeWindowSystem::CreateWindow(const WindowSpec& layout) {
    Check("Window.Create");
    CheckLayout(layout);
    m_Classes.CheckClassesOf(layout);
    return std::make_unique<FakeWindow>(*this, layout);
}

Picture FakeWindowSystem::LoadPicture(AssetName asset) {
    Check("LoadPicture");
    if (const auto own = m_TestPictures.find(asset.File); own != m_TestPictures.end()) {
        return own->second;
    }
    return m_Pictures.Load(asset);
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

unsigned FakeWindowSystem::NextMenuChoice() {
    if (m_MenuChoices.empty()) {
        return 0;
    }
    const unsigned choice = m_MenuChoices.front();
    m_MenuChoices.erase(m_MenuChoices.begin());
    return choice;
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
    for (auto window = m_Windows.rbegin(); window != m_Windows.rend(); ++window) {
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
        m_Now = next->NextDue();
        next->Fire();
    }
    m_Now = until;
}

int FakeWindowSystem::EnabledTimerCount() const {
    return static_cast<int>(std::count_if(m_Timers.begin(), m_Timers.end(),
                                          [](const FakeTimer* timer) { return timer->Enabled(); }));
}

WindowHandle FakeWindowSystem::AddForeignWindow(WholePixelRect screenRect) {
    m_ForeignWindows.push_back({NewHandle(), screenRect});
    return m_ForeignWindows.back().Handle;
}

void FakeWindowSystem::RemoveForeignWindow(WindowHandle handle) {
    std::erase_if(m_ForeignWindows,
                  [handle](const ForeignWindow& window) { return window.Handle == handle; });
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
    std::copy_if(m_Windows.begin(), m_Windows.end(), std::back_inserter(loaded),
                 [](const FakeWindow* window) { return window->IsLoaded(); });
    return loaded;
}

FakeWindow* FakeWindowSystem::FindLoadedWindow(std::string_view caption) const {
    for (FakeWindow* window : m_Windows) {
        if (window->IsLoaded() && window->Layout().Caption == caption) {
            return window;
        }
    }
    return nullptr;
}

void FakeWindowSystem::RemoveTimer(FakeTimer* timer) {
    std::erase(m_Timers, timer);
}

void FakeWindowSystem::RemoveWindow(FakeWindow* window) {
    std::erase(m_Windows, window);
}

void FakeWindowSystem::BringToTop(FakeWindow* window) {
    if (std::find(m_Windows.begin(), m_Windows.end(), window) == m_Windows.end()) {
        m_Windows.push_back(window);
    } else {
        std::erase(m_Windows, window);
        m_Windows.push_back(window);
    }
    // Owned windows stay above their owner.
    const std::vector<FakeWindow*> windows = m_Windows;
    for (FakeWindow* other : windows) {
        if (other->Owner() == window) {
            BringToTop(other);
        }
    }
}

// ---------------------------------------------------------------------------
// Windows

FakeWindow::FakeWindow(FakeWindowSystem& system, const WindowSpec& layout)
    : m_System(system),
      m_Layout(layout),
      m_Handle(system.NewHandle()),
      m_InnerWidth(TwipsToPixels(static_cast<float>(layout.InnerWidth))),
      m_InnerHeight(TwipsToPixels(static_cast<float>(layout.InnerHeight))) {
    m_System.BringToTop(this);
    for (const ControlSpec& row : layout.Controls) {
        Entry entry{&row, MakeControl(row), 0};
        if (auto* host = dynamic_cast<FakeUserControlHost*>(entry.Control.get())) {
            entry.Handle = host->SurfaceHandle();
        } else if (IsWindowed(row.Kind)) {
            entry.Handle = system.NewHandle();
        }
        m_Index[ControlKey(row.Name, row.Index)] = m_Controls.size();
        m_Controls.push_back(std::move(entry));
    }
    // User controls load once the whole window exists, as their pictures and
    // sizes may be read by the window's code from then on.
    for (Entry& entry : m_Controls) {
        if (auto* host = dynamic_cast<FakeUserControlHost*>(entry.Control.get())) {
            host->Load();
        }
    }
}

std::unique_ptr<IControl> FakeWindow::MakeControl(const ControlSpec& row) {
    switch (row.Kind) {
        case ControlKind::Label:
            return std::make_unique<FakeLabel>(*this, row, row.Font.value_or(m_Layout.Font));
        case ControlKind::TextBox:
            return std::make_unique<FakeTextBox>(*this, row);
        case ControlKind::ListBox:
            return std::make_unique<FakeListBox>(*this, row);
        case ControlKind::OptionButton:
            return std::make_unique<FakeOptionButton>(*this, row);
        case ControlKind::Frame:
            return std::make_unique<FakeFrame>(*this, row);
        case ControlKind::Image:
            return std::make_unique<FakeImage>(*this, row);
        case ControlKind::Timer:
            return std::make_unique<FakeTimer>(m_System, ControlKey(row.Name, row.Index),
                                               row.Enabled, row.IntervalMs);
        case ControlKind::PictureBox:
            return std::make_unique<HiddenPictureBox>(static_cast<float>(row.Rect.Width),
                                                      static_cast<float>(row.Rect.Height));
        case ControlKind::UserControl:
            return std::make_unique<FakeUserControlHost>(
                *this, row, m_System.UserControlClasses().ClassOf(row.ClassId));
    }
    throw PlatformError("unknown control kind");
}

FakeWindow::~FakeWindow() {
    for (FakeWindow* other : m_System.LoadedWindows()) {
        if (other->m_Owner == this) {
            other->m_Owner = nullptr;
        }
    }
    m_System.RemoveWindow(this);
}

IControl& FakeWindow::Control(std::string_view name, int index) {
    const auto found = m_Index.find(ControlKey(name, index));
    if (found == m_Index.end()) {
        throw PlatformError("window '" + std::string(m_Layout.Name) + "' has no control '" +
                            ControlKey(name, index) + "'");
    }
    return *m_Controls[found->second].Control;
}

void FakeWindow::CheckLoaded(std::string_view operation, std::string_view controlKey) {
    if (!m_Loaded) {
        throw PlatformError("window '" + std::string(m_Layout.Name) + "' is unloaded");
    }
    m_System.Check(operation, controlKey);
}

void FakeWindow::Show(IWindow* owner) {
    CheckLoaded("Window.Show", m_Layout.Name);
    ++m_ShowCount;
    m_Minimised = false;
    if (!m_Shown) {
        m_Shown = true;
        m_Owner = dynamic_cast<FakeWindow*>(owner);
        const int width = static_cast<int>(m_InnerWidth);
        const int height = static_cast<int>(m_InnerHeight);
        if (m_Layout.StartPosition == StartPosition::CentreOwner && m_Owner != nullptr) {
            const WholePixelRect ownerRect = m_Owner->ScreenRect();
            m_Origin = {ownerRect.Left + (ownerRect.Width - width) / 2,
                        ownerRect.Top + (ownerRect.Height - height) / 2};
        } else {
            m_Origin = {(FakeWindowSystem::ScreenWidth - width) / 2,
                        (FakeWindowSystem::ScreenHeight - height) / 2};
        }
        m_System.BringToTop(this);
        Resize.Raise();
        return;
    }
    m_System.BringToTop(this);
}

void FakeWindow::Minimise() {
    CheckLoaded("Window.Minimise", m_Layout.Name);
    m_Minimised = true;
}

void FakeWindow::Restore() {
    m_Minimised = false;
}

void FakeWindow::Unload() {
    if (!m_Loaded) {
        return;
    }
    for (FakeWindow* other : m_System.LoadedWindows()) {
        if (other->m_Owner == this) {
            other->Unload();
        }
    }
    m_Loaded = false;
    m_Shown = false;
    for (Entry& entry : m_Controls) {
        if (auto* timer = dynamic_cast<FakeTimer*>(entry.Control.get())) {
            timer->Stop();
        }
        if (auto* host = dynamic_cast<FakeUserControlHost*>(entry.Control.get())) {
            host->StopTimers();
        }
    }
    Unloaded.Raise();
}

bool FakeWindow::IsVisibleOnScreen() const {
    return m_Loaded && m_Shown && !m_Minimised &&
           (m_Owner == nullptr || m_Owner->IsVisibleOnScreen());
}

WholePixelRect FakeWindow::ScreenRect() const {
    return {m_Origin.X, m_Origin.Y, static_cast<int>(m_InnerWidth),
            static_cast<int>(m_InnerHeight)};
}

void FakeWindow::SetInnerSize(float width, float height) {
    if (width == m_InnerWidth && height == m_InnerHeight) {
        return;
    }
    m_InnerWidth = width;
    m_InnerHeight = height;
    if (m_Shown) {
        Resize.Raise();
    }
}

void FakeWindow::ClickControl(std::string_view name, int index) {
    IControl& control = Control(name, index);
    if (auto* label = dynamic_cast<ILabel*>(&control)) {
        label->Click.Raise();
    } else if (auto* image = dynamic_cast<IImage*>(&control)) {
        image->Click.Raise();
    } else if (auto* option = dynamic_cast<IOptionButton*>(&control)) {
        option->SetValue(true);
        option->Click.Raise();
    } else {
        throw PlatformError("'" + ControlKey(name, index) + "' has no click of its own here");
    }
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
    const auto found = m_Index.find(container);
    if (found == m_Index.end()) {
        throw PlatformError("no container '" + std::string(container) + "'");
    }
    const Entry& frame = m_Controls[found->second];
    const ScreenPoint outer = ContainerOrigin(frame.Row->Container);
    const PixelRect bounds = dynamic_cast<const IVisibleControl&>(*frame.Control).Bounds();
    return {outer.X + NearestPixel(bounds.Left), outer.Y + NearestPixel(bounds.Top)};
}

WindowHandle FakeWindow::HitTest(ScreenPoint point) const {
    // Descends from the window through the windowed controls, topmost first.
    std::string_view container;
    WindowHandle hit = m_Handle;
    for (bool descended = true; descended;) {
        descended = false;
        const ScreenPoint origin = ContainerOrigin(container);
        for (const Entry& entry : m_Controls) {
            if (entry.Row->Container != container || !IsWindowed(entry.Row->Kind)) {
                continue;
            }
            const auto& visible = dynamic_cast<const IVisibleControl&>(*entry.Control);
            const WholePixelRect rect = ToWholePixels(visible.Bounds());
            if (!visible.Visible() ||
                !Contains({origin.X + rect.Left, origin.Y + rect.Top, rect.Width, rect.Height},
                          point)) {
                continue;
            }
            hit = entry.Handle;
            if (entry.Row->Kind == ControlKind::Frame) {
                container = entry.Row->Name;
                descended = true;
            }
            break;
        }
    }
    return hit;
}

void FakeWindow::SelectOption(FakeOptionButton& selected) {
    for (Entry& entry : m_Controls) {
        auto* option = dynamic_cast<FakeOptionButton*>(entry.Control.get());
        if (option != nullptr && option != &selected && option->Group() == selected.Group()) {
            option->Deselect();
        }
    }
}

void FakeWindow::BringControlToFront(IControl& control) {
    const auto found =
        std::find_if(m_Controls.begin(), m_Controls.end(),
                     [&control](const Entry& entry) { return entry.Control.get() == &control; });
    if (found == m_Controls.end()) {
        return;
    }
    std::rotate(m_Controls.begin(), found, found + 1);
    for (std::size_t i = 0; i < m_Controls.size(); ++i) {
        m_Index[ControlKey(m_Controls[i].Row->Name, m_Controls[i].Row->Index)] = i;
    }
}

// ---------------------------------------------------------------------------
// Standard controls

std::string FakeListBox::List(int row) const {
    if (row < 0 || row >= ListCount()) {
        throw PlatformError("list row " + std::to_string(row) + " does not exist");
    }
    return m_Rows[static_cast<std::size_t>(row)];
}

void FakeListBox::SetListIndex(int row) {
    Check("ListBox.SetListIndex");
    if (row < -1 || row >= ListCount()) {
        throw PlatformError("invalid list index " + std::to_string(row));
    }
    m_ListIndex = row;
}

void FakeOptionButton::SetValue(bool selected) {
    Check("OptionButton.SetValue");
    if (selected) {
        m_Window.SelectOption(*this);
    }
    m_Value = selected;
}

// ---------------------------------------------------------------------------
// Timers

FakeTimer::FakeTimer(FakeWindowSystem& system, std::string key, bool enabled, int interval)
    : m_System(system), m_Key(std::move(key)), m_Enabled(enabled), m_Interval(interval) {
    m_NextDue = m_System.Now() + m_Interval;
    m_System.AddTimer(this);
}

FakeTimer::~FakeTimer() {
    m_System.RemoveTimer(this);
}

void FakeTimer::SetEnabled(bool enabled) {
    m_System.Check("Timer.SetEnabled", m_Key);
    if (enabled && !m_Enabled) {
        m_NextDue = m_System.Now() + m_Interval;
    }
    m_Enabled = enabled;
}

void FakeTimer::SetInterval(int milliseconds) {
    m_System.Check("Timer.SetInterval", m_Key);
    m_Interval = milliseconds;
    m_NextDue = m_System.Now() + m_Interval;
}

void FakeTimer::Fire() {
    m_NextDue += m_Interval;
    Tick.Raise();
}

}  // namespace ponderix::platform::fake
