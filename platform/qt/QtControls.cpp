#include "platform/qt/QtControls.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <limits>
#include <optional>
#include <utility>

#include "platform/HiddenPictureBox.h"
#include "platform/LayoutSupport.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtUserControlHost.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"

namespace ponderix::platform::qt {
namespace {

constexpr std::string_view HandCursorFile = "hand.cur";

Qt::Alignment HorizontalAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            return Qt::AlignLeft;
        case Alignment::Centre:
            return Qt::AlignHCenter;
        case Alignment::Right:
            return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

// ---------------------------------------------------------------------------
// Widgets of our own

// A widget that reports a click: a left press and a left release inside it.
class ClickableWidget : public QWidget {
public:
    using QWidget::QWidget;

    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            m_Pressed = true;
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
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

private:
    bool m_Pressed = false;
};

class LabelWidget final : public ClickableWidget {
public:
    LabelWidget(QWidget* parent, const ControlSpec& row)
        : ClickableWidget(parent),
          m_Text(DisplayText(row.Caption)),
          m_Fore(ToQColor(row.ForeColour)),
          m_Back(row.BackColour ? std::optional<QColor>(ToQColor(*row.BackColour)) : std::nullopt),
          m_Border(row.Border),
          m_Alignment(HorizontalAlignment(row.Alignment)),
          m_WordWrap(!row.AutoSize) {}

    const QString& Text() const { return m_Text; }
    void SetText(QString text) {
        m_Text = std::move(text);
        update();
    }
    void SetFore(const QColor& colour) {
        m_Fore = colour;
        update();
    }

    // The size that shows the text on one line (a line per line break).
    QSize FittedSize() const {
        const QFontMetrics metrics(font());
        const QSize text = metrics.size(0, m_Text.isEmpty() ? QStringLiteral(" ") : m_Text);
        const int border = 2 * BorderWidth(m_Border);
        return {(m_Text.isEmpty() ? 0 : text.width()) + border, text.height() + border};
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
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
        painter.drawText(inside, flags, m_Text);
    }

private:
    QString m_Text;
    QColor m_Fore;
    std::optional<QColor> m_Back;
    Border m_Border;
    Qt::Alignment m_Alignment;
    bool m_WordWrap;
};

class ImageWidget final : public ClickableWidget {
public:
    ImageWidget(QWidget* parent, QImage image)
        : ClickableWidget(parent), m_Image(std::move(image)) {}

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (!m_Image.isNull()) {
            QPainter painter(this);
            painter.drawImage(QPoint(0, 0), m_Image);
        }
    }

private:
    QImage m_Image;
};

class FrameWidget final : public QWidget {
public:
    FrameWidget(QWidget* parent, const ControlSpec& row)
        : QWidget(parent),
          m_Caption(DisplayText(row.Caption)),
          m_Fore(ToQColor(row.ForeColour)),
          m_Back(row.BackColour ? std::optional<QColor>(ToQColor(*row.BackColour)) : std::nullopt),
          m_Border(row.Border) {}

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
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

private:
    QString m_Caption;
    QColor m_Fore;
    std::optional<QColor> m_Back;
    Border m_Border;
};

// ---------------------------------------------------------------------------
// What every visible control does alike

template <typename Interface>
class QtVisible : public Interface, public QtControl {
public:
    QtVisible(QtWindow& window, const ControlSpec& row, std::string key, QWidget* widget)
        : m_Window(window),
          m_Row(row),
          m_Key(std::move(key)),
          m_Widget(widget),
          m_Bounds(ToPixels(row.Rect)) {
        widget->setObjectName(ToQString(m_Key));
        widget->setProperty(WindowedProperty, IsWindowed(row.Kind));
        if (row.Cursor == CursorShape::Hand) {
            widget->setCursor(window.System().Cursor(HandCursorFile));
        }
        widget->setGeometry(ToQRect(ToWholePixels(m_Bounds)));
        widget->setEnabled(row.Enabled);
        if (!row.Visible) {
            widget->hide();
        }
    }

    PixelRect Bounds() const override {
        Live();
        return m_Bounds;
    }

    void Move(float left, float top, std::optional<float> width,
              std::optional<float> height) override {
        QWidget* widget = Live();
        m_Bounds = {left, top, width.value_or(m_Bounds.Width), height.value_or(m_Bounds.Height)};
        widget->setGeometry(ToQRect(ToWholePixels(m_Bounds)));
    }

    bool Visible() const override { return !Live()->isHidden(); }
    void SetVisible(bool visible) override { Live()->setVisible(visible); }
    bool Enabled() const override {
        const QWidget* widget = Live();
        return widget->isEnabledTo(widget->parentWidget());
    }
    void SetEnabled(bool enabled) override { Live()->setEnabled(enabled); }

