#include "platform/qt/QtWidgets.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "platform/FocusCue.h"
#include "platform/qt/QtSupport.h"

namespace ponderix::platform::qt {
namespace {

std::optional<QColor> BackOf(const ControlSpec& row) {
    return row.BackColour ? std::optional<QColor>(ToQColor(*row.BackColour)) : std::nullopt;
}

// Qt's left, right and middle buttons are the bits 1, 2 and 4, as a user
// control's are; one button or several alike.
std::int16_t ButtonsOf(Qt::MouseButtons buttons) {
    static_assert(Qt::LeftButton == 1 && Qt::RightButton == 2 && Qt::MiddleButton == 4);
    return static_cast<std::int16_t>(buttons.toInt() & 7);
}

}  // namespace

// ---------------------------------------------------------------------------
// Clickable widgets: labels and images

void ClickableWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_Pressed = true;
    }
    event->accept();
}

void ClickableWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const bool clicked = m_Pressed && rect().contains(event->position().toPoint());
    m_Pressed = false;
    // A copy: the handler may unload the window, which clears OnClick.
    const std::function<void()> onClick = OnClick;
    if (clicked && onClick) {
        FromEventLoop(onClick);
    }
}

LabelWidget::LabelWidget(QWidget* parent, const ControlSpec& row)
    : ClickableWidget(parent),
      m_Text(DisplayText(row.Caption)),
      m_Fore(ToQColor(row.ForeColour)),
      m_Back(BackOf(row)),
      m_Border(row.Border),
      m_Alignment(HorizontalAlignment(row.Alignment)),
      m_WordWrap(!row.AutoSize) {}

void LabelWidget::SetText(QString text) {
    m_Text = std::move(text);
    update();
}

void LabelWidget::SetFore(const QColor& colour) {
    m_Fore = colour;
    update();
}

QSize LabelWidget::FittedSize() const {
    const QFontMetrics metrics(font());
    const QSize text = metrics.size(0, m_Text.isEmpty() ? QStringLiteral(" ") : m_Text);
    const int border = 2 * BorderWidth(m_Border);
    const LineShift shift = WindowsLineShift(font());
    const auto overstrike = static_cast<int>(std::ceil(Overstrike()));
    return {(m_Text.isEmpty() ? 0 : text.width() + overstrike) + border,
            text.height() + shift.Taller + border};
}

qreal LabelWidget::Overstrike() const {
    const QFont& shown = font();
    if (shown.styleStrategy() & QFont::NoAntialias || !DrawsBoldThin(shown)) {
        return 0;
    }
    // As Windows makes a face bold: a pixel to the right at small sizes, a
    // twelfth of the size at larger ones, in the screen's own pixels.
    const qreal ratio = devicePixelRatioF();
    const qreal device = std::max<qreal>(1, std::round(shown.pixelSize() * ratio / 12));
    return device / ratio;
}

void LabelWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_Back) {
        painter.fillRect(rect(), *m_Back);
    }
    const QRect inside = DrawBorder(painter, rect(), m_Border);
    painter.setClipRect(inside);
    painter.setFont(font());
    painter.setPen(m_Fore);
    int flags = static_cast<int>(m_Alignment) | Qt::AlignTop;
    if (m_WordWrap) {
        flags |= Qt::TextWordWrap;
    }
    // The first baseline where Windows puts it.
    const QRectF text = QRectF(inside).adjusted(0, WindowsLineShift(font()).Down, 0, 0);
    painter.drawText(text, flags, m_Text);
    if (const qreal overstrike = Overstrike(); overstrike > 0) {
        painter.drawText(text.translated(overstrike, 0), flags, m_Text);
    }
}

ImageWidget::ImageWidget(QWidget* parent, Picture picture)
    : ClickableWidget(parent), m_Picture(std::move(picture)) {}

void ImageWidget::paintEvent(QPaintEvent* /*event*/) {
    if (!m_Picture.IsEmpty()) {
        QPainter painter(this);
        m_Shown.Draw(painter, QPointF(0, 0), m_Picture);
    }
}

// ---------------------------------------------------------------------------
// Frames

FrameWidget::FrameWidget(QWidget* parent, const ControlSpec& row)
    : QWidget(parent),
      m_Caption(DisplayText(row.Caption)),
      m_Fore(ToQColor(row.ForeColour)),
      m_Back(BackOf(row)),
      m_Border(row.Border) {}

void FrameWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_Back) {
        painter.fillRect(rect(), *m_Back);
    }
    if (m_Border == Border::None) {
        return;  // a panel without a border draws no caption either
    }
    // The caption sits on the top line, over a gap in it.
    const QFontMetrics metrics(font());
    DrawBorder(painter, rect().adjusted(0, metrics.height() / 2, 0, 0), m_Border);
    if (!m_Caption.isEmpty()) {
        const QRect caption(8, 0, metrics.horizontalAdvance(m_Caption) + 4, metrics.height());
        painter.fillRect(caption,
                         m_Back.value_or(ToQColor(Colour::System(SystemColour::ButtonFace))));
        painter.setPen(m_Fore);
        painter.setFont(font());
        painter.drawText(caption, Qt::AlignCenter, m_Caption);
    }
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
