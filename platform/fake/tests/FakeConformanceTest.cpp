// The window-system contract on the fake window system: the fake must behave as
// the real backends do, or the controllers' tests on it prove nothing.
#include "platform/core/FocusCue.h"
#include "platform/core/LayoutSupport.h"
#include "platform/fake/FakeControls.h"
#include "platform/fake/FakeWindowSystem.h"
#include "platform/tests/conformance/Conformance.h"

namespace ponderix::platform::conformance {
namespace {

using fake::FakeWindow;
using fake::FakeWindowSystem;

class FakeDriver final : public Driver {
public:
    FakeDriver() { m_System.RecordAccessibleEvents(); }

    IWindowSystem& System() override { return m_System; }

    void Pump(int milliseconds) override {
        m_System.AdvanceTime(milliseconds);
        m_System.DeliverPosted();
    }

    void PressTab(bool backwards) override { m_System.PressTab(backwards); }
    void PressKey(std::int16_t keyCode, std::int16_t shift) override {
        m_System.PressKey(keyCode, shift);
    }
    void ClickAt(ScreenPoint point) override { m_System.ClickAt(point); }
    void MoveCursor(ScreenPoint point) override { m_System.SetCursorPos(point); }
    void MovePointerOutOfEveryWindow(ScreenPoint to) override { m_System.SetCursorPos(to); }

    void WhenMenuOpens(MenuAction action) override {
        using Kind = fake::MenuAction::Kind;
        switch (action.What) {
            case MenuAction::Kind::Return:
                m_System.ScriptMenuAction({Kind::Return, 0, {}});
                break;
            case MenuAction::Kind::Escape:
                m_System.ScriptMenuAction({Kind::Escape, 0, {}});
                break;
            case MenuAction::Kind::PressAt:
                m_System.ScriptMenuAction({Kind::PressAt, 0, action.At});
                break;
        }
    }

    void WhenMessageBoxOpens() override {}  // the fake's message boxes return at once

    std::vector<SeenMessage> MessagesSeen() override {
        std::vector<SeenMessage> seen;
        for (const fake::RecordedMessage& message : m_System.Messages()) {
            seen.push_back({message.Prompt, message.Caption});
        }
        return seen;
    }

    std::string FocusedControl(IWindow& window) override {
        const core::VisibleControl* focused = FakeWindow::Of(window).FocusedControl();
        return focused != nullptr ? focused->Key() : std::string();
    }

    std::pair<int, int> Selection(IWindow& window, std::string_view key) override {
        const auto [start, length] =
            dynamic_cast<fake::FakeTextBox&>(window.Control(key)).Selection();
        return {static_cast<int>(start), static_cast<int>(length)};
    }

    WholePixelRect ScreenRect(IWindow& window, std::string_view key) override {
        FakeWindow& fake = FakeWindow::Of(window);
        if (key.empty()) {
            return fake.ScreenRect();
        }
        for (const core::Window::Entry& entry : fake.Entries()) {
            if (entry.Visible != nullptr && entry.Visible->Key() == key) {
                const ScreenPoint origin = fake.ContainerOrigin(entry.Row->Container);
                const WholePixelRect rect = ToWholePixels(entry.Visible->Bounds());
                return {origin.X + rect.Left, origin.Y + rect.Top, rect.Width, rect.Height};
            }
        }
        throw PlatformError("no control '" + std::string(key) + "'");
    }

    bool IsOnScreen(IWindow& window) override { return FakeWindow::Of(window).IsVisibleOnScreen(); }
    WholePixelRect WorkArea(IWindow& /*window*/) override {
        return {0, 0, FakeWindowSystem::ScreenWidth, FakeWindowSystem::ScreenHeight};
    }
    // The face drawn last, which the fake's surface keeps at its own size.
    Bitmap SurfaceShows(IWindow& window, std::string_view key) override {
        const fake::FakeUserControlHost& host = FakeWindow::Of(window).UserControlHost(key);
        const Bitmap face = host.Face().IsEmpty() ? Bitmap{} : host.Face().Pixels();
        return host.ShowsFocusCue() ? WithFocusCue(face) : face;
    }

    AccessibleRole RoleOf(IWindow& window, std::string_view key) override {
        return key.empty() ? FakeWindow::Of(window).Role() : Visible(window, key).Role();
    }
    std::string NameOf(IWindow& window, std::string_view key) override {
        return key.empty() ? FakeWindow::Of(window).AccessibleName()
                           : Visible(window, key).AccessibleName();
    }
    std::string DescriptionOf(IWindow& window, std::string_view key) override {
        return Visible(window, key).AccessibleDescription();
    }
    void PressByReader(IWindow& window, std::string_view key) override {
        FakeWindow::Of(window).Press(Visible(window, key));
        m_System.DeliverPosted();
    }
    std::vector<std::string> ReaderEvents(IWindow& /*window*/) override {
        const std::vector<std::string>& all = m_System.AccessibleEvents();
        std::vector<std::string> since(all.begin() + static_cast<std::ptrdiff_t>(m_EventsRead),
                                       all.end());
        m_EventsRead = all.size();
        return since;
    }
    void RestoreByUser(IWindow& window) override { FakeWindow::Of(window).Restore(); }
    void CloseByUser(IWindow& window) override { FakeWindow::Of(window).CloseByUser(); }

private:
    static core::VisibleControl& Visible(IWindow& window, std::string_view key) {
        core::VisibleControl* control = FakeWindow::Of(window).FindVisible(key);
        if (control == nullptr) {
            throw PlatformError("no control '" + std::string(key) + "'");
        }
        return *control;
    }

    FakeWindowSystem m_System;
    std::size_t m_EventsRead = 0;
};

INSTANTIATE_TEST_SUITE_P(
    Contract, ConformanceTest,
    ::testing::Values(Backend{
        "Fake", [] { return std::unique_ptr<Driver>(std::make_unique<FakeDriver>()); }}),
    BackendName);

}  // namespace
}  // namespace ponderix::platform::conformance
