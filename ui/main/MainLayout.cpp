// The main window's layout: every control with its place (twips), texts,
// colours, font, border, cursor, stacking and tab order, the default button,
// and what a screen reader calls each control (its role and name; a caption
// names itself).
//
// Rows of one container run from the topmost control to the bottom-most; a
// frame's children follow the window's own rows.
#include "ui/main/MainLayout.h"

#include <vector>

#include "calc/Bmi.h"
#include "controls/picture_button/PictureButton.h"
#include "ui/Product.h"

namespace ponderix::ui {
namespace {

using platform::AccessibleRole;
using platform::Alignment;
using platform::AssetName;
using platform::Border;
using platform::Colour;
using platform::ControlKind;
using platform::ControlSpec;
using platform::CursorShape;
using platform::FontSpec;
using platform::PropertyEntry;
using platform::SystemColour;

constexpr Colour White = Colour::Rgb(255, 255, 255);
constexpr Colour PanelGrey = Colour::Rgb(128, 128, 128);
constexpr Colour HeadingGrey = Colour::Rgb(224, 224, 224);
constexpr Colour FieldGrey = Colour::Rgb(192, 192, 192);
constexpr Colour ControlText = Colour::System(SystemColour::ControlText);
constexpr Colour WindowText = Colour::System(SystemColour::WindowText);

constexpr FontSpec Heading{"Verdana", 9.0f, 700};
constexpr FontSpec LargeSerif{"Times New Roman", 26.25f, 400};
constexpr FontSpec SmallBold{"Tahoma", 8.25f, 700};

// The saved properties of the picture buttons, spelt as a saved layout spells
// them, beside the host's extent in hundredths of a millimetre. The pressed
// face is the lit face.
constexpr PropertyEntry HelpKey[] = {
    {"picture", AssetName{"key_help.bmp"}},
    {"picturehover", AssetName{"key_help_lit.bmp"}},
    {"picturedown", AssetName{"key_help_lit.bmp"}},
    {"_extentx", 556},
    {"_extenty", 556},
};
constexpr PropertyEntry MinimiseKey[] = {
    {"picture", AssetName{"key_minimise.bmp"}},
    {"picturehover", AssetName{"key_minimise_lit.bmp"}},
    {"picturedown", AssetName{"key_minimise_lit.bmp"}},
    {"_extentx", 556},
    {"_extenty", 556},
};
constexpr PropertyEntry CloseKey[] = {
    {"picture", AssetName{"key_close.bmp"}},
    {"picturehover", AssetName{"key_close_lit.bmp"}},
    {"picturedown", AssetName{"key_close_lit.bmp"}},
    {"_extentx", 556},
    {"_extenty", 556},
};
constexpr PropertyEntry CalculateKey[] = {
    {"picture", AssetName{"calculate.bmp"}},
    {"picturehover", AssetName{"calculate_lit.bmp"}},
    {"picturedown", AssetName{"calculate_lit.bmp"}},
    {"_extentx", 3995},
    {"_extenty", 1058},
};

// The legend repeats the band colours, in band order.
Colour LegendColour(calc::BmiBand band) {
    const calc::Colour colour = calc::BandColour(band);
    return Colour::Rgb(colour.Red, colour.Green, colour.Blue);
}

ControlSpec Swatch(int index, int left, calc::BmiBand band) {
    return {.Kind = ControlKind::Label,
            .Name = "lblLegend",
            .Index = index,
            .Rect = {left, 5550, 300, 300},
            .BackColour = LegendColour(band),
            .TabIndex = 17 + index,
            // Its colour is its band's, which the words beside it say.
            .Role = AccessibleRole::Decoration};
}

ControlSpec Range(int index, int left, int width, std::string_view caption, Alignment alignment,
                  calc::BmiBand band) {
    return {.Kind = ControlKind::Label,
            .Name = "lblRange",
            .Index = index,
            .Rect = {left, 5595, width, 195},
            .Caption = caption,
            .ForeColour = White,
            .Alignment = alignment,
            .Font = SmallBold,
            .TabIndex = 22 + index,
            .AutoSize = true,
            .AccessibleName = calc::BandName(band)};
}

const std::vector<ControlSpec>& Controls() {
    using calc::BmiBand;
    static const std::vector<ControlSpec> controls{
        // The window: the top band, the panels and the legend.
        {.Kind = ControlKind::UserControl,
         .Name = "btnForm",
         .Index = 0,
         .Rect = {5970, 165, 315, 315},
         .TabIndex = 14,
         .ClassId = controls::PictureButton::ClassId,
         .Properties = HelpKey,
         .AccessibleName = "Help"},
        {.Kind = ControlKind::Frame,
         .Name = "Frame2",
         .Rect = {3675, 1320, 3195, 2130},
         .Caption = "Height",
         .BackColour = PanelGrey,
         .TabIndex = 3},
        {.Kind = ControlKind::Frame,
         .Name = "Frame1",
         .Rect = {360, 1320, 3135, 2130},
         .Caption = "Weight",
         .BackColour = PanelGrey,
         .TabIndex = 0},
        {.Kind = ControlKind::Frame,
         .Name = "Frame4",
         .Rect = {360, 3570, 6510, 1650},
         .Caption = "Your BMI",
         .BackColour = PanelGrey,
         .TabIndex = 5},
        {.Kind = ControlKind::UserControl,
         .Name = "btnForm",
         .Index = 1,
         .Rect = {6345, 165, 315, 315},
         .TabIndex = 15,
         .ClassId = controls::PictureButton::ClassId,
         .Properties = MinimiseKey,
         .AccessibleName = "Minimise"},
        {.Kind = ControlKind::UserControl,
         .Name = "btnForm",
         .Index = 2,
         .Rect = {6720, 165, 315, 315},
         .TabIndex = 16,
         .ClassId = controls::PictureButton::ClassId,
         .Properties = CloseKey,
         .AccessibleName = "Close"},
        {.Kind = ControlKind::Image,
         .Name = "imBanner",
         .Rect = {240, 120, 5625, 900},
         .Cursor = CursorShape::Hand,
         .Picture = AssetName{"banner.bmp"},
         .Role = AccessibleRole::Link,
         .AccessibleName = PublisherName},
        {.Kind = ControlKind::Label,
         .Name = "lblName",
         .Index = 1,
         .Rect = {5970, 585, 1050, 495},
         .Caption = ProductName,
         .ForeColour = White,
         .Alignment = Alignment::Centre,
         .Font = SmallBold,
         .TabIndex = 28},
        {.Kind = ControlKind::Label,
         .Name = "lblName",
         .Index = 0,
         .Rect = {240, 120, 5625, 900},
         .Caption = "(Your company name && link or small banner here)",
         .ForeColour = White,
         .BackColour = PanelGrey,
         .Border = Border::FlatSingle,
         .Alignment = Alignment::Centre,
         .Font = FontSpec{"Tahoma", 17.25f, 700},
         .Cursor = CursorShape::Hand,
         .TabIndex = 27,
         // Under the banner, which lies over it and is the same link.
         .Role = AccessibleRole::Decoration},
        Range(4, 6045, 975, " = Extreme", Alignment::Centre, BmiBand::Extreme),
        Range(3, 4965, 750, " = Obese", Alignment::Left, BmiBand::Obese),
        Range(2, 3405, 1200, " = Overweight", Alignment::Left, BmiBand::Overweight),
        Range(1, 2235, 825, " = Normal", Alignment::Left, BmiBand::Normal),
        Range(0, 540, 1305, " = Underweight", Alignment::Left, BmiBand::Underweight),
        Swatch(4, 5760, BmiBand::Extreme),
        Swatch(3, 4650, BmiBand::Obese),
        Swatch(2, 3105, BmiBand::Overweight),
        Swatch(1, 1905, BmiBand::Normal),
        Swatch(0, 240, BmiBand::Underweight),

        // The height panel.
        {.Kind = ControlKind::ListBox,
         .Name = "List1",
         .Container = "Frame2",
         .Rect = {255, 630, 2715, 1065},
         .ForeColour = WindowText,
         .BackColour = FieldGrey,
         .Border = Border::Sunken3D,
         .Font = FontSpec{"Verdana", 14.25f, 400},
         .TabIndex = 4,
         .LabelledBy = "lblCaptions(1)"},
        {.Kind = ControlKind::Label,
         .Name = "lblCaptions",
         .Index = 1,
         .Container = "Frame2",
         .Rect = {840, 90, 1560, 240},
         .Caption = "Select Height:",
         .ForeColour = ControlText,
         .BackColour = HeadingGrey,
         .Alignment = Alignment::Centre,
         .Font = Heading,
         .TabIndex = 11},

        // The weight panel. The two option buttons form one group.
        {.Kind = ControlKind::OptionButton,
         .Name = "optWeightUnit",
         .Index = 1,
         .Container = "Frame1",
         .Rect = {345, 1605, 930, 255},
         .Caption = "Pounds",
         .BackColour = FieldGrey,
         .TabIndex = 9,
         .Value = true},
        {.Kind = ControlKind::OptionButton,
         .Name = "optWeightUnit",
         .Index = 0,
         .Container = "Frame1",
         .Rect = {1755, 1605, 1065, 255},
         .Caption = "Kilograms",
         .BackColour = FieldGrey,
         .TabIndex = 8},
        {.Kind = ControlKind::TextBox,
         .Name = "Text1",
         .Container = "Frame1",
         .Rect = {255, 735, 1395, 645},
         .ForeColour = WindowText,
         .BackColour = FieldGrey,
         .Border = Border::FlatSingle,
         .Alignment = Alignment::Right,
         .Font = LargeSerif,
         .TabIndex = 1,
         .LabelledBy = "lblCaptions(0)"},
        {.Kind = ControlKind::Label,
         .Name = "lblCaptions",
         .Index = 0,
         .Container = "Frame1",
         .Rect = {735, 90, 1725, 240},
         .Caption = " Enter Weight:",
         .ForeColour = ControlText,
         .BackColour = HeadingGrey,
         .Alignment = Alignment::Centre,
         .Font = Heading,
         .TabIndex = 10},
        {.Kind = ControlKind::Label,
         .Name = "lblWeightUnit",
         .Container = "Frame1",
         .Rect = {1830, 750, 975, 615},
         .Caption = "Lbs",
         .ForeColour = ControlText,
         .Font = LargeSerif,
         .TabIndex = 2},

        // The result panel.
        {.Kind = ControlKind::Timer,
         .Name = "Timer1",
         .Container = "Frame4",
         .Enabled = false,
         .IntervalMs = 250},
        {.Kind = ControlKind::UserControl,
         .Name = "btnCalculate",
         .Container = "Frame4",
         .Rect = {180, 535, 2265, 600},
         .TabIndex = 13,
         .ClassId = controls::PictureButton::ClassId,
         .Properties = CalculateKey,
         .Default = true,  // Return calculates from the weight box and the list
         .AccessibleName = "Calculate BMI"},
        {.Kind = ControlKind::Label,
         .Name = "lblCaptions",
         .Index = 2,
         .Container = "Frame4",
         .Rect = {2460, 90, 1560, 225},
         .Caption = "Your BMI is:",
         .ForeColour = ControlText,
         .BackColour = HeadingGrey,
         .Alignment = Alignment::Centre,
         .Font = Heading,
         .TabIndex = 12,
         // The result says it: "Your BMI is: 21.33, Normal".
         .Role = AccessibleRole::Decoration},
        // White, not the panel's own grey: grey text on the grey panel could not
        // be read, and this label carries half of the result.
        {.Kind = ControlKind::Label,
         .Name = "lblIWeight",
         .Container = "Frame4",
         .Rect = {120, 1440, 2655, 255},
         .ForeColour = White,
         .TabIndex = 7},
        {.Kind = ControlKind::Label,
         .Name = "lblBMI",
         .Container = "Frame4",
         .Rect = {2685, 420, 3615, 825},
         .ForeColour = WindowText,
         .BackColour = FieldGrey,
         .Border = Border::FlatSingle,
         .Alignment = Alignment::Centre,
         .Font = FontSpec{"Arial", 41.25f, 700},
         .TabIndex = 6},
    };
    return controls;
}

}  // namespace

const platform::WindowSpec& MainLayout() {
    static const platform::WindowSpec layout{
        .Name = "fMain",
        .Caption = ProductName,
        .Border = platform::WindowBorder::None,
        .InnerWidth = 7320,
        .InnerHeight = 6075,
        .ShowInTaskBar = true,
        .StartPosition = platform::StartPosition::CentreScreen,
        .BackColour = HeadingGrey,
        .Picture = AssetName{"background.bmp"},
        .Icon = AssetName{"ponderix.ico"},
        .Font = DialogFont,
        .Controls = Controls(),
    };
    return layout;
}

}  // namespace ponderix::ui
