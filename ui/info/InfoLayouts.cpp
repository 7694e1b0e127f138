#include "ui/info/InfoLayouts.h"

#include "ui/Product.h"

namespace ponderix::ui {
namespace {

using platform::Alignment;
using platform::Border;
using platform::Colour;
using platform::ControlKind;
using platform::ControlSpec;
using platform::FontSpec;

constexpr Colour White = Colour::Rgb(255, 255, 255);
constexpr Colour Navy = Colour::Rgb(0, 0, 128);

// Labels run from the topmost to the bottom-most; every caption starts empty
// and is set when the window loads. Escape closes either window, as it
// closes a dialog.
constexpr ControlSpec AboutControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblURL",
     .Rect = {885, 2295, 2490, 420},
     .ForeColour = Colour::Rgb(255, 255, 192),
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Arial", 9.0f, 700, true},
     .Cursor = platform::CursorShape::Hand,
     .TabIndex = 2,
     .Role = platform::AccessibleRole::Link},
    {.Kind = ControlKind::Label,
     .Name = "lblAbout",
     .Rect = {60, 1125, 4575, 840},
     .ForeColour = White,
     .BackColour = Navy,
     .Border = Border::Sunken3D,
     .Alignment = Alignment::Left,
     .Font = FontSpec{"Arial", 8.25f, 700},
     .TabIndex = 1},
    {.Kind = ControlKind::Label,
     .Name = "lblLogo",
     .Rect = {60, 45, 4575, 840},
     .ForeColour = White,
     .BackColour = Colour::Rgb(88, 134, 165),
     .Border = Border::Sunken3D,
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Verdana", 14.25f, 700},
     .TabIndex = 0},
};

constexpr ControlSpec QuickHelpControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblQuickHelp",
     .Rect = {150, 300, 4410, 2700},
     .ForeColour = White,
     .BackColour = Navy,
     .Border = Border::Sunken3D,
     .Alignment = Alignment::Left,
     .Font = FontSpec{"Arial", 9.75f, 400},
     .TabIndex = 0},
};

constexpr platform::WindowSpec InfoWindow(std::string_view name, std::string_view caption,
                                          int innerHeight, std::span<const ControlSpec> controls) {
    return {.Name = name,
            .Caption = caption,
            .Border = platform::WindowBorder::FixedDialog,
            .InnerWidth = 4680,
            .InnerHeight = innerHeight,
            .ShowInTaskBar = false,
            .StartPosition = platform::StartPosition::CentreOwner,
            .BackColour = Colour::System(platform::SystemColour::ButtonFace),
            .Font = DialogFont,
            .Controls = controls,
            .CloseOnEscape = true};
}

constexpr platform::WindowSpec About = InfoWindow("fAbout", "About", 3945, AboutControls);
constexpr platform::WindowSpec QuickHelp =
    InfoWindow("fQuickHelp", "Quick Help", 3465, QuickHelpControls);

}  // namespace

const platform::WindowSpec& AboutLayout() {
    return About;
}
const platform::WindowSpec& QuickHelpLayout() {
    return QuickHelp;
}

}  // namespace ponderix::ui
