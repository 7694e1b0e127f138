#include "platform/fake/FakeWindowSystem.h"

#include <algorithm>

#include "assets/Assets.h"
#include "platform/fake/FakeControls.h"
#include "platform/fake/FakeSupport.h"

namespace ponderix::platform::fake {

// ---------------------------------------------------------------------------
// The window system

FakeWindowSystem::FakeWindowSystem()
    : WindowSystemBase(assets::DecodeAsset),
      m_Settings(std::make_unique<FakeSettingsStore>(*this)) {}

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
