#include "platform/qt/tests/QtTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <cmath>
#include <memory>

namespace ponderix::platform::qt::testing {
namespace {

constexpr Colour Grey = Colour::Rgb(128, 128, 128);
constexpr Colour Silver = Colour::Rgb(192, 192, 192);
constexpr Colour Light = Colour::Rgb(224, 224, 224);
constexpr Colour White = Colour::Rgb(255, 255, 255);
constexpr Colour Navy = Colour::Rgb(0, 0, 128);

constexpr FontSpec Heading{"Verdana", 9, 700};
constexpr FontSpec Large{"Times New Roman", 26.25f, 400};

constexpr PropertyEntry HelpKey[] = {
    {"picture", AssetName{"key_help.bmp"}},
    {"picturehover", AssetName{"key_help_lit.bmp"}},
    {"picturedown", AssetName{"key_help_lit.bmp"}},
    {"_extentx", 556},
    {"_extenty", 556},
};

constexpr PropertyEntry RecorderProperties[] = {{"Colour", 7}, {"Size", 3}};

constexpr ControlSpec MainControls[] = {
    {.Kind = ControlKind::UserControl,
     .Name = "btnHelp",
     .Rect = {5970, 165, 315, 315},
     .TabIndex = 14,
     .ClassId = controls::PictureButton::ClassId,
     .Properties = HelpKey},
    {.Kind = ControlKind::Frame,
     .Name = "Frame2",
     .Rect = {3675, 1320, 3195, 2130},
     .Caption = "Height",
     .BackColour = Grey,
     .TabIndex = 3},
    {.Kind = ControlKind::Frame,
     .Name = "Frame1",
     .Rect = {360, 1320, 3135, 2130},
     .Caption = "Weight",
     .BackColour = Grey,
     .TabIndex = 0},
    {.Kind = ControlKind::Frame,
     .Name = "Frame4",
     .Rect = {360, 3570, 6510, 1650},
     .Caption = "Your BMI",
     .BackColour = Grey,
     .TabIndex = 5},
    {.Kind = ControlKind::Image,
     .Name = "imBanner",
     .Rect = {240, 120, 5625, 900},
     .Cursor = CursorShape::Hand,
     .Picture = {"banner.bmp"}},
    {.Kind = ControlKind::Label,
     .Name = "lblName",
     .Index = 0,
     .Rect = {240, 120, 5625, 900},
     .Caption = "(Your company name && link or small banner here)",
     .ForeColour = White,
     .BackColour = Grey,
     .Border = Border::FlatSingle,
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Tahoma", 17.25f, 700},
     .Cursor = CursorShape::Hand,
     .TabIndex = 27},
    {.Kind = ControlKind::Label,
     .Name = "lblLegend",
     .Index = 0,
     .Rect = {240, 5550, 300, 300},
     .BackColour = Colour::Rgb(0, 0, 255),
     .TabIndex = 17},
    {.Kind = ControlKind::Label,
     .Name = "lblRange",
     .Index = 0,
     .Rect = {540, 5595, 1305, 195},
     .Caption = " = Underweight",
     .ForeColour = White,
     .Font = FontSpec{"Tahoma", 8.25f, 700},
     .TabIndex = 22,
     .AutoSize = true},
    {.Kind = ControlKind::Image,
     .Name = "imKey",
     .Rect = {4500, 5400, 600, 450},
     .Picture = {"key_close.bmp"}},
    {.Kind = ControlKind::Timer, .Name = "Timer1", .Enabled = false, .IntervalMs = 250},
    // Height panel
    {.Kind = ControlKind::ListBox,
     .Name = "List1",
     .Container = "Frame2",
     .Rect = {255, 630, 2715, 1065},
     .ForeColour = Colour::System(SystemColour::WindowText),
     .BackColour = Silver,
     .Border = Border::Sunken3D,
     .Font = FontSpec{"Verdana", 14.25f, 400},
     .TabIndex = 4},
    {.Kind = ControlKind::Label,
     .Name = "lblCaptions",
     .Index = 1,
     .Container = "Frame2",
     .Rect = {840, 90, 1560, 240},
     .Caption = "Select Height:",
     .BackColour = Light,
     .Alignment = Alignment::Centre,
     .Font = Heading,
     .TabIndex = 11},
    // Weight panel
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 1,
     .Container = "Frame1",
     .Rect = {345, 1605, 930, 255},
     .Caption = "Pounds",
     .BackColour = Silver,
     .TabIndex = 9,
     .Value = true},
    {.Kind = ControlKind::OptionButton,
     .Name = "optUnit",
     .Index = 0,
     .Container = "Frame1",
     .Rect = {1755, 1605, 1065, 255},
     .Caption = "Kilograms",
     .BackColour = Silver,
     .TabIndex = 8},
    {.Kind = ControlKind::TextBox,
     .Name = "Text1",
     .Container = "Frame1",
     .Rect = {255, 735, 1395, 645},
     .ForeColour = Colour::System(SystemColour::WindowText),
     .BackColour = Silver,
     .Border = Border::FlatSingle,
     .Alignment = Alignment::Right,
     .Font = Large,
     .TabIndex = 1},
    {.Kind = ControlKind::Label,
     .Name = "lblCaptions",
     .Index = 0,
     .Container = "Frame1",
     .Rect = {735, 90, 1725, 240},
     .Caption = " Enter Weight:",
     .BackColour = Light,
     .Alignment = Alignment::Centre,
     .Font = Heading,
     .TabIndex = 10},
    {.Kind = ControlKind::Label,
     .Name = "lblUnit",
     .Container = "Frame1",
     .Rect = {1830, 750, 975, 615},
     .Caption = "Lbs",
     .Font = Large,
     .TabIndex = 2},
    // Result panel
    {.Kind = ControlKind::UserControl,
     .Name = "btnRecord",
     .Container = "Frame4",
     .Rect = {180, 535, 2265, 600},
     .TabIndex = 13,
     .ClassId = Recorder::ClassId,
     .Properties = RecorderProperties},
    {.Kind = ControlKind::Label,
     .Name = "lblBMI",
     .Container = "Frame4",
     .Rect = {2685, 420, 3615, 825},
     .ForeColour = Colour::System(SystemColour::WindowText),
     .BackColour = Silver,
     .Border = Border::FlatSingle,
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Arial", 41.25f, 700},
     .TabIndex = 6},
};

constexpr ControlSpec DialogControls[] = {
    {.Kind = ControlKind::Label,
     .Name = "lblURL",
     .Rect = {885, 2295, 2490, 420},
     .ForeColour = Colour::Rgb(255, 255, 192),
     .Alignment = Alignment::Centre,
     .Font = FontSpec{"Arial", 9, 700, true},
     .Cursor = CursorShape::Hand,
     .TabIndex = 2},
    {.Kind = ControlKind::Label,
     .Name = "lblAbout",
     .Rect = {60, 1125, 4575, 840},
     .ForeColour = White,
     .BackColour = Navy,
     .Border = Border::Sunken3D,
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

constexpr ControlSpec RecorderChildren[] = {
    {.Kind = ControlKind::Timer, .Name = "tmrTick", .Enabled = false, .IntervalMs = 1},
    {.Kind = ControlKind::PictureBox,
     .Name = "picBox",
     .Rect = {0, 0, 1635, 855},
     .Visible = false},
};

constexpr UserControlDesign RecorderDesign{
    .ClassId = Recorder::ClassId, .Width = 900, .Height = 855, .Children = RecorderChildren};

}  // namespace

const WindowSpec MainLayout{.Name = "fMain",
                            .Caption = "Ponderix",
                            .Border = WindowBorder::None,
                            .InnerWidth = 7320,
                            .InnerHeight = 6075,
                            .BackColour = Light,
                            .Picture = {"background.bmp"},
                            .Icon = {"ponderix.ico"},
                            .Controls = MainControls};

const WindowSpec DialogLayout{.Name = "fAbout",
                              .Caption = "About",
                              .Border = WindowBorder::FixedDialog,
                              .InnerWidth = 4680,
                              .InnerHeight = 3945,
                              .ShowInTaskBar = false,
                              .StartPosition = StartPosition::CentreOwner,
                              .Controls = DialogControls};

const WindowSpec BackgroundLayout{.Name = "fBackground",
                                  .Caption = "Background",
                                  .InnerWidth = 7320,
                                  .InnerHeight = 6075,
                                  .BackColour = Colour::Rgb(255, 0, 255),
                                  .Picture = {"background.bmp"}};

UserControlClass Recorder::Class() {
    return {&RecorderDesign, [](IUserControlSite& site) -> std::unique_ptr<IUserControl> {
                return std::make_unique<Recorder>(site);
            }};
}

void Recorder::UserControl_ReadProperties(const PropertyBag& bag) {
    Log.push_back("Read(" + std::to_string(bag.Size()) + ")");
}

void Recorder::UserControl_Resize() {
    Log.push_back("Resize(" + std::to_string(std::lround(Site.Width())) + "," +
                  std::to_string(std::lround(Site.Height())) + ")");
    if (OnResize) {
        OnResize();
    }
}

std::string Recorder::Mouse(std::string_view what, int button, int shift, float x, float y) {
    return std::string(what) + "(" + std::to_string(button) + "," + std::to_string(shift) + "," +
           std::to_string(std::lround(x)) + "," + std::to_string(std::lround(y)) + ")";
}

QtBackendTest::QtBackendTest() {
    m_System.RegisterUserControl(controls::PictureButton::Class());
    m_System.RegisterUserControl(Recorder::Class());
}

QWidget* QtBackendTest::WidgetOf(const IWindow& window) {
    return reinterpret_cast<QWidget*>(window.Handle());
}

QWidget* QtBackendTest::Find(const IWindow& window, std::string_view key) {
    QWidget* root = WidgetOf(window);
    if (root == nullptr) {
        return nullptr;
    }
    return root->findChild<QWidget*>(
        QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
}

QImage QtBackendTest::Grab(const IWindow& window) {
    return WidgetOf(window)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect QtBackendTest::Geometry(const IWindow& window, std::string_view key) {
    const QWidget* widget = Find(window, key);
    return widget != nullptr ? widget->geometry() : QRect();
}

void QtBackendTest::FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<std::string> QtBackendTest::Stacking(const QWidget* container) {
    std::vector<std::string> names;
    const QObjectList children = container->children();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        const auto* widget = qobject_cast<const QWidget*>(*child);
        if (widget != nullptr && !widget->isWindow() && !widget->objectName().isEmpty()) {
            names.push_back(widget->objectName().toStdString());
        }
    }
    return names;
}

void QtBackendTest::Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace ponderix::platform::qt::testing