    void BringToFront() override {
        QWidget* widget = Live();
        if (IsWindowed(m_Row.Kind)) {
            widget->raise();
            return;
        }
        // Windowless: directly under the bottom-most windowed sibling, which puts
        // it above every other windowless one.
        for (QObject* child : widget->parentWidget()->children()) {
            auto* sibling = qobject_cast<QWidget*>(child);
            if (sibling != nullptr && sibling != widget && !sibling->isWindow() &&
                sibling->property(WindowedProperty).toBool()) {
                widget->stackUnder(sibling);
                return;
            }
        }
        widget->raise();
    }

    QWidget* Widget() const override { return m_Widget; }
    void Detach() override {}

protected:
    // The widget, or PlatformError once the window is unloaded.
    QWidget* Live() const {
        m_Window.CheckLoaded(m_Key);
        if (m_Widget == nullptr) {
            throw PlatformError("the control '" + m_Key + "' no longer exists");
        }
        return m_Widget;
    }

    QtWindow& m_Window;
    const ControlSpec& m_Row;
    std::string m_Key;
    QPointer<QWidget> m_Widget;
    PixelRect m_Bounds;
};

QFont FontOf(QtWindow& window, const ControlSpec& row) {
    return ToQFont(row.Font.value_or(window.DefaultFont()));
}

// ---------------------------------------------------------------------------
// The controls

class QtLabel final : public QtVisible<ILabel> {
public:
    QtLabel(QtWindow& window, const ControlSpec& row, std::string key, QWidget* container)
        : QtVisible(window, row, std::move(key), new LabelWidget(container, row)),
          m_Caption(row.Caption),
          m_Points(row.Font.value_or(window.DefaultFont()).Points),
          m_ForeColour(row.ForeColour) {
        Label()->setFont(FontOf(window, row));
        Label()->setFocusPolicy(Qt::NoFocus);
        Label()->OnClick = [this] { Click.Raise(); };
        Fit();
    }

    void Move(float left, float top, std::optional<float> width,
              std::optional<float> height) override {
        QtVisible::Move(left, top, width, height);
        Fit();
    }

    std::string Caption() const override {
        Live();
        return m_Caption;
    }
    void SetCaption(std::string_view caption) override {
        LabelWidget* label = Label();
        m_Caption = caption;
        label->SetText(DisplayText(caption));
        Fit();
    }
    float FontSize() const override {
        Live();
        return m_Points;
    }
    void SetFontSize(float points) override {
        if (!(points > 0.0f && points < 2048.0f)) {
            throw PlatformError("font size " + std::to_string(points) + " is out of range");
        }
        LabelWidget* label = Label();
        QFont font = label->font();
        font.setPixelSize(FontPixelSize(points));
        label->setFont(font);
        label->update();
        m_Points = points;
        Fit();
    }
    Colour ForeColour() const override {
        Live();
        return m_ForeColour;
    }
    void SetForeColour(Colour colour) override {
        Label()->SetFore(ToQColor(colour));
        m_ForeColour = colour;
    }

    void Detach() override {
        if (auto* label = static_cast<LabelWidget*>(m_Widget.data())) {
            label->OnClick = nullptr;
        }
    }

private:
    LabelWidget* Label() const { return static_cast<LabelWidget*>(Live()); }

    // A label that sizes itself takes the size of its text, from its left and top.
    void Fit() {
        if (!m_Row.AutoSize) {
            return;
        }
        const QSize size = Label()->FittedSize();
        m_Bounds.Width = static_cast<float>(size.width());
        m_Bounds.Height = static_cast<float>(size.height());
        Label()->setGeometry(ToQRect(ToWholePixels(m_Bounds)));
    }

    std::string m_Caption;
    float m_Points;
    Colour m_ForeColour;
};

class QtTextBox final : public QtVisible<ITextBox> {
public:
    QtTextBox(QtWindow& window, const ControlSpec& row, std::string key, QWidget* container)
        : QtVisible(window, row, std::move(key), new QLineEdit(container)) {
        QLineEdit* edit = Edit();
        edit->setFont(FontOf(window, row));
        edit->setText(ToQString(row.Caption));
        edit->setAlignment(HorizontalAlignment(row.Alignment) | Qt::AlignVCenter);
        edit->setFocusPolicy(Qt::StrongFocus);
        edit->setMaxLength(std::numeric_limits<int>::max());  // no cut at 32,767 characters
        const QColor back = row.BackColour ? ToQColor(*row.BackColour) : QColor();
        const QColor fore = ToQColor(row.ForeColour);
        if (row.Border == Border::Sunken3D) {
            QPalette palette = edit->palette();
            if (row.BackColour) {
                palette.setColor(QPalette::Base, back);
            }
            palette.setColor(QPalette::Text, fore);
            edit->setPalette(palette);
        } else {
            // Style sheets give the exact flat line (or none) whatever the style.
            const QString border = row.Border == Border::FlatSingle
                                       ? QStringLiteral("1px solid black")
                                       : QStringLiteral("none");
            QString sheet = QStringLiteral("QLineEdit { border: %1; padding: 0px 1px; color: %2;")
                                .arg(border, fore.name());
            if (row.BackColour) {
                sheet += QStringLiteral(" background-color: %1;").arg(back.name());
            }
            edit->setStyleSheet(sheet + QStringLiteral(" }"));
        }
    }

