#include "tools/make_assets/Lettering.h"

#include <QtGui/QGlyphRun>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QRawFont>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace ponderix::tools {

namespace {

QRawFont LoadFont(const std::string& path, double pixelSize,
                  QFont::HintingPreference hinting = QFont::PreferVerticalHinting) {
    // Vertical hinting puts the baseline and the tops of the capitals on whole
    // pixels, which keeps small lettering sharp without distorting its widths.
    QRawFont font(QString::fromStdString(path), pixelSize, hinting);
    if (!font.isValid()) {
        throw std::runtime_error("cannot load the font " + path);
    }
    return font;
}

QGlyphRun GlyphRun(const QRawFont& font, const QString& text) {
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances =
        font.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances | QRawFont::UseDesignMetrics);
    QList<QPointF> positions;
    QPointF pen;
    for (const QPointF& advance : advances) {
        positions.push_back(pen);
        pen += advance;
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}

double TextWidth(const QRawFont& font, const QString& text) {
    return GlyphRun(font, text).boundingRect().width();
}

// The text in white on a transparent image, its baseline at (pad, baseline).
QImage RenderWhite(const QRawFont& font, const QString& text, int pad) {
    const double size = font.pixelSize();
    const int width = static_cast<int>(std::ceil(TextWidth(font, text) + 2 * pad));
    const int height = static_cast<int>(std::ceil(size * 2 + 2 * pad));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::white);
    painter.drawGlyphRun(QPointF(pad, pad + size * 1.5), GlyphRun(font, text));
    painter.end();
    return image;
}

// Rows in which some pixel is at least half covered.
int InkedRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 128) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

void DrawText(QPainter& painter, const QRawFont& font, QPointF baseline, const QString& text,
              const QColor& colour) {
    painter.setPen(colour);
    painter.drawGlyphRun(baseline, GlyphRun(font, text));
}

}  // namespace

Coverage Lettering(const Fonts& fonts, const std::string& text, int capHeight) {
    const double capPerPixel = LoadFont(fonts.SansBold, 100).capHeight() / 100;
    // The size whose capitals are that tall by the font's own measure; where
    // hinting then rounds them to another height, the nearest size (in steps
    // of a tenth of a pixel) whose capitals do come out so tall. Some heights
    // vertical hinting never gives (21 pixels of Liberation Sans Bold): those
    // are set unhinted.
    const double nominal = capHeight / capPerPixel;
    QRawFont font;
    for (const auto hinting : {QFont::PreferVerticalHinting, QFont::PreferNoHinting}) {
        for (int step = 0; step <= 20 && !font.isValid(); ++step) {
            for (const double size : {nominal - step / 10.0, nominal + step / 10.0}) {
                const QRawFont candidate = LoadFont(fonts.SansBold, size, hinting);
                if (InkedRows(RenderWhite(candidate, QStringLiteral("H"), 4)) == capHeight) {
                    font = candidate;
                    break;
                }
            }
        }
    }
    if (!font.isValid()) {
        throw std::runtime_error("the capitals do not come out " + std::to_string(capHeight) +
                                 " pixels tall");
    }
    const QImage image = RenderWhite(font, QString::fromStdString(text), 4);
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        throw std::runtime_error("the lettering inks nothing");
    }
    Coverage coverage{right - left + 1, bottom - top + 1, {}};
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            coverage.Values.push_back(static_cast<std::uint8_t>(qAlpha(image.pixel(x, y))));
        }
    }
    return coverage;
}

Canvas Banner(const Fonts& fonts, double scale) {
    constexpr int Width = 375;
    constexpr int Height = 60;
    const int width = ScaledSize(Width, scale);
    const int height = ScaledSize(Height, scale);
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(10, 34, 64));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The shapes are drawn in the banner's own units; the lettering is set at
    // its size on this screen, at the scaled places.
    const double across = static_cast<double>(width) / Width;
    const double down = static_cast<double>(height) / Height;
    if (scale != 1) {
        painter.scale(across, down);
    }

    // Deep blue on the left to a sea blue on the right, with a hairline of light
    // along the top and of shadow along the bottom.
    QLinearGradient sky(0, 0, Width, 0);
    sky.setColorAt(0, QColor(10, 34, 64));
    sky.setColorAt(1, QColor(0, 92, 138));
    painter.fillRect(0, 0, Width, Height, sky);
    painter.fillRect(0, 0, Width, 1, QColor(255, 255, 255, 60));
    painter.fillRect(0, Height - 1, Width, 1, QColor(0, 0, 0, 90));

    // The mark: a mountain lake (a tarn) in a white disc: two peaks and three
    // bands of water.
    const QPointF centre(32, 30);
    const double radius = 22;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, radius, radius);
    QPainterPath disc;
    disc.addEllipse(centre, radius - 3, radius - 3);
    painter.setClipPath(disc);
    painter.setBrush(QColor(0, 130, 191));
    painter.drawEllipse(centre, radius - 3, radius - 3);
    QPainterPath farPeak;
    farPeak.moveTo(24, 34);
    farPeak.lineTo(38, 15);
    farPeak.lineTo(54, 34);
    farPeak.closeSubpath();
    painter.setBrush(QColor(150, 210, 238));
    painter.drawPath(farPeak);
    QPainterPath nearPeak;
    nearPeak.moveTo(8, 34);
    nearPeak.lineTo(24, 19);
    nearPeak.lineTo(40, 34);
    nearPeak.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(nearPeak);
    painter.setBrush(QColor(10, 34, 64));
    painter.drawRect(QRectF(0, 34, 64, 30));
    painter.setBrush(QColor(0, 160, 220));
    painter.drawRect(QRectF(17, 38, 30, 2.5));
    painter.drawRect(QRectF(21, 43, 22, 2.5));
    painter.drawRect(QRectF(26, 48, 12, 2.5));
    painter.setClipping(false);
    painter.resetTransform();

    const QRawFont name = LoadFont(fonts.SansBold, 30 * scale);
    const QRawFont small = LoadFont(fonts.SansRegular, 12 * scale);
    const auto at = [&](double x, double y) { return QPointF(x * across, y * down); };
    DrawText(painter, name, at(66, 33), QStringLiteral("Tarnwick"), Qt::white);
    DrawText(painter, small, at(68, 50), QStringLiteral("Software you can count on"),
             QColor(170, 220, 245));
    const QString site = QStringLiteral("tarnwick.example");
    DrawText(painter, small, QPointF(width - 12 * across - TextWidth(small, site), 50 * down), site,
             QColor(255, 255, 255, 200));
    painter.end();

    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            canvas.Set(x, y, image.pixel(x, y) | 0xFF000000u);
        }
    }
    return canvas;
}

}  // namespace ponderix::tools
