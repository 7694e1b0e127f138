// Controls of our own (user controls). A user control's logic is toolkit-free
// (IUserControl); the backend hosts it on a surface of its own window
// (IUserControlSite), passes it the platform's notifications, and builds the
// child controls of the control's design.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/Controls.h"
#include "platform/Layout.h"
#include "platform/Picture.h"
#include "platform/PropertyBag.h"

namespace ponderix::platform {

class IWindowSystem;

// A hidden picture box: it takes a picture, sizes itself to it and reports its
// size in twips. An empty picture empties it and leaves its size as it was.
class IPictureBox : public IControl {
public:
    virtual void SetPicture(Picture picture) = 0;
    virtual Picture GetPicture() const = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;
};

// What a hosted control may ask of its surface. Sizes are in twips.
class IUserControlSite {
public:
    virtual ~IUserControlSite() = default;

    virtual IWindowSystem& System() = 0;

    // Fills the surface with its background colour.
    virtual void Clear() = 0;
    // Copies the picture's pixels to the surface at 0, 0 at natural size; the
    // surface keeps showing them until the next Clear or DrawPicture, also when
    // the window is covered and uncovered. Throws PlatformError for an empty picture.
    virtual void DrawPicture(const Picture& picture) = 0;

    virtual float Width() const = 0;
    virtual float Height() const = 0;
    // Each raises the control's Resize notification, from within the call, when
    // the size really changes.
    virtual void SetWidth(float twips) = 0;
    virtual void SetHeight(float twips) = 0;

    // The handle of the surface's own native window.
    virtual WindowHandle Handle() const = 0;

    // Marks a property as changed, so the host saves it with the layout.
    virtual void PropertyChanged(std::string_view key) = 0;

    // Child controls of the control's design, by name.
    virtual ITimer& Timer(std::string_view name) = 0;
    virtual IPictureBox& PictureBox(std::string_view name) = 0;
};

// The notifications a hosted control receives, each named after the event of
// the control's own surface that it answers. Mouse positions are in twips on the
// surface; Button and Shift follow the platform's convention (Button 1 left, 2
// right, 4 middle, in a move the sum of those held; Shift 1 Shift, 2 Ctrl, 4 Alt).
class IUserControl {
public:
    virtual ~IUserControl() = default;

    virtual void UserControl_InitProperties() = 0;
    virtual void UserControl_ReadProperties(const PropertyBag& bag) = 0;
    virtual void UserControl_WriteProperties(PropertyBag& bag) const = 0;
    virtual void UserControl_Resize() = 0;
    virtual void UserControl_Click() = 0;
    virtual void UserControl_DblClick() = 0;
    virtual void UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x,
                                       float y) = 0;
    virtual void UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x,
                                       float y) = 0;
    virtual void UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y) = 0;
};

// How a backend learns a user control class: its design and how to make one.
struct UserControlClass {
    const UserControlDesign* Design = nullptr;
    std::function<std::unique_ptr<IUserControl>(IUserControlSite&)> Create;
};

// A user control placed on a window, as the window's code sees it.
class IUserControlHost : public IVisibleControl {
public:
    virtual IUserControl& Instance() = 0;
};

}  // namespace ponderix::platform
