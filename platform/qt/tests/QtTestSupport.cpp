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
