#include "platform/qt/QtUserControlHost.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstring>
#include <utility>

#include "platform/LayoutSupport.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"

namespace ponderix::platform::qt {
namespace {

std::int16_t ButtonOf(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

std::int16_t ButtonsOf(Qt::MouseButtons buttons) {
    std::int16_t sum = 0;
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons.testFlag(button)) {
            sum = static_cast<std::int16_t>(sum + ButtonOf(button));
        }
    }
    return sum;
}

std::int16_t ShiftOf(Qt::KeyboardModifiers modifiers) {
    std::int16_t shift = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        shift = static_cast<std::int16_t>(shift | 1);
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        shift = static_cast<std::int16_t>(shift | 2);
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        shift = static_cast<std::int16_t>(shift | 4);
    }
    return shift;
}

}  // namespace

// The surface a user control draws on. It shows only its backing image, which
// changes only through Clear and DrawPicture: the face drawn last stays, whatever
// Qt repaints. It has no child widgets, so the window under the cursor over it
// is the surface itself.
class SurfaceWidget final : public QWidget {
public:
    SurfaceWidget(QWidget* parent, const QColor& background)
        : QWidget(parent), m_Background(background) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
    }

    // The control whose notifications the surface delivers; null once detached.
    QtUserControlHost* Host = nullptr;

    const QImage& Face() const { return m_Face; }

    // Keeps the backing image the size of the surface, what was drawn kept.
    void FitFace() {
        if (m_Face.size() == size()) {
            return;
        }
        QImage face(size(), QImage::Format_RGB32);
        face.fill(m_Background);
        if (!m_Face.isNull()) {
            QPainter painter(&face);
            painter.drawImage(QPoint(0, 0), m_Face);
        }
        m_Face = std::move(face);
    }

    void ClearFace() {
        FitFace();
        m_Face.fill(m_Background);
        update();
    }

    // Copies the pixels, as a bit block transfer would: the colours, not the alpha.
    void DrawFace(const Bitmap& picture) {
        FitFace();
        const int width = std::min(picture.Width, m_Face.width());
        const int height = std::min(picture.Height, m_Face.height());
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(m_Face.scanLine(y));
            for (int x = 0; x < width; ++x) {
                row[x] = 0xFF000000u | picture.At(x, y);
            }
        }
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        FitFace();
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), m_Face);
    }

    void resizeEvent(QResizeEvent* /*event*/) override { FitFace(); }

    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton) {
            m_LeftPressed = true;
        }
        const std::int16_t button = ButtonOf(event->button());
        const std::int16_t shift = ShiftOf(event->modifiers());
        const auto [x, y] = Twips(event);
        Notify([=](IUserControl& control) { control.UserControl_MouseDown(button, shift, x, y); });
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        event->accept();
        const std::int16_t buttons = ButtonsOf(event->buttons());
        const std::int16_t shift = ShiftOf(event->modifiers());
        const auto [x, y] = Twips(event);
        Notify([=](IUserControl& control) { control.UserControl_MouseMove(buttons, shift, x, y); });
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        const bool left = event->button() == Qt::LeftButton;
        const bool clicked = left && m_LeftPressed && rect().contains(event->position().toPoint());
        if (left) {
            m_LeftPressed = false;
        }
        const std::int16_t button = ButtonOf(event->button());
        const std::int16_t shift = ShiftOf(event->modifiers());
        const auto [x, y] = Twips(event);
        Notify([=](IUserControl& control) { control.UserControl_MouseUp(button, shift, x, y); });
        if (clicked) {
            Notify([](IUserControl& control) { control.UserControl_Click(); });
        }
    }

    // The second press of a double click: DblClick instead of MouseDown, and
    // its release is no click.
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) {
            mousePressEvent(event);
            return;
        }
        event->accept();
        m_LeftPressed = false;
        Notify([](IUserControl& control) { control.UserControl_DblClick(); });
    }

private:
    static std::pair<float, float> Twips(const QMouseEvent* event) {
        const QPointF position = event->position();
        return {PixelsToTwips(static_cast<float>(position.x())),
                PixelsToTwips(static_cast<float>(position.y()))};
    }

    // Delivers one notification, unless the window went in the meantime.
    template <typename Notification>
    void Notify(Notification notification) {
        if (Host == nullptr) {
            return;
        }
        IUserControl& control = Host->Instance();
        FromEventLoop([&] { notification(control); });
    }

    QColor m_Background;
    QImage m_Face;
    bool m_LeftPressed = false;
};

