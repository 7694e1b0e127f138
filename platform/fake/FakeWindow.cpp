#include "platform/fake/FakeWindow.h"

#include "platform/fake/FakeControls.h"
#include "platform/fake/FakeSupport.h"
#include "platform/fake/FakeUserControlHost.h"

namespace ponderix::platform::fake {

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

}  // namespace ponderix::platform::fake
