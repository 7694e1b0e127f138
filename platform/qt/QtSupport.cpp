#include "platform/qt/QtSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <cmath>
#include <vector>

#include "platform/Error.h"

namespace ponderix::platform::qt {
namespace {

// Bounds-checked little-endian reads of a file held in memory.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_Bytes(bytes) {}

    std::uint8_t U8(std::uint64_t at) const { return m_Bytes[Index(at, 1)]; }
    std::uint16_t U16(std::uint64_t at) const {
        const std::size_t i = Index(at, 2);
        return static_cast<std::uint16_t>(m_Bytes[i] | (m_Bytes[i + 1] << 8));
    }
    std::uint32_t U32(std::uint64_t at) const {
        const std::size_t i = Index(at, 4);
        return static_cast<std::uint32_t>(m_Bytes[i]) |
               (static_cast<std::uint32_t>(m_Bytes[i + 1]) << 8) |
               (static_cast<std::uint32_t>(m_Bytes[i + 2]) << 16) |
               (static_cast<std::uint32_t>(m_Bytes[i + 3]) << 24);
    }
    std::int32_t I32(std::uint64_t at) const { return static_cast<std::int32_t>(U32(at)); }
    Reader Sub(std::uint64_t at, std::uint64_t size) const {
        return Reader(m_Bytes.subspan(Index(at, size), static_cast<std::size_t>(size)));
    }

private:
    std::size_t Index(std::uint64_t at, std::uint64_t size) const {
        if (at > m_Bytes.size() || size > m_Bytes.size() - at) {
            throw PlatformError("ICO: the file is cut short");
        }
        return static_cast<std::size_t>(at);
    }

    std::span<const std::uint8_t> m_Bytes;
};

std::uint64_t RowStride(std::uint64_t width, unsigned bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

void FillRect(QPainter& painter, int left, int top, int width, int height, const QColor& colour) {
    if (width > 0 && height > 0) {
        painter.fillRect(left, top, width, height, colour);
    }
}

// One ring of a three-dimensional edge: top and left in one colour, bottom and
// right in the other (the corners top-right and bottom-left go to the latter).
void DrawRing(QPainter& painter, const QRect& rect, const QColor& topLeft,
              const QColor& bottomRight) {
    const int x = rect.left();
    const int y = rect.top();
    const int w = rect.width();
    const int h = rect.height();
    FillRect(painter, x, y, w - 1, 1, topLeft);
    FillRect(painter, x, y, 1, h - 1, topLeft);
    FillRect(painter, x, y + h - 1, w, 1, bottomRight);
    FillRect(painter, x + w - 1, y, 1, h, bottomRight);
}

}  // namespace

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
    if (icon.isNull()) {
        icon.addPixmap(QPixmap::fromImage(ToQImage(FirstIconImage(file))));
    }
    return icon;
}

Bitmap FirstIconImage(std::span<const std::uint8_t> file) {
    const Reader bytes(file);
    if (bytes.U16(0) != 0 || bytes.U16(2) != 1 || bytes.U16(4) == 0) {
        throw PlatformError("ICO: not an icon file");
    }
    // The 32 x 32 entry with the most colours; the first entry when there is none.
    const unsigned count = bytes.U16(4);
    unsigned chosen = 0;
    int chosenBits = -1;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint64_t entry = 6 + 16 * std::uint64_t{i};
        const int bits = bytes.U16(entry + 6);
        if (bytes.U8(entry) == 32 && bytes.U8(entry + 1) == 32 && bits > chosenBits) {
            chosen = i;
            chosenBits = bits;
        }
    }
    const std::uint64_t entry = 6 + 16 * std::uint64_t{chosen};
    const Reader dib = bytes.Sub(bytes.U32(entry + 12), bytes.U32(entry + 8));

    const std::uint32_t headerSize = dib.U32(0);
    const std::int32_t width = dib.I32(4);
    const std::int32_t height = dib.I32(8) / 2;  // colour rows, then mask rows
    const unsigned bitCount = dib.U16(14);
    const std::uint32_t compression = dib.U32(16);
    if (headerSize < 40 || width <= 0 || width > 256 || height <= 0 || height > 256 ||
        compression != 0) {
        throw PlatformError("ICO: the image header does not add up");
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        throw PlatformError("ICO: unsupported colour depth");
    }
    std::uint64_t at = headerSize;
    std::uint64_t paletteEntries = 0;
    if (bitCount <= 8) {
        const std::uint32_t used = dib.U32(32);
        paletteEntries = used == 0 ? (1u << bitCount) : used;
    }
    const Reader palette = dib.Sub(at, paletteEntries * 4);
    at += paletteEntries * 4;
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    const std::uint64_t colourStride = RowStride(w, bitCount);
    const Reader colours = dib.Sub(at, colourStride * h);
    at += colourStride * h;
    const std::uint64_t maskStride = RowStride(w, 1);
    const Reader mask = dib.Sub(at, maskStride * h);

    Bitmap bitmap;
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.Pixels.resize(static_cast<std::size_t>(w * h));
    for (std::uint64_t y = 0; y < h; ++y) {
        const std::uint64_t row = (h - 1 - y) * colourStride;  // rows are stored bottom-up
        const std::uint64_t maskRow = (h - 1 - y) * maskStride;
        for (std::uint64_t x = 0; x < w; ++x) {
            std::uint32_t argb = 0;
            if (bitCount <= 8) {
                const std::uint64_t bit = x * bitCount;
                const unsigned byte = colours.U8(row + bit / 8);
                const unsigned shift = 8 - bitCount - static_cast<unsigned>(bit % 8);
                const unsigned index = (byte >> shift) & ((1u << bitCount) - 1);
                if (index >= paletteEntries) {
                    throw PlatformError("ICO: a pixel names a colour the palette lacks");
                }
                argb = 0xFF000000u | (palette.U32(std::uint64_t{index} * 4) & 0x00FFFFFFu);
            } else if (bitCount == 24) {
                const std::uint64_t p = row + x * 3;
                argb = 0xFF000000u | (std::uint32_t{colours.U8(p + 2)} << 16) |
                       (std::uint32_t{colours.U8(p + 1)} << 8) | colours.U8(p);
            } else {
                argb = colours.U32(row + x * 4);
            }
            const bool transparent = ((mask.U8(maskRow + x / 8) >> (7 - x % 8)) & 1u) != 0;
            bitmap.Pixels[static_cast<std::size_t>(y * w + x)] = transparent ? 0u : argb;
        }
    }
    return bitmap;
}

void ReportUnhandled(const char* what) noexcept {
    qCritical("ponderix: an event handler ended with an error: %s", what);
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
            DrawRing(painter, rect, Qt::black, Qt::black);
            break;
        case Border::Sunken3D:
            // The sunken client edge: a grey and white outer ring, a black and
            // light grey inner one.
            DrawRing(painter, rect, QColor(128, 128, 128), QColor(255, 255, 255));
            DrawRing(painter, rect.adjusted(1, 1, -1, -1), QColor(0, 0, 0), QColor(227, 227, 227));
            break;
    }
    const int width = BorderWidth(border);
    return rect.adjusted(width, width, -width, -width);
}

}  // namespace ponderix::platform::qt
