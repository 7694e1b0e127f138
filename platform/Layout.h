// Window layouts as data. Each window declares its controls once, in one table
// of ControlSpec rows, and a backend builds the window from it: the controller
// code never places, colours or fonts a control itself.
//
// Conventions of a table:
// - Rectangles are in twips, relative to the container (the window's inner area,
//   or the frame named in Container).
// - Rows of one container are listed from the topmost control to the bottom-most.
//   Labels and images are drawn on their container's surface and so always lie
//   below the windowed controls of that container, whatever their row.
// - A frame is listed before the controls it contains.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "platform/Colour.h"

namespace ponderix::platform {

inline constexpr int NoIndex = -1;  // a control that is not part of a control array

// "lblName(0)" for an element of a control array, "lblBMI" otherwise: the key
// under which a window files a control for IWindow::Control.
inline std::string ControlKey(std::string_view name, int index) {
    std::string key(name);
    if (index != NoIndex) {
        key += '(' + std::to_string(index) + ')';
    }
    return key;
}

struct TwipRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

enum class ControlKind : std::uint8_t {
    Label,
    TextBox,
    ListBox,
    OptionButton,  // grouped by container: one selected per frame
    Frame,         // a panel; a frame without a border draws no caption
    Image,
    Timer,
    PictureBox,
    UserControl,  // a control class of our own, found by ClassId
};

enum class Border : std::uint8_t {
    None,
    FlatSingle,  // a one-pixel line
    Sunken3D,    // the three-dimensional, sunken edge
};

enum class Alignment : std::uint8_t { Left, Centre, Right };

enum class CursorShape : std::uint8_t { Default, Hand };

// What a control or window is to a screen reader.
enum class AccessibleRole : std::uint8_t {
    Default,       // what its kind is (see AccessibleRoleOf in platform/core/LayoutSupport.h)
    StaticText,    // a label
    EditableText,  // a text box
    List,          // a list box
    RadioButton,   // an option button
    Grouping,      // a frame
    Graphic,       // an image
    PushButton,
    Link,    // opens a web address
    Pane,    // a user control whose design says nothing else
    Window,  // a window of the program's own
    Dialog,  // a fixed dialog
    // What a window tells screen readers of itself (IWindow::Announce): read
    // as a notification is, at once, wherever the focus is. No control has it.
    Notification,
    // Nothing a reader needs (a colour swatch beside its words, a control
    // that another one covers): kept from screen readers.
    Decoration,
};

struct FontSpec {
    std::string_view Face = {};
    float Points = 8.25f;
    int Weight = 400;  // 400 regular, 700 bold
    bool Underline = false;
};

// The name of a file of the program's pictures (assets/).
struct AssetName {
    std::string_view File = {};

    friend constexpr bool operator==(const AssetName&, const AssetName&) = default;
};

// One saved property of a user control: a number or a picture from the assets.
struct PropertyEntry {
    std::string_view Key = {};
    std::variant<std::int32_t, AssetName> Value = std::int32_t{0};
};

struct ControlSpec {
    ControlKind Kind = ControlKind::Label;
    std::string_view Name = {};
    int Index = NoIndex;
    std::string_view Container = {};  // empty: the window itself
    TwipRect Rect = {};
    std::string_view Caption = {};  // label, option button and frame caption; text box text
    Colour ForeColour = Colour::System(SystemColour::ControlText);
    std::optional<Colour> BackColour = {};  // none: transparent
    platform::Border Border = Border::None;
    platform::Alignment Alignment = Alignment::Left;
    std::optional<FontSpec> Font = {};  // none: the window's font
    CursorShape Cursor = CursorShape::Default;
    int TabIndex = -1;
    bool Value = false;  // option button: selected
    bool Visible = true;
    bool Enabled = true;            // a disabled timer does not tick
    int IntervalMs = 0;             // timers
    AssetName Picture = {};         // image and picture box
    bool AutoSize = false;          // a label that sizes itself to its one-line text
    std::string_view ClassId = {};  // user controls
    std::span<const PropertyEntry> Properties = {};  // user controls: their saved properties

    // The window's default button: Return clicks it wherever the focus is,
    // unless the focus is on another button, which Return then clicks.
    bool Default = false;

    // What a screen reader says of the control: its role (Default: its kind's,
    // or its user control design's), and its name. Without a name of its own,
    // a control is named by the caption of the control that LabelledBy names
    // ("lblCaptions(0)"), or else by its own caption (labels, option buttons,
    // frames).
    AccessibleRole Role = AccessibleRole::Default;
    std::string_view AccessibleName = {};
    std::string_view LabelledBy = {};
};

enum class WindowBorder : std::uint8_t {
    None,         // no title bar, no frame; the outer size is the inner size
    FixedDialog,  // a title bar with the caption and a close box only; not resizable
};

enum class StartPosition : std::uint8_t { CentreScreen, CentreOwner };

struct WindowSpec {
    std::string_view Name = {};
    std::string_view Caption = {};
    WindowBorder Border = WindowBorder::None;
    int InnerWidth = 0;  // twips
    int InnerHeight = 0;
    bool ShowInTaskBar = true;
    platform::StartPosition StartPosition = StartPosition::CentreScreen;
    Colour BackColour = Colour::System(SystemColour::ButtonFace);
    AssetName Picture = {};  // drawn at natural size from the top-left corner
    AssetName Icon = {};
    FontSpec Font = {};  // the default font of the window's controls
    std::span<const ControlSpec> Controls = {};
    // Escape closes the window, wherever its focus is (an information window).
    bool CloseOnEscape = false;
};

// A user control class: its class id, its surface's design size, and the child
// controls of its own design (positions in twips on its surface).
struct UserControlDesign {
    std::string_view ClassId = {};
    int Width = 0;  // twips
    int Height = 0;
    std::span<const ControlSpec> Children = {};
    // Whether an instance is a tab stop: it takes the focus from the keyboard
    // (never from the mouse), and Space or Return on it clicks it.
    bool CanFocus = false;
    // What an instance is to a screen reader, unless its row says otherwise.
    AccessibleRole Role = AccessibleRole::Pane;
};

}  // namespace ponderix::platform
