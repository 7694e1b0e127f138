// The widgets of our own that the Qt backend's controls are made of: labels,
// images and frames painted as the program's layouts describe them, and the
// surface a user control draws on. They know nothing of the window core: what
// the user does reaches the control through a callback (OnClick) or the
// surface's input, which the control clears once its window is gone.
#pragma once

#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Layout.h"
#include "platform/Picture.h"
#include "platform/qt/QtSupport.h"

namespace ponderix::platform::qt {

// A widget that reports a click: a left press and a left release inside it.
class ClickableWidget : public QWidget {
public:
    using QWidget::QWidget;

    std::function<void()> OnClick;
    // A screen reader's press (QtAccessibility.h).
    std::function<void()> OnPress;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_Pressed = false;
};

// A label: plain text from the top, aligned left, centred or right, wrapped at
// word boundaries (one line per line break when it sizes itself), cut off at
// the bottom, over its colour or transparent, inside its border.
class LabelWidget final : public ClickableWidget {
public:
    LabelWidget(QWidget* parent, const ControlSpec& row);

    void SetText(QString text);
    void SetFore(const QColor& colour);
    // The size that shows the text on one line per line break, border included.
    QSize FittedSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the text is drawn a second time beside itself to be bold (a face
    // whose bold outlines are no heavier than its regular ones): how far to
    // the right, in Qt's pixels; 0 where it is not.
    qreal Overstrike() const;

    QString m_Text;
    QColor m_Fore;
    std::optional<QColor> m_Back;
    Border m_Border;
    Qt::Alignment m_Alignment;
    bool m_WordWrap;
};

// An image: its picture at natural size from the top-left corner, clipped.
class ImageWidget final : public ClickableWidget {
public:
    ImageWidget(QWidget* parent, Picture picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_Picture;
    ShownPicture m_Shown;
};

// A frame: a panel filled with its colour; a border and the caption on its top
// line only when it has a border. A press on it stays with it (it does not
// reach the window behind, which a press on its bare background moves).
class FrameWidget final : public QWidget {
public:
    FrameWidget(QWidget* parent, const ControlSpec& row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }

private:
    QString m_Caption;
    QColor m_Fore;
    std::optional<QColor> m_Back;
    Border m_Border;
};

// What a surface reports of the mouse: buttons and shift as the user control
// takes them, positions in pixels on the surface.
class SurfaceInput {
public:
    virtual void SurfaceDown(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void SurfaceMove(std::int16_t buttons, std::int16_t shift, float x, float y) = 0;
    virtual void SurfaceUp(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void SurfaceDoubled() = 0;
    // Whether the window shows focus cues: the keyboard has been used in it.
    virtual bool CuesShown() const = 0;

protected:
    ~SurfaceInput() = default;
};

// The surface a user control draws on. It shows only what was cleared and
// drawn on it, which changes only through ClearFace and DrawFace: the face
// drawn last stays, whatever Qt repaints, and shows at the pixels of the
// screen the surface is on. While it has the focus in a window that shows
// focus cues, the focus cue is painted over the face (never into it). It has
// no child widgets, so the widget under the cursor over it is the surface
// itself. The mouse is tracked without a button held; keys go on to the
// window.
class SurfaceWidget final : public QWidget {
public:
    SurfaceWidget(QWidget* parent, const QColor& background);

    // Where the mouse goes; null once the control is detached.
    SurfaceInput* Input = nullptr;
    // A screen reader's press (QtAccessibility.h).
    std::function<void()> OnPress;

    void ClearFace();
    // Copies the picture at natural size to the top-left corner, as a bit
    // block transfer would: the colours, not the alpha.
    void DrawFace(const Picture& picture);
    // A move to that point of the surface, where the cursor rests, buttons as
    // they are (Qt sends none when a surface appears under a still cursor, or
    // only Enter when it comes over it).
    void MoveTo(QPointF at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // One notification, unless the control is detached.
    void Deliver(const std::function<void(SurfaceInput&)>& notification);
    // A move, unless the last thing delivered was the very same move (Enter
    // and the desktop's own move after it).
    void Move(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

    struct LastMove {
        QPoint At;
        Qt::MouseButtons Buttons;
        Qt::KeyboardModifiers Modifiers;
        friend bool operator==(const LastMove&, const LastMove&) = default;
    };

    QColor m_Background;
    // What was drawn since the surface was last cleared, oldest first; each
    // shown at the device pixels of the screen the surface is on.
    struct Drawn {
        Picture Of;
        ShownPicture Shown;
    };
    std::vector<std::unique_ptr<Drawn>> m_Face;
    std::optional<LastMove> m_LastMove;
};

}  // namespace ponderix::platform::qt
