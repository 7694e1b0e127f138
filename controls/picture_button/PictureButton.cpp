#include "controls/picture_button/PictureButton.h"

#include <memory>

#include "platform/WindowSystem.h"

namespace ponderix::controls {
namespace {

using platform::ControlKind;
using platform::ControlSpec;

// The property-bag keys; a saved layout may spell them in any case.
constexpr std::string_view PictureKey = "Picture";
constexpr std::string_view PictureHoverKey = "PictureHover";
constexpr std::string_view PictureDownKey = "PictureDown";

constexpr ControlSpec Children[] = {
    {.Kind = ControlKind::Timer, .Name = "tmrUpdate", .Enabled = false, .IntervalMs = 1},
    // Stays hidden: a visible child over the surface would be the window under
    // the cursor, and the button would never find the mouse over itself.
    {.Kind = ControlKind::PictureBox,
     .Name = "Picture1",
     .Rect = {0, 0, 1635, 855},
     .Visible = false,
     .AutoSize = true},
};

// A button: a tab stop that Space and Return click, a push button to screen
// readers.
constexpr platform::UserControlDesign Design{.ClassId = PictureButton::ClassId,
                                             .Width = 900,
                                             .Height = 855,
                                             .Children = Children,
                                             .CanFocus = true,
                                             .Role = platform::AccessibleRole::PushButton};

// Runs one drawing step; a failing step is skipped.
template <typename Step>
void Try(Step&& step) noexcept {
    try {
        step();
    } catch (...) {  // NOLINT(bugprone-empty-catch): DrawButton goes on past any failure
    }
}

}  // namespace

platform::UserControlClass PictureButton::Class() {
    return {&Design,
            [](platform::IUserControlSite& site) -> std::unique_ptr<platform::IUserControl> {
                return std::make_unique<PictureButton>(site);
            }};
}

PictureButton::PictureButton(platform::IUserControlSite& site)
    : m_Site(site), tmrUpdate(site.Timer("tmrUpdate")), Picture1(site.PictureBox("Picture1")) {
    tmrUpdate.Tick.Connect([this] { tmrUpdate_Timer(); });
}

void PictureButton::SetPicture(platform::Picture picture) {
    AssignPicture(m_New_Picture, std::move(picture), PictureKey);
}

void PictureButton::SetPictureHover(platform::Picture picture) {
    AssignPicture(m_New_PictureHover, std::move(picture), PictureHoverKey);
}

void PictureButton::SetPictureDown(platform::Picture picture) {
    AssignPicture(m_New_PictureDown, std::move(picture), PictureDownKey);
}

void PictureButton::AssignPicture(platform::Picture& member, platform::Picture picture,
                                  std::string_view key) {
    member = std::move(picture);
    DrawButton();
    m_Site.PropertyChanged(key);
}

void PictureButton::UserControl_InitProperties() {
    m_New_Picture = {};
    m_New_PictureHover = {};
    m_New_PictureDown = {};
}

void PictureButton::UserControl_ReadProperties(const platform::PropertyBag& bag) {
    m_New_Picture = bag.ReadPicture(PictureKey);
    m_New_PictureHover = bag.ReadPicture(PictureHoverKey);
    m_New_PictureDown = bag.ReadPicture(PictureDownKey);
}

void PictureButton::UserControl_WriteProperties(platform::PropertyBag& bag) const {
    bag.WriteProperty(PictureKey, m_New_Picture, platform::Picture{});
    bag.WriteProperty(PictureHoverKey, m_New_PictureHover, platform::Picture{});
    bag.WriteProperty(PictureDownKey, m_New_PictureDown, platform::Picture{});
}

void PictureButton::UserControl_Resize() {
    DrawButton();
}

void PictureButton::UserControl_Click() {
    Click.Raise();
}

void PictureButton::UserControl_DblClick() {
    DblClick.Raise();
}

void PictureButton::UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x,
                                          float y) {
    MouseDown.Raise(button, shift, x, y);
    if (button == 1) {
        m_State = Down;
        DrawButton();
    }
}

void PictureButton::UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x,
                                          float y) {
    MouseMove.Raise(button, shift, x, y);
    if (button >= 2) {
        return;
    }
    if (IsMouseOver() == False) {
        m_Hover = False;
        m_State = Normal;
        DrawButton();
    } else if (button == 0 && m_Hover == False) {
        tmrUpdate.SetEnabled(true);
        m_Hover = True;
        MouseEnter.Raise();
        m_State = Hover;
        DrawButton();
    } else if (button == 1) {
        m_State = Down;
        DrawButton();
        m_Hover = False;
    }
}

void PictureButton::UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    MouseUp.Raise(button, shift, x, y);
    m_State = IsMouseOver() != False ? Hover : Normal;
    DrawButton();
}

void PictureButton::tmrUpdate_Timer() {
    if (IsMouseOver() != False) {
        return;
    }
    tmrUpdate.SetEnabled(false);
    m_Hover = False;
    MouseLeave.Raise();
    m_State = Normal;
    DrawButton();
}

void PictureButton::DrawButton() {
    const platform::Picture& chosen = m_State == Hover  ? m_New_PictureHover
                                      : m_State == Down ? m_New_PictureDown
                                                        : m_New_Picture;
    // A copy: a resize below re-enters DrawButton, which may not change the
    // members, but the reference must not depend on that.
    const platform::Picture picture = chosen;
    Try([&] { m_Site.Clear(); });
    Try([&] { m_Site.DrawPicture(picture); });
    Try([&] { Picture1.SetPicture(picture); });
    Try([&] { m_Site.SetWidth(Picture1.Width()); });
    Try([&] { m_Site.SetHeight(Picture1.Height()); });
}

std::int16_t PictureButton::IsMouseOver() {
    platform::IWindowSystem& system = m_Site.System();
    const platform::ScreenPoint cursor = system.CursorPos();
    const platform::WindowHandle under = system.WindowFromPoint(cursor);
    return under == m_Site.Handle() ? True : False;
}

}  // namespace ponderix::controls
