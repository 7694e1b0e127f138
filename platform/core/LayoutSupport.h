// What every backend does alike when it builds a window from its layout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Layout.h"
#include "platform/PropertyBag.h"
#include "platform/Units.h"

namespace ponderix::platform {

class IWindowSystem;

// Whether the kind has a native window of its own: text box, list box, option
// button, frame and user control. Labels and images are drawn by their container
// and so lie below every windowed control of it; timers and picture boxes show
// nothing.
bool IsWindowed(ControlKind kind);

// The user control's saved properties as a property bag, its pictures loaded.
PropertyBag SavedProperties(const ControlSpec& control, IWindowSystem& system);

// The role a control of that kind has when its row says nothing else; a user
// control's is its design's (UserControlDesign::Role).
AccessibleRole AccessibleRoleOf(ControlKind kind);

// What a caption shows: line breaks (a carriage return, with or without a line
// feed) become "\n", "&&" becomes "&", and a lone "&" (a mnemonic mark) goes.
std::string CaptionText(std::string_view caption);
// The same as a screen reader should say it: the blanks around it dropped.
std::string ShownText(std::string_view caption);

// The controls that take part in the tab order, in that order.
std::vector<const ControlSpec*> TabOrder(const WindowSpec& layout);

// Throws PlatformError when a layout is not well formed: two controls with one
// key, a container that is not a frame listed earlier, a user control without a
// class id, a LabelledBy that names no control of the layout, more than one
// default button. Backends check before they build anything.
void CheckLayout(const WindowSpec& layout);

}  // namespace ponderix::platform
