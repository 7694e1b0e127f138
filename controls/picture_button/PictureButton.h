// PictureButton: an image button whose face is one of three pictures, chosen by
// what the mouse is doing over it: Picture while the mouse is elsewhere,
// PictureHover while the cursor rests on it, PictureDown while the left button
// holds it down. It relays its surface's mouse and click notifications to its
// host as events, adds MouseEnter and MouseLeave, and always takes the size of
// the picture it shows.
//
// Leaving is found by polling: from MouseEnter until MouseLeave a 1 ms timer
// asks the window system which window lies under the cursor. A button that is
// not hovered costs nothing.
//
// This is the control's logic only. Drawing, the surface's window and the mouse
// come from the window system through IUserControlSite. The host makes it a
// tab stop that Space and Return click (a click notification, no mouse), and
// draws the focus cue over its face.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Event.h"
#include "platform/UserControl.h"

namespace ponderix::controls {

class PictureButton final : public platform::IUserControl {
public:
    static constexpr std::string_view ClassId = "Ponderix.PictureButton";

    // Flags kept in 16-bit integers: -1 for true, 0 for false.
    static constexpr std::int16_t True = -1;
    static constexpr std::int16_t False = 0;

    // Display states; any other value draws as Normal.
    static constexpr std::int16_t Normal = 0;
    static constexpr std::int16_t Hover = 1;
    static constexpr std::int16_t Down = 2;

    // The class as the window system learns it (design, children, factory).
    static platform::UserControlClass Class();

    explicit PictureButton(platform::IUserControlSite& site);

    // Properties. Assigning one stores the reference (not a copy), redraws the
    // face of the current state and tells the host which property changed.
    platform::Picture Picture() const { return m_New_Picture; }
    void SetPicture(platform::Picture picture);
    platform::Picture PictureHover() const { return m_New_PictureHover; }
    void SetPictureHover(platform::Picture picture);
    platform::Picture PictureDown() const { return m_New_PictureDown; }
    void SetPictureDown(platform::Picture picture);

    // Events, in their declared order. Button, Shift, x and y are the control's
    // own variables: a handler that changes them changes what the control does next.
    platform::Event<> Click;
    platform::Event<> DblClick;
    platform::Event<std::int16_t&, std::int16_t&, float&, float&> MouseMove;
    platform::Event<std::int16_t&, std::int16_t&, float&, float&> MouseUp;
    platform::Event<std::int16_t&, std::int16_t&, float&, float&> MouseDown;
    platform::Event<> MouseEnter;
    platform::Event<> MouseLeave;

    std::int16_t State() const { return m_State; }

    // Notifications from the host.
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const platform::PropertyBag& bag) override;
    void UserControl_WriteProperties(platform::PropertyBag& bag) const override;
    void UserControl_Resize() override;
    void UserControl_Click() override;
    void UserControl_DblClick() override;
    void UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override;
    void UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) override;
    void UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y) override;

private:
    void tmrUpdate_Timer();
    void AssignPicture(platform::Picture& member, platform::Picture picture, std::string_view key);
    // Shows the picture of the current state and fits the control to it. Every
    // step runs even when an earlier one failed; no error leaves it.
    void DrawButton();
    std::int16_t IsMouseOver();

    platform::IUserControlSite& m_Site;
    platform::ITimer& tmrUpdate;
    platform::IPictureBox& Picture1;

    platform::Picture m_New_Picture;
    platform::Picture m_New_PictureHover;
    platform::Picture m_New_PictureDown;
    std::int16_t m_Hover = False;
    std::int16_t m_State = Normal;
};

}  // namespace ponderix::controls
