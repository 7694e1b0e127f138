#include "platform/qt/QtControls.h"

#include <limits>

#include "platform/core/CoreWindow.h"
#include "platform/qt/QtWindowSystem.h"

namespace ponderix::platform::qt {

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
