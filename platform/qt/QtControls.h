// The standard controls of a window as Qt widgets. The window core keeps their
// properties, groups and focus rules; each class here only makes its widget,
// shows what the core tells it and reports the user's clicks.
//
// Unlike the other backends, every control (labels and images included) is a
// widget of its own: the windowless ones are painted widgets kept below their
// windowed siblings, and a handle is always a widget's address. Option buttons
// keep Qt's own arrow keys within their group; Tab, and the keys a control
// does not take for itself, are the window's (QtWindow). Each control keeps
// its widget's accessible name and description as the core says them.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>

#include "platform/Layout.h"
#include "platform/Picture.h"
#include "platform/core/CoreControls.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtDrawing.h"
#include "platform/qt/QtFonts.h"

namespace ponderix::platform::qt {

// ---------------------------------------------------------------------------
// The widgets of our own that labels, images and frames are made of: painted
// as the layouts describe them. They know nothing of the window core: what the
// user does reaches the control through a callback (OnClick), which the
// control clears once its window is gone.

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

// ---------------------------------------------------------------------------
// The controls

// The widget a control of the row is made in: its frame's, or the window's.
QWidget* ParentWidget(const core::ControlArgs& args);
// Names the widget after the control's key and gives it the row's font, cursor,
// focus policy (a user control takes the focus from the keyboard only) and
// accessible role.
void SetUpWidget(QWidget& widget, const core::ControlArgs& args, bool windowed, bool takesFocus,
                 AccessibleRole role);
// To the top of its group: windowless widgets stay below every windowed sibling.
void RaiseWidget(QWidget& widget, bool windowed);

// The native side every control shares: its widget, placed, shown, enabled,
// stacked and focused as the core says.
template <typename Core, typename Widget>
class QtNative : public Core {
public:
    template <typename... CoreArgs>
    QtNative(Widget* widget, const core::ControlArgs& args, CoreArgs&&... coreArgs)
        : Core(args, std::forward<CoreArgs>(coreArgs)...), m_Widget(widget) {
        SetUpWidget(*widget, args, this->IsWindowed(), this->TakesFocus(), this->Role());
    }

    WindowHandle NativeHandle() const override { return HandleOf(m_Widget); }
    void Raise() override { RaiseWidget(*m_Widget, this->IsWindowed()); }
    void Focus() override { m_Widget->setFocus(Qt::TabFocusReason); }
    // The window's focus widget, whether or not the window is active.
    bool HasFocus() const override {
        return m_Widget != nullptr && m_Widget->window()->focusWidget() == m_Widget;
    }
    void AccessibleNameChanged() override {
        if (m_Widget != nullptr) {
            TellAccessibleName(*m_Widget, ToQString(this->AccessibleName()));
        }
    }
    void AccessibleDescriptionChanged() override {
        if (m_Widget != nullptr) {
            TellAccessibleDescription(*m_Widget, ToQString(this->AccessibleDescription()));
        }
    }

protected:
    void Place(const WholePixelRect& rect) override { m_Widget->setGeometry(ToQRect(rect)); }
    void ShowNative(bool visible) override { m_Widget->setVisible(visible); }
    void EnableNative(bool enabled) override { m_Widget->setEnabled(enabled); }

    QPointer<Widget> m_Widget;  // deleted with the window's widget
};

class QtLabel final : public QtNative<core::Label, LabelWidget> {
public:
    explicit QtLabel(const core::ControlArgs& args);
    void Detach() override {
        if (m_Widget != nullptr) {
            m_Widget->OnClick = nullptr;
            m_Widget->OnPress = nullptr;
        }
    }

protected:
    void ShowCaption(std::string_view caption) override;
    void ShowFont(const FontSpec& font) override;
    void ShowForeColour(Colour colour) override;
    WholePixelRect FittedSize() const override;
};

// A QLineEdit without Qt's limit on the length of the text.
class QtTextBox final : public QtNative<core::TextBox, QLineEdit> {
public:
    explicit QtTextBox(const core::ControlArgs& args);

    std::string NativeText() const override;
    void ShowText(std::string_view text) override;
    void SelectAll() override { m_Widget->selectAll(); }
};

class QtListBox final : public QtNative<core::ListBox, QListWidget> {
public:
    explicit QtListBox(const core::ControlArgs& args);

protected:
    void AddNativeItem(std::string_view text) override;
    int NativeListIndex() const override;
    void SelectNative(int row) override;
};

class QtOptionButton final : public QtNative<core::OptionButton, QRadioButton> {
public:
    explicit QtOptionButton(const core::ControlArgs& args);
    void Detach() override { QObject::disconnect(m_Clicked); }

protected:
    void ShowValue(bool selected) override;

private:
    QMetaObject::Connection m_Clicked;
};

class QtFrame final : public QtNative<core::Frame, FrameWidget> {
public:
    explicit QtFrame(const core::ControlArgs& args);
};

class QtImage final : public QtNative<core::Image, ImageWidget> {
public:
    explicit QtImage(const core::ControlArgs& args);
    void Detach() override {
        if (m_Widget != nullptr) {
            m_Widget->OnClick = nullptr;
            m_Widget->OnPress = nullptr;
        }
    }
};

}  // namespace ponderix::platform::qt
