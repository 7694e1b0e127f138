// The standard controls of a window as Qt widgets, each behind the interface the
// window's code knows it by (platform/Controls.h).
//
// Implements:
// - [x] every visible control: Bounds (the fractional rectangle last set), Move
//       (edges rounded to the nearest pixel, halves up), Visible, Enabled,
//       BringToFront within its group (windowless controls stay below windowed)
// - [x] ILabel: a painted widget; plain text with CR and CR LF line breaks, word
//       wrap to the width (one line and a fitted size for AutoSize labels), top
//       aligned left/centre/right, cut off at the bottom; "&&" shows "&", a lone
//       "&" is dropped; transparent or opaque; no border, a flat one-pixel line
//       or a sunken edge; fore colour; font size in points; hand cursor; Click
//       on a left press and release inside
// - [x] ITextBox: QLineEdit, aligned, flat border, colours, font, UTF-8 text
// - [x] IListBox: QListWidget, single selection, colours, font, sunken edge;
//       the selected row is scrolled into view
// - [x] IOptionButton: QRadioButton, one exclusive group per container, filled
//       background, Click only when the user clicks
// - [x] IFrame: a flat panel filled with its colour; a border and the caption
//       only when it has a border; its children are placed inside it
// - [x] IImage: its picture at natural size from the top-left, clipped; hand
//       cursor; Click on a left press and release inside
// - [x] ITimer: QTimer; enabling starts the interval anew; precise timing for
//       short intervals; stops when its window is unloaded
// - [x] hidden picture boxes: platform::HiddenPictureBox, never a widget
#pragma once

#include <memory>
#include <string_view>

#include "platform/WindowSystem.h"

class QWidget;

namespace ponderix::platform::qt {

class QtWindow;

// What a window needs of each of its controls besides the control's interface.
class QtControl {
public:
    virtual ~QtControl() = default;

    // The control's widget; null for a timer.
    virtual QWidget* Widget() const = 0;
    // The window is going: stop, and never call into the window's code again.
    virtual void Detach() = 0;
};

// A control of the row, its widget a child of the container; null container for
// the rows that have no widget (timers, picture boxes). The key names it in errors.
std::unique_ptr<IControl> MakeControl(QtWindow& window, const ControlSpec& row, QWidget* container,
                                      std::string key);

// The property of a control's widget that says it is windowed (platform::IsWindowed).
inline constexpr const char* WindowedProperty = "ponderixWindowed";

}  // namespace ponderix::platform::qt
