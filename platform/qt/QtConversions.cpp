#include "platform/qt/QtConversions.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPalette>
#include <QPixmap>

#include "platform/core/LayoutSupport.h"

namespace ponderix::platform::qt {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QColor ToQColor(Colour colour) {
    if (!colour.IsSystem()) {
        return {colour.Red(), colour.Green(), colour.Blue()};
    }
    const QPalette palette = QApplication::palette();
    switch (colour.Role()) {
        case SystemColour::WindowText:
            return palette.color(QPalette::Text);
        case SystemColour::ControlText:
            return palette.color(QPalette::WindowText);
        case SystemColour::ButtonFace:
            return palette.color(QPalette::Window);
    }
    return palette.color(QPalette::WindowText);
}

QString DisplayText(std::string_view caption) {
    return ToQString(CaptionText(caption));
}

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

std::int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers) {
    return static_cast<std::int16_t>(
        (modifiers.testFlag(Qt::ShiftModifier) ? ShiftState::Shift : 0) |
        (modifiers.testFlag(Qt::ControlModifier) ? ShiftState::Ctrl : 0) |
        (modifiers.testFlag(Qt::AltModifier) ? ShiftState::Alt : 0));
}

std::int16_t KeyCodeOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return KeyCode::Return;
        case Qt::Key_Escape:
            return KeyCode::Escape;
        case Qt::Key_Space:
            return KeyCode::Space;
        case Qt::Key_Tab:
            return KeyCode::Tab;
        default:
            if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
                return static_cast<std::int16_t>(KeyCode::F1 + (qtKey - Qt::Key_F1));
            }
            return 0;
    }
}

int QtKeyOf(std::int16_t keyCode) {
    switch (keyCode) {
        case KeyCode::Return:
            return Qt::Key_Return;
        case KeyCode::Escape:
            return Qt::Key_Escape;
        case KeyCode::Space:
            return Qt::Key_Space;
        case KeyCode::Tab:
            return Qt::Key_Tab;
        case KeyCode::Left:
            return Qt::Key_Left;
        case KeyCode::Up:
            return Qt::Key_Up;
        case KeyCode::Right:
            return Qt::Key_Right;
        case KeyCode::Down:
            return Qt::Key_Down;
        default:
            if (keyCode >= KeyCode::F1 && keyCode <= KeyCode::F12) {
                return Qt::Key_F1 + (keyCode - KeyCode::F1);
            }
            return 0;
    }
}

QRect ToQRect(const WholePixelRect& rect) {
    return {rect.Left, rect.Top, rect.Width, rect.Height};
}

QImage ToQImage(const Bitmap& bitmap) {
    if (bitmap.Width <= 0 || bitmap.Height <= 0) {
        return {};
    }
    const QImage view(reinterpret_cast<const uchar*>(bitmap.Pixels.data()), bitmap.Width,
                      bitmap.Height, static_cast<qsizetype>(bitmap.Width) * 4,
                      QImage::Format_ARGB32);
    return view.copy();
}

QCursor ToQCursor(const CursorImage& cursor) {
    return QCursor(QPixmap::fromImage(ToQImage(cursor.Image)), cursor.HotSpotX, cursor.HotSpotY);
}

QIcon ToQIcon(std::span<const std::uint8_t> file) {
    QIcon icon;
    const QByteArray bytes(reinterpret_cast<const char*>(file.data()),
                           static_cast<qsizetype>(file.size()));
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "ico");
    if (reader.canRead()) {
        do {
            const QImage image = reader.read();
            if (!image.isNull()) {
                icon.addPixmap(QPixmap::fromImage(image));
            }
        } while (reader.jumpToNextImage());
    }
    return icon;
}

void ReportUnhandled(const char* what) noexcept {
    qCritical("ponderix: an event handler ended with an error: %s", what);
}

}  // namespace ponderix::platform::qt

