#include "platform/qt/QtSupport.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <cmath>

#include "platform/Error.h"

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

int FontPixelSize(float points) {
    return std::max(1, static_cast<int>(std::lround(points * 96.0f / 72.0f)));
}

QFont ToQFont(const FontSpec& font) {
    QFont qfont;
    // No face: the standard dialog font of Windows.
    const std::string_view face = font.Face.empty() ? std::string_view("MS Sans Serif") : font.Face;
    qfont.setFamilies({ToQString(face)});
    // Wine's Tahoma and MS Sans Serif carry bitmaps drawn for small sizes; only
    // unsmoothed text uses them, and smoothed, Tahoma's bold looks regular.
    if (face == "Tahoma" || face == "MS Sans Serif") {
        qfont.setStyleStrategy(QFont::NoAntialias);
    }
    qfont.setPixelSize(FontPixelSize(font.Points));
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 1, 1000)));
    qfont.setUnderline(font.Underline);
    qfont.setItalic(false);
    return qfont;
}

QString DisplayText(std::string_view caption) {
    const QString text = ToQString(caption);
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            shown += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (c == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
        } else {
            shown += c;
        }
    }
    return shown;
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

QImage ToQImage(const Picture& picture) {
    return picture.IsEmpty() ? QImage() : ToQImage(picture.Pixels());
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

void SetSunkenEdgeColours(QPalette& palette) {
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::Light, QColor(255, 255, 255));
    palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
    palette.setColor(QPalette::Midlight, QColor(227, 227, 227));
}

int BorderWidth(Border border) {
    switch (border) {
        case Border::None:
            return 0;
        case Border::FlatSingle:
            return 1;
        case Border::Sunken3D:
            return 2;
    }
    return 0;
}

QRect DrawBorder(QPainter& painter, const QRect& rect, Border border) {
    switch (border) {
        case Border::None:
            break;
        case Border::FlatSingle:
            painter.setPen(Qt::black);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
            break;
        case Border::Sunken3D: {
            QPalette palette;
            SetSunkenEdgeColours(palette);
            qDrawWinPanel(&painter, rect, palette, true);
            break;
        }
    }
    const int width = BorderWidth(border);
    return rect.adjusted(width, width, -width, -width);
}

}  // namespace ponderix::platform::qt
