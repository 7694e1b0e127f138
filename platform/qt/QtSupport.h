// What the Qt window system's pieces share: turning the layouts' colours, fonts,
// texts, pictures and rectangles into Qt's own, and the borders every control
// draws alike. Nothing here holds state.
//
// Implements:
// - [x] colours: RGB as is, system colours from the application's palette
// - [x] fonts: face, points at 96 dpi as a pixel size, weight, underline
// - [x] captions: CR and CR LF line breaks, "&&" for "&", a lone "&" dropped
// - [x] pictures: Bitmap -> QImage, cursors with their hot spot, program icons
//       (Qt's ICO reader, or our own reading of the 32 x 32 image without it)
// - [x] borders: the flat one-pixel line and the sunken three-dimensional edge
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Colour.h"
#include "platform/Layout.h"
#include "platform/Units.h"

class QPainter;

namespace ponderix::platform::qt {

QString ToQString(std::string_view text);
std::string ToUtf8(const QString& text);

QColor ToQColor(Colour colour);

// The pixel height of a font of that many points at 96 dots per inch, the
// resolution the layouts were drawn at: text keeps its size on any screen.
int FontPixelSize(float points);
QFont ToQFont(const FontSpec& font);

// The text a caption shows: both line breaks become '\n', "&&" shows as "&"
// and a lone "&" (a mnemonic marker) is dropped.
QString DisplayText(std::string_view caption);

QRect ToQRect(const WholePixelRect& rect);

// A copy of the pixels (0xAARRGGBB rows from the top) as an ARGB32 image.
QImage ToQImage(const Bitmap& bitmap);

QCursor ToQCursor(const CursorImage& cursor);

// The program icon from an .ico file: every image Qt's ICO reader finds, or,
// where that reader is missing, the 32 x 32 image read by FirstIconImage.
QIcon ToQIcon(std::span<const std::uint8_t> file);
// The 32 x 32 image of an .ico file (or else its first), uncompressed 1, 4, 8,
// 24 or 32 bits per pixel, transparent where the AND mask is set. Throws
// PlatformError for anything else.
Bitmap FirstIconImage(std::span<const std::uint8_t> file);

// Runs the program's handler for an event that comes from Qt's event loop. An
// error that ends the handler must not unwind through Qt, so it stops here and
// is reported on the standard error stream; the program goes on.
void ReportUnhandled(const char* what) noexcept;
template <typename Handler>
void FromEventLoop(Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        ReportUnhandled(error.what());
    } catch (...) {
        ReportUnhandled("an unknown error");
    }
}

// Draws the border inside the rectangle and returns what is left inside it.
QRect DrawBorder(QPainter& painter, const QRect& rect, Border border);
// The width of the border on each side.
int BorderWidth(Border border);

}  // namespace ponderix::platform::qt