    std::string Text() const override { return ToUtf8(Edit()->text()); }
    void SetText(std::string_view text) override { Edit()->setText(ToQString(text)); }

private:
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(Live()); }
};

class QtListBox final : public QtVisible<IListBox> {
public:
    QtListBox(QtWindow& window, const ControlSpec& row, std::string key, QWidget* container)
        : QtVisible(window, row, std::move(key), new QListWidget(container)) {
        QListWidget* list = List();
        list->setFont(FontOf(window, row));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setUniformItemSizes(true);
        list->setFocusPolicy(Qt::StrongFocus);
        QPalette palette = list->palette();
        if (row.BackColour) {
            palette.setColor(QPalette::Base, ToQColor(*row.BackColour));
        }
        palette.setColor(QPalette::Text, ToQColor(row.ForeColour));
        // The colours of the sunken edge, outer ring then inner ring.
        palette.setColor(QPalette::Dark, QColor(128, 128, 128));
        palette.setColor(QPalette::Light, QColor(255, 255, 255));
        palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
        palette.setColor(QPalette::Midlight, QColor(227, 227, 227));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
        list->setPalette(palette);
        switch (row.Border) {
            case Border::None:
                list->setFrameStyle(QFrame::NoFrame);
                break;
            case Border::FlatSingle:
                list->setFrameStyle(QFrame::Box | QFrame::Plain);
                list->setLineWidth(1);
                break;
            case Border::Sunken3D:
                list->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
                break;
        }
    }

    void AddItem(std::string_view text) override { List()->addItem(ToQString(text)); }
    int ListCount() const override { return List()->count(); }
    std::string List(int row) const override {
        const QListWidget* list = List();
        if (row < 0 || row >= list->count()) {
            throw PlatformError("list row " + std::to_string(row) + " does not exist");
        }
        return ToUtf8(list->item(row)->text());
    }
    int ListIndex() const override {
        const QListWidget* list = List();
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.front());
    }
    void SetListIndex(int row) override {
        QListWidget* list = List();
        if (row < -1 || row >= list->count()) {
            throw PlatformError("invalid list index " + std::to_string(row));
        }
        if (row == -1) {
            list->clearSelection();
            list->setCurrentItem(nullptr);
            return;
        }
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        list->scrollToItem(list->item(row));
    }

private:
    QListWidget* List() const { return static_cast<QListWidget*>(Live()); }
};

class QtOptionButton final : public QtVisible<IOptionButton> {
public:
    QtOptionButton(QtWindow& window, const ControlSpec& row, std::string key, QWidget* container)
        : QtVisible(window, row, std::move(key),
                    new QRadioButton(ToQString(row.Caption), container)) {
        QRadioButton* radio = Radio();
        radio->setFont(FontOf(window, row));
        radio->setFocusPolicy(Qt::StrongFocus);
        QPalette palette = radio->palette();
        if (row.BackColour) {
            radio->setAutoFillBackground(true);
            palette.setColor(radio->backgroundRole(), ToQColor(*row.BackColour));
        }
        palette.setColor(QPalette::WindowText, ToQColor(row.ForeColour));
        radio->setPalette(palette);
        // One group per container: selecting a button clears the others there.
        auto* group = container->findChild<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly);
        if (group == nullptr) {
            group = new QButtonGroup(container);
            group->setExclusive(true);
        }
        group->addButton(radio);
        radio->setChecked(row.Value);
        // clicked comes from the user (mouse or keyboard), never from setChecked.
        m_Clicked = QObject::connect(radio, &QAbstractButton::clicked, radio,
                                     [this] { FromEventLoop([this] { Click.Raise(); }); });
    }

    bool Value() const override { return Radio()->isChecked(); }
    void SetValue(bool selected) override {
        QRadioButton* radio = Radio();
        if (selected) {
            radio->setChecked(true);
            return;
        }
        // An exclusive group never lets its checked button go by itself.
        QButtonGroup* group = radio->group();
        const bool exclusive = group != nullptr && group->exclusive();
        if (exclusive) {
            group->setExclusive(false);
        }
        radio->setChecked(false);
        if (exclusive) {
            group->setExclusive(true);
        }
    }

    void Detach() override { QObject::disconnect(m_Clicked); }

private:
    QRadioButton* Radio() const { return static_cast<QRadioButton*>(Live()); }

    QMetaObject::Connection m_Clicked;
};

