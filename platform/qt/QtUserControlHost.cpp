#include "platform/qt/QtUserControlHost.h"

#include <QApplication>
#include <QPainter>

#include "platform/core/CoreWindow.h"
#include "platform/core/FocusCue.h"

namespace ponderix::platform::qt {
namespace {

// Qt's left, right and middle buttons are the bits 1, 2 and 4, as a user
// control's are; one button or several alike.
std::int16_t ButtonsOf(Qt::MouseButtons buttons) {
    static_assert(Qt::LeftButton == 1 && Qt::RightButton == 2 && Qt::MiddleButton == 4);
    return static_cast<std::int16_t>(buttons.toInt() & 7);
}


QColor BackgroundOf(const ControlSpec& row) {
    return ToQColor(row.BackColour.value_or(Colour::System(SystemColour::ButtonFace)));
}

}  // namespace

QtUserControlHost::QtUserControlHost(const core::ControlArgs& args,
                                     const UserControlClass& userControlClass)
    : QtNative(new SurfaceWidget(ParentWidget(args), BackgroundOf(args.Row)), args,
               userControlClass) {
    m_Widget->Input = this;
    m_Widget->OnPress = [this] { m_Window.Press(*this); };
}

void QtUserControlHost::Detach() {
    if (m_Widget != nullptr) {
        m_Widget->Input = nullptr;
        m_Widget->OnPress = nullptr;
    }
}

bool QtUserControlHost::CuesShown() const {
    return m_Window.KeyboardCues();
}

// ---------------------------------------------------------------------------
// The user control's surface

SurfaceWidget::SurfaceWidget(QWidget* parent, const QColor& background)
    : QWidget(parent), m_Background(background) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void SurfaceWidget::ClearFace() {
    m_Face.clear();
    update();
}

void SurfaceWidget::DrawFace(const Picture& picture) {
    // What a picture as large as the surface covers no longer shows.
    if (picture.Width() >= width() && picture.Height() >= height()) {
        m_Face.clear();
    }
    m_Face.push_back(std::make_unique<Drawn>(Drawn{picture, {}}));
    update();
}

void SurfaceWidget::Deliver(const std::function<void(SurfaceInput&)>& notification) {
    if (SurfaceInput* input = Input) {
        FromEventLoop([&] { notification(*input); });
    }
}

void SurfaceWidget::Move(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    const LastMove move{at.toPoint(), buttons, modifiers};
    if (move == m_LastMove) {
        return;
    }
    m_LastMove = move;
    Deliver([&](SurfaceInput& input) {
        input.SurfaceMove(ButtonsOf(buttons), ShiftStateOf(modifiers), static_cast<float>(at.x()),
                          static_cast<float>(at.y()));
    });
}

void SurfaceWidget::MoveTo(QPointF at) {
    Move(at, QApplication::mouseButtons(), QApplication::keyboardModifiers());
}

void SurfaceWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), m_Background);
    for (const auto& drawn : m_Face) {
        drawn->Shown.Draw(painter, QPointF(0, 0), drawn->Of, true);
    }
    if (!hasFocus() || Input == nullptr || !Input->CuesShown()) {
        return;
    }
    // The focus cue over the face: its dots inverted, a logical pixel each.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            if (IsFocusCueDot(x, y, width(), height())) {
                painter.fillRect(QRect(x, y, 1, 1), Qt::white);
            }
        }
    }
}

void SurfaceWidget::focusInEvent(QFocusEvent* /*event*/) {
    update();
}

void SurfaceWidget::focusOutEvent(QFocusEvent* /*event*/) {
    update();
}

// The cursor came over the surface: a control that follows the mouse hears of
// it now, before the mouse moves again, where the event says (the desktop's
// cursor position may not have followed yet, or ever, on Wayland).
void SurfaceWidget::enterEvent(QEnterEvent* event) {
    MoveTo(event->position());
}

void SurfaceWidget::leaveEvent(QEvent* /*event*/) {
    m_LastMove.reset();
}

void SurfaceWidget::hideEvent(QHideEvent* /*event*/) {
    m_LastMove.reset();
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
    event->accept();
    m_LastMove.reset();
    const QPointF at = event->position();
    Deliver([&](SurfaceInput& input) {
        input.SurfaceDown(ButtonsOf(event->button()), ShiftStateOf(event->modifiers()),
                          static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    Move(event->position(), event->buttons(), event->modifiers());
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    m_LastMove.reset();
    const QPointF at = event->position();
    Deliver([&](SurfaceInput& input) {
        input.SurfaceUp(ButtonsOf(event->button()), ShiftStateOf(event->modifiers()),
                        static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
}

// The second press of a double click: DblClick instead of MouseDown.
void SurfaceWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    event->accept();
    m_LastMove.reset();
    Deliver([](SurfaceInput& input) { input.SurfaceDoubled(); });
}

}  // namespace ponderix::platform::qt
