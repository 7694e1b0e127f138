#include "platform/qt/QtFonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/qt/QtConversions.h"

namespace ponderix::platform::qt {

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

}  // namespace ponderix::platform::qt