QtUserControlHost::QtUserControlHost(QtWindow& window, const ControlSpec& row, std::string key,
                                     const UserControlClass& userControlClass, QWidget* container)
    : m_Window(window),
      m_Row(row),
      m_Key(std::move(key)),
      m_Left(TwipsToPixels(static_cast<float>(row.Rect.Left))),
      m_Top(TwipsToPixels(static_cast<float>(row.Rect.Top))),
      m_Width(static_cast<float>(userControlClass.Design->Width)),
      m_Height(static_cast<float>(userControlClass.Design->Height)) {
    const Colour background = row.BackColour.value_or(Colour::System(SystemColour::ButtonFace));
    m_Surface = new SurfaceWidget(container, ToQColor(background));
    m_Surface->setObjectName(ToQString(m_Key));
    m_Surface->setProperty(WindowedProperty, true);
    if (row.Cursor == CursorShape::Hand) {
        m_Surface->setCursor(window.System().Cursor("hand.cur"));
    }
    m_Surface->setEnabled(row.Enabled);
    if (!row.Visible) {
        m_Surface->hide();
    }
    Place();
    m_Children.Build(*userControlClass.Design, m_Key,
                     [&window](const ControlSpec& child, std::string childKey) {
                         std::unique_ptr<IControl> control =
                             MakeControl(window, child, nullptr, std::move(childKey));
                         auto* timer = dynamic_cast<ITimer*>(control.get());
                         if (timer == nullptr) {
                             throw PlatformError("a timer row made no timer");
                         }
                         control.release();
                         return std::unique_ptr<ITimer>(timer);
                     });
    m_Surface->Host = this;
    m_Instance = userControlClass.Create(*this);
    if (!m_Instance) {
        throw PlatformError("user control class '" + std::string(row.ClassId) +
                            "' made no instance");
    }
}

QtUserControlHost::~QtUserControlHost() {
    Detach();
    m_Instance.reset();  // before the children and the surface it uses
}

void QtUserControlHost::Load() {
    m_Instance->UserControl_ReadProperties(SavedProperties(m_Row, m_Window.System()));
    ResizeTo(static_cast<float>(m_Row.Rect.Width), static_cast<float>(m_Row.Rect.Height));
}

SurfaceWidget* QtUserControlHost::Surface() const {
    m_Window.CheckLoaded(m_Key);
    if (m_Surface == nullptr) {
        throw PlatformError("the control '" + m_Key + "' no longer exists");
    }
    return m_Surface;
}

void QtUserControlHost::Place() {
    const PixelRect bounds{m_Left, m_Top, TwipsToPixels(m_Width), TwipsToPixels(m_Height)};
    m_Surface->setGeometry(ToQRect(ToWholePixels(bounds)));
    m_Surface->FitFace();
}

void QtUserControlHost::ResizeTo(float widthTwips, float heightTwips) {
    m_Width = widthTwips;
    m_Height = heightTwips;
    Place();
    m_Instance->UserControl_Resize();
}

PixelRect QtUserControlHost::Bounds() const {
    Surface();
    return {m_Left, m_Top, TwipsToPixels(m_Width), TwipsToPixels(m_Height)};
}

void QtUserControlHost::Move(float left, float top, std::optional<float> width,
                             std::optional<float> height) {
    Surface();
    m_Left = left;
    m_Top = top;
    const float newWidth = width ? PixelsToTwips(*width) : m_Width;
    const float newHeight = height ? PixelsToTwips(*height) : m_Height;
    if (newWidth != m_Width || newHeight != m_Height) {
        ResizeTo(newWidth, newHeight);
    } else {
        Place();
    }
}

bool QtUserControlHost::Visible() const {
    return !Surface()->isHidden();
}

void QtUserControlHost::SetVisible(bool visible) {
    Surface()->setVisible(visible);
}

bool QtUserControlHost::Enabled() const {
    const SurfaceWidget* surface = Surface();
    return surface->isEnabledTo(surface->parentWidget());
}

void QtUserControlHost::SetEnabled(bool enabled) {
    Surface()->setEnabled(enabled);
}

void QtUserControlHost::BringToFront() {
    Surface()->raise();
}

IWindowSystem& QtUserControlHost::System() {
    return m_Window.System();
}

void QtUserControlHost::Clear() {
    Surface()->ClearFace();
}

void QtUserControlHost::DrawPicture(const Picture& picture) {
    SurfaceWidget* surface = Surface();
    if (picture.IsEmpty()) {
        throw PlatformError("there is no picture to draw on '" + m_Key + "'");
    }
    surface->DrawFace(picture.Pixels());
}

float QtUserControlHost::Width() const {
    Surface();
    return m_Width;
}

float QtUserControlHost::Height() const {
    Surface();
    return m_Height;
}

void QtUserControlHost::SetWidth(float twips) {
    Surface();
    if (twips != m_Width) {
        ResizeTo(twips, m_Height);
    }
}

void QtUserControlHost::SetHeight(float twips) {
    Surface();
    if (twips != m_Height) {
        ResizeTo(m_Width, twips);
    }
}

WindowHandle QtUserControlHost::Handle() const {
    return reinterpret_cast<WindowHandle>(static_cast<QWidget*>(Surface()));
}

void QtUserControlHost::PropertyChanged(std::string_view key) {
    Surface();
    m_ChangedProperties.emplace_back(key);
}

ITimer& QtUserControlHost::Timer(std::string_view name) {
    return m_Children.Timer(name);
}

IPictureBox& QtUserControlHost::PictureBox(std::string_view name) {
    return m_Children.PictureBox(name);
}

QWidget* QtUserControlHost::Widget() const {
    return m_Surface;
}

void QtUserControlHost::Detach() {
    m_Children.ForEachTimer([](ITimer& timer) {
        if (auto* backend = dynamic_cast<QtControl*>(&timer)) {
            backend->Detach();
        }
    });
    if (m_Surface != nullptr) {
        m_Surface->Host = nullptr;
    }
}

}  // namespace ponderix::platform::qt
