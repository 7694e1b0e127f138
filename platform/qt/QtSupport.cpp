#include "platform/qt/QtSupport.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "platform/Error.h"
#include "platform/LayoutSupport.h"

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

namespace {

// The pixel sizes a face has bitmaps drawn for (its EBLC table's strikes).
std::vector<int> BitmapSizes(const QRawFont& font) {
    const QByteArray table = font.fontTable("EBLC");
    std::vector<int> sizes;
    const auto byte = [&table](qsizetype at) { return static_cast<std::uint8_t>(table[at]); };
    if (table.size() < 8) {
        return sizes;
    }
    const auto count =
        static_cast<qsizetype>(byte(4) << 24 | byte(5) << 16 | byte(6) << 8 | byte(7));
    for (qsizetype i = 0; i < count && 8 + 48 * (i + 1) <= table.size(); ++i) {
        sizes.push_back(byte(8 + 48 * i + 45));  // ppemY of the strike
    }
    return sizes;
}

// Facts about a face that take a look into its files, kept once looked up.
struct FaceFacts {
    std::vector<int> BitmapSizes;
    LineShift Shift;
};

const FaceFacts& FactsOf(const QFont& font) {
    static std::map<std::tuple<QString, int, int>, FaceFacts> known;
    const auto key = std::make_tuple(font.family(), font.weight(), font.pixelSize());
    if (const auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    FaceFacts facts;
    const QRawFont raw = QRawFont::fromFont(font);
    if (raw.isValid()) {
        facts.BitmapSizes = BitmapSizes(raw);
        // OS/2: fsSelection at 62 (bit 7: use the typographic metrics), the
        // typographic ascender at 68, the Windows ascent and descent at 74, 76.
        const QByteArray os2 = raw.fontTable("OS/2");
        const QByteArray head = raw.fontTable("head");
        const auto u16 = [](const QByteArray& table, qsizetype at) {
            return static_cast<int>(static_cast<std::uint8_t>(table[at]) << 8 |
                                    static_cast<std::uint8_t>(table[at + 1]));
        };
        if (os2.size() >= 78 && head.size() >= 20 && (u16(os2, 62) & 0x80) != 0) {
            const int unitsPerEm = u16(head, 18);
            const QFontMetrics metrics(font);
            const auto pixels = [&](int units) {
                return static_cast<int>(
                    std::lround(static_cast<double>(units) * font.pixelSize() / unitsPerEm));
            };
            const int ascent = pixels(u16(os2, 74));
            const int descent = pixels(u16(os2, 76));
            if (unitsPerEm > 0 && ascent > metrics.ascent()) {
                facts.Shift = {ascent - metrics.ascent(),
                               std::max(0, ascent + descent - metrics.height())};
            }
        }
    }
    return known.emplace(key, std::move(facts)).first->second;
}

bool IsWineBitmapFace(std::string_view face) {
    return face == "Tahoma" || face == "MS Sans Serif";
}

}  // namespace

QFont ToQFont(const FontSpec& font, qreal ratio) {
    QFont qfont;
    // No face: the standard dialog font of Windows.
    const std::string_view face = font.Face.empty() ? std::string_view("MS Sans Serif") : font.Face;
    qfont.setFamilies({ToQString(face)});
    qfont.setPixelSize(FontPixelSize(font.Points));
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 1, 1000)));
    qfont.setUnderline(font.Underline);
    qfont.setItalic(false);
    // Wine's Tahoma and MS Sans Serif carry bitmaps drawn for small sizes; only
    // unsmoothed text uses them, and smoothed, Tahoma's bold looks regular.
    // On a scaled screen no bitmap fits: there the outlines, smoothed; and as
    // MS Sans Serif has no outlines to speak of (it shows its smallest bitmap
    // at every size), its place is taken there by Tahoma, as Windows gives
    // dialogs Tahoma for it.
    if (face == "MS Sans Serif" && ratio != 1) {
        qfont.setFamilies({QStringLiteral("Tahoma"), ToQString(face)});
    }
    if (IsWineBitmapFace(face) && ratio == 1) {
        qfont.setStyleStrategy(QFont::NoAntialias);
        const std::vector<int>& sizes = FactsOf(qfont).BitmapSizes;
        if (std::find(sizes.begin(), sizes.end(), qfont.pixelSize()) != sizes.end()) {
            // Each glyph advances by its bitmap's width, not its outline's.
            qfont.setHintingPreference(QFont::PreferFullHinting);
        }
    }
    return qfont;
}

LineShift WindowsLineShift(const QFont& font) {
    return font.pixelSize() > 0 ? FactsOf(font).Shift : LineShift{};
}

bool DrawsBoldThin(const QFont& font) {
    if (font.weight() < QFont::Bold) {
        return false;
    }
    static std::map<QString, bool> known;
    if (const auto found = known.find(font.family()); found != known.end()) {
        return found->second;
    }
    // The ink of a capital in the bold face against the regular one's, both
    // drawn from their outlines, large.
    const auto ink = [&font](QFont::Weight weight) {
        QFont large(font);
        large.setPixelSize(48);
        large.setWeight(weight);
        large.setStyleStrategy(QFont::PreferAntialias);
        const QRawFont raw = QRawFont::fromFont(large);
        const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("H"));
        if (glyphs.isEmpty()) {
            return 0.0;
        }
        const QImage mask = raw.alphaMapForGlyph(glyphs.front(), QRawFont::PixelAntialiasing)
                                .convertToFormat(QImage::Format_Alpha8);
        double sum = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                sum += qAlpha(mask.pixel(x, y)) / 255.0;
            }
        }
        return sum;
    };
    const double regular = ink(QFont::Normal);
    const bool thin = regular > 0 && ink(QFont::Bold) < 1.15 * regular;
    known.emplace(font.family(), thin);
    return thin;
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

void ShownPicture::Draw(QPainter& painter, QPointF at, const Picture& picture, bool opaque) {
    if (picture.IsEmpty()) {
        return;
    }
    const qreal ratio = painter.device()->devicePixelRatioF();
    const auto scale = static_cast<float>(ratio);
    const QTransform toDevice = painter.deviceTransform();
    const QPointF origin = toDevice.map(at);
    const WholePixelRect area =
        PictureArea(picture, scale, static_cast<float>(origin.x()), static_cast<float>(origin.y()));
    if (!(picture == m_Of) || scale != m_Scale || opaque != m_Opaque ||
        m_Image.width() != area.Width || m_Image.height() != area.Height) {
        ScaledPicture scaled;
        m_Image = ToQImage(scaled.Pixels(picture, scale, area.Width, area.Height));
        if (opaque) {
            m_Image = std::move(m_Image).convertToFormat(QImage::Format_RGB32);
        }
        m_Image.setDevicePixelRatio(ratio);
        m_Of = picture;
        m_Scale = scale;
        m_Opaque = opaque;
    }
    // At the device pixel where the area begins: an image of the device's
    // pixel ratio then lies on the device's pixels one to one.
    painter.drawImage(toDevice.inverted().map(QPointF(area.Left, area.Top)), m_Image);
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
        case Border::FlatSingle: {
            // A pixel wide on each side, filled to the very edge on a screen
            // of any scale (a drawn line would be centred on a pixel's edge).
            const QColor black(Qt::black);
            painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), black);
            painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), black);
            painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), black);
            painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), black);
            break;
        }
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