class QtFrame final : public QtVisible<IFrame> {
public:
    QtFrame(QtWindow& window, const ControlSpec& row, std::string key, QWidget* container)
        : QtVisible(window, row, std::move(key), new FrameWidget(container, row)) {
        m_Widget->setFont(FontOf(window, row));
        m_Widget->setFocusPolicy(Qt::NoFocus);
    }
};

class QtImage final : public QtVisible<IImage> {
public:
    QtImage(QtWindow& window, const ControlSpec& row, std::string key, QWidget* container)
        : QtVisible(window, row, std::move(key),
                    new ImageWidget(container, PictureOf(window, row))) {
        m_Widget->setFocusPolicy(Qt::NoFocus);
        static_cast<ImageWidget*>(m_Widget.data())->OnClick = [this] { Click.Raise(); };
    }

    void Detach() override {
        if (auto* image = static_cast<ImageWidget*>(m_Widget.data())) {
            image->OnClick = nullptr;
        }
    }

private:
    static QImage PictureOf(QtWindow& window, const ControlSpec& row) {
        if (row.Picture.File.empty()) {
            return {};
        }
        return ToQImage(window.System().LoadPicture(row.Picture).Pixels());
    }
};

// The QTimer goes with deleteLater: a tick's handler may be what destroys it.
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

class QtTimer final : public ITimer, public QtControl {
public:
    QtTimer(QtWindow& window, const ControlSpec& row, std::string key)
        : m_Window(window),
          m_Key(std::move(key)),
          m_Timer(new QTimer),
          m_Enabled(row.Enabled),
          m_Interval(row.IntervalMs) {
        m_Timeout = QObject::connect(m_Timer.get(), &QTimer::timeout, m_Timer.get(),
                                     [this] { FromEventLoop([this] { Tick.Raise(); }); });
        Apply();
    }
    ~QtTimer() override { Detach(); }
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    bool Enabled() const override {
        m_Window.CheckLoaded(m_Key);
        return m_Enabled;
    }
    void SetEnabled(bool enabled) override {
        m_Window.CheckLoaded(m_Key);
        if (enabled != m_Enabled) {
            m_Enabled = enabled;
            Apply();
        }
    }
    int Interval() const override {
        m_Window.CheckLoaded(m_Key);
        return m_Interval;
    }
    void SetInterval(int milliseconds) override {
        m_Window.CheckLoaded(m_Key);
        if (milliseconds < 0) {
            throw PlatformError("timer interval " + std::to_string(milliseconds) + " is negative");
        }
        m_Interval = milliseconds;
        Apply();
    }

    QWidget* Widget() const override { return nullptr; }
    void Detach() override {
        m_Timer->stop();
        QObject::disconnect(m_Timeout);
    }

private:
    // Starts the interval anew when the timer runs; a stopped timer costs nothing.
    void Apply() {
        if (m_Enabled && m_Interval > 0) {
            // Short intervals poll the cursor: coarse timers would stretch them.
            m_Timer->setTimerType(m_Interval < 20 ? Qt::PreciseTimer : Qt::CoarseTimer);
            m_Timer->start(m_Interval);
        } else {
            m_Timer->stop();
        }
    }

    QtWindow& m_Window;
    std::string m_Key;
    std::unique_ptr<QTimer, DeleteLater> m_Timer;
    QMetaObject::Connection m_Timeout;
    bool m_Enabled;
    int m_Interval;
};

}  // namespace

std::unique_ptr<IControl> MakeControl(QtWindow& window, const ControlSpec& row, QWidget* container,
                                      std::string key) {
    switch (row.Kind) {
        case ControlKind::Label:
            return std::make_unique<QtLabel>(window, row, std::move(key), container);
        case ControlKind::TextBox:
            return std::make_unique<QtTextBox>(window, row, std::move(key), container);
        case ControlKind::ListBox:
            return std::make_unique<QtListBox>(window, row, std::move(key), container);
        case ControlKind::OptionButton:
            return std::make_unique<QtOptionButton>(window, row, std::move(key), container);
        case ControlKind::Frame:
            return std::make_unique<QtFrame>(window, row, std::move(key), container);
        case ControlKind::Image:
            return std::make_unique<QtImage>(window, row, std::move(key), container);
        case ControlKind::Timer:
            return std::make_unique<QtTimer>(window, row, std::move(key));
        case ControlKind::PictureBox:
            return std::make_unique<HiddenPictureBox>(static_cast<float>(row.Rect.Width),
                                                      static_cast<float>(row.Rect.Height));
        case ControlKind::UserControl:
            return std::make_unique<QtUserControlHost>(
                window, row, std::move(key),
                window.System().UserControlClasses().ClassOf(row.ClassId), container);
    }
    throw PlatformError("unknown control kind");
}

}  // namespace ponderix::platform::qt
