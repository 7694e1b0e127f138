// A user control placed on a Qt window: the core hosts the instance and its
// children; here is its surface, a widget of its own that keeps the face drawn
// last and passes the mouse on.
//
// Qt tells a widget nothing when it appears under a cursor that does not move,
// and tells it of the cursor's coming (Enter) apart from any move: the surface
// turns both into a move, as the other desktops send one.
#pragma once

#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Picture.h"
#include "platform/core/CoreUserControlHost.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtConversions.h"

namespace ponderix::platform::qt {

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

class QtUserControlHost final : public QtNative<core::UserControlHost, SurfaceWidget>,
                                private SurfaceInput {
public:
    QtUserControlHost(const core::ControlArgs& args, const UserControlClass& userControlClass);
    void Detach() override;
    void KeyboardCuesShown() override {
        if (m_Widget != nullptr) {
            m_Widget->update();
        }
    }

protected:
    void ClearNative() override { m_Widget->ClearFace(); }
    void DrawNative(const Picture& picture) override { m_Widget->DrawFace(picture); }

private:
    void SurfaceDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        SurfaceMouseDown(button, shift, x, y);
    }
    void SurfaceMove(std::int16_t buttons, std::int16_t shift, float x, float y) override {
        SurfaceMouseMove(buttons, shift, x, y);
    }
    void SurfaceUp(std::int16_t button, std::int16_t shift, float x, float y) override {
        SurfaceMouseUp(button, shift, x, y);
    }
    void SurfaceDoubled() override { SurfaceDoubleClick(); }
    bool CuesShown() const override;
};

}  // namespace ponderix::platform::qt
