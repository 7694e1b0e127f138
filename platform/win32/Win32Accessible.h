// What screen readers learn of the program's windows through Microsoft Active
// Accessibility, which the standard Windows readers use directly and UI
// Automation through its MSAA bridge. Each native window answers WM_GETOBJECT
// for its client area:
//
// - a window or a frame (a container) with an object whose children are the
//   controls it holds, in tab order: the windowless ones (labels, images) as
//   its simple elements, child ids 1, 2, ..., the windowed ones as their own
//   objects;
// - a user control's surface with an object of its own, a push button for
//   the picture button;
// - a text box, list box or option button with the desktop's own object for
//   its class (CreateStdAccessibleObject), renamed and given the role the
//   core says.
//
// Names, roles and descriptions come from the core, which takes them from
// the layout. An object outlives its control when a screen reader holds on to
// it: it then answers that the control is gone. A press (the default action)
// is posted, and runs once the reader's call has returned: it may open a menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/CoreWindow.h"
#include "platform/win32/Win32Support.h"

namespace ponderix::platform::win32::detail {

// Posted to a window of ours to press one of its controls: WPARAM is the
// control's position in the window's entries.
inline constexpr UINT PressMessage = WM_APP + 2;

// What an accessible object speaks for, while it is there.
struct AccessibleAnchor {
    core::Window* Window = nullptr;
    // The control whose client area it is; null for a window's own, and for
    // a window's announcement (FixedRole).
    core::VisibleControl* Self = nullptr;
    // A window's or a frame's: the controls it holds are its children.
    bool IsContainer = false;
    std::string ContainerName;
    // An object that stands for no control (a window's announcement): its
    // role; its name is its window's text.
    long FixedRole = 0;

    bool IsGone() const { return Window == nullptr || !Window->IsLoaded(); }
    void Cut() {
        Window = nullptr;
        Self = nullptr;
    }
};

// The children of a container, in the order a reader meets them: the tab
// order, then the controls without a tab index in layout order; no
// decoration among them.
std::vector<core::VisibleControl*> AccessibleChildren(const core::Window& window,
                                                      std::string_view container);
// A windowless control's child id in its container: its position there, from 1.
long AccessibleChildId(const core::VisibleControl& control);

// The answer to WM_GETOBJECT for the client area of a window of ours; 0 for
// any other object.
LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam,
                        const std::shared_ptr<AccessibleAnchor>& anchor);

// Makes a text box, list box or option button answer WM_GETOBJECT with the
// desktop's object for its class, named and given its role by the core.
void AnswerForStandardControl(HWND hwnd, const std::shared_ptr<AccessibleAnchor>& anchor);

// Tells screen readers of a new text of a window's announcement (a static
// text of no size that no one sees, answering WM_GETOBJECT through
// AnswerForStandardControl as an alert), as they hear of an alert.
void TellAnnouncement(HWND hwnd);

// Tells screen readers that a control's name or description changed.
void TellAccessibleChange(const core::VisibleControl& control, HWND container, bool name);

// A control's role as MSAA numbers it, and back (for the tests).
long ToMsaaRole(AccessibleRole role);
AccessibleRole FromMsaaRole(long role);

}  // namespace ponderix::platform::win32::detail
