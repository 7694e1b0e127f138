#include "platform/qt/QtControls.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <limits>

#include "platform/core/CoreWindow.h"
#include "platform/qt/QtWindowSystem.h"

namespace ponderix::platform::qt {
namespace {

std::optional<QColor> BackOf(const ControlSpec& row) {
    return row.BackColour ? std::optional<QColor>(ToQColor(*row.BackColour)) : std::nullopt;
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
// Placing and stacking

// The property of a control's widget that says it is windowed.
constexpr const char* WindowedProperty = "ponderixWindowed";

QWidget* ParentWidget(const core::ControlArgs& args) {
    return WidgetOf(args.Container != nullptr ? args.Container->NativeHandle()
                                              : args.Window.Handle());
}

void SetUpWidget(QWidget& widget, const core::ControlArgs& args, bool windowed, bool takesFocus,
                 AccessibleRole role) {
    widget.setObjectName(ToQString(args.Key));
    widget.setProperty(WindowedProperty, windowed);
    widget.setFont(ToQFont(args.Font, widget.devicePixelRatioF()));
    const bool userControl = args.Row.Kind == ControlKind::UserControl;
    widget.setFocusPolicy(!takesFocus ? Qt::NoFocus : userControl ? Qt::TabFocus : Qt::StrongFocus);
    SetAccessibleRole(widget, role);
    if (args.Row.Cursor == CursorShape::Hand) {
        widget.setCursor(static_cast<QtWindowSystem&>(args.Window.System()).HandCursor());
    }
}

void RaiseWidget(QWidget& widget, bool windowed) {
    if (!windowed) {
        // Directly under the bottom-most windowed sibling, which puts it above
        // every other windowless one.
        for (QObject* child : widget.parentWidget()->children()) {
            auto* sibling = qobject_cast<QWidget*>(child);
            if (sibling != nullptr && sibling != &widget && !sibling->isWindow() &&
                sibling->property(WindowedProperty).toBool()) {
                widget.stackUnder(sibling);
                return;
            }
        }
    }
    widget.raise();
}

// ---------------------------------------------------------------------------
// Labels

QtLabel::QtLabel(const core::ControlArgs& args)
    : QtNative(new LabelWidget(ParentWidget(args), args.Row), args) {
    m_Widget->OnClick = [this] { UserClicked(); };
    m_Widget->OnPress = [this] { m_Window.Press(*this); };
}

void QtLabel::ShowCaption(std::string_view caption) {
    m_Widget->SetText(DisplayText(caption));
}

void QtLabel::ShowFont(const FontSpec& font) {
    m_Widget->setFont(ToQFont(font, m_Widget->devicePixelRatioF()));
    m_Widget->update();
}

void QtLabel::ShowForeColour(Colour colour) {
    m_Widget->SetFore(ToQColor(colour));
}

WholePixelRect QtLabel::FittedSize() const {
    const QSize size = m_Widget->FittedSize();
    return {0, 0, size.width(), size.height()};
}

// ---------------------------------------------------------------------------
// Text box

QtTextBox::QtTextBox(const core::ControlArgs& args)
    : QtNative(new QLineEdit(ParentWidget(args)), args) {
    const ControlSpec& row = args.Row;
    QLineEdit& edit = *m_Widget;
    edit.setMaxLength(std::numeric_limits<int>::max());
    edit.setText(ToQString(row.Caption));
    edit.setAlignment(HorizontalAlignment(row.Alignment) | Qt::AlignVCenter);
    const QColor back = row.BackColour ? ToQColor(*row.BackColour) : QColor();
    const QColor fore = ToQColor(row.ForeColour);
    if (row.Border == Border::Sunken3D) {
        QPalette palette = edit.palette();
        if (row.BackColour) {
            palette.setColor(QPalette::Base, back);
        }
        palette.setColor(QPalette::Text, fore);
        edit.setPalette(palette);
        return;
    }
    // Style sheets give the exact flat line (or none) whatever the style.
    const QString border = row.Border == Border::FlatSingle ? QStringLiteral("1px solid black")
                                                            : QStringLiteral("none");
    QString sheet = QStringLiteral("QLineEdit { border: %1; padding: 0px 1px; color: %2;")
                        .arg(border, fore.name());
    if (row.BackColour) {
        sheet += QStringLiteral(" background-color: %1;").arg(back.name());
    }
    edit.setStyleSheet(sheet + QStringLiteral(" }"));
}

std::string QtTextBox::NativeText() const {
    return ToUtf8(m_Widget->text());
}

void QtTextBox::ShowText(std::string_view text) {
    m_Widget->setText(ToQString(text));
}

// ---------------------------------------------------------------------------
// List box

QtListBox::QtListBox(const core::ControlArgs& args)
    : QtNative(new QListWidget(ParentWidget(args)), args) {
    const ControlSpec& row = args.Row;
    QListWidget& list = *m_Widget;
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    TellCurrentRowOnFocus(list);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list.setUniformItemSizes(true);
    QPalette palette = list.palette();
    if (row.BackColour) {
        palette.setColor(QPalette::Base, ToQColor(*row.BackColour));
    }
    palette.setColor(QPalette::Text, ToQColor(row.ForeColour));
    SetSunkenEdgeColours(palette);
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));  // a flat line
    list.setPalette(palette);
    switch (row.Border) {
        case Border::None:
            list.setFrameStyle(QFrame::NoFrame);
            break;
        case Border::FlatSingle:
            list.setFrameStyle(QFrame::Box | QFrame::Plain);
            list.setLineWidth(1);
            break;
        case Border::Sunken3D:
            list.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
            break;
    }
}

void QtListBox::AddNativeItem(std::string_view text) {
    m_Widget->addItem(ToQString(text));
}

int QtListBox::NativeListIndex() const {
    const QList<QListWidgetItem*> selected = m_Widget->selectedItems();
    return selected.isEmpty() ? -1 : m_Widget->row(selected.front());
}

void QtListBox::SelectNative(int row) {
    if (row == -1) {
        m_Widget->clearSelection();
        m_Widget->setCurrentItem(nullptr);
        return;
    }
    m_Widget->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_Widget->scrollToItem(m_Widget->item(row));
}

// ---------------------------------------------------------------------------
// Option buttons

QtOptionButton::QtOptionButton(const core::ControlArgs& args)
    : QtNative(new QRadioButton(ToQString(args.Row.Caption), ParentWidget(args)), args) {
    const ControlSpec& row = args.Row;
    QRadioButton& radio = *m_Widget;
    QPalette palette = radio.palette();
    if (row.BackColour) {
        radio.setAutoFillBackground(true);
        palette.setColor(radio.backgroundRole(), ToQColor(*row.BackColour));
    }
    palette.setColor(QPalette::WindowText, ToQColor(row.ForeColour));
    radio.setPalette(palette);
    radio.setChecked(row.Value);
    // clicked comes from the user (mouse, space bar, or an arrow key that Qt
    // moves within the buttons of one parent), never from setChecked.
    m_Clicked = QObject::connect(&radio, &QAbstractButton::clicked, &radio,
                                 [this] { FromEventLoop([this] { UserSelected(); }); });
}

void QtOptionButton::ShowValue(bool selected) {
    // Qt never lets the checked button of its parent's buttons go by itself.
    m_Widget->setAutoExclusive(false);
    m_Widget->setChecked(selected);
    m_Widget->setAutoExclusive(true);
}

// ---------------------------------------------------------------------------
// Frames and images

QtFrame::QtFrame(const core::ControlArgs& args)
    : QtNative(new FrameWidget(ParentWidget(args), args.Row), args) {}

QtImage::QtImage(const core::ControlArgs& args)
    : QtNative(new ImageWidget(ParentWidget(args), args.Picture), args) {
    m_Widget->OnClick = [this] { UserClicked(); };
    m_Widget->OnPress = [this] { m_Window.Press(*this); };
}

}  // namespace ponderix::platform::qt
