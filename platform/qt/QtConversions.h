// What the Qt backend's pieces share: the layouts' colours, captions, keys,
// pictures and rectangles turned into Qt's own, and the guard around the
// program's event handlers. Nothing here holds state. Where Windows answers
// from the system (its colours, DrawText's line breaks and "&" marks), Qt is
// given the same here: system colours come from the application's palette,
// and a caption is resolved before it is drawn. Fonts are QtFonts.h's, borders
// and pictures on the screen QtDrawing.h's.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Colour.h"
#include "platform/Controls.h"
#include "platform/Layout.h"
#include "platform/Picture.h"
#include "platform/Units.h"

class QPainter;
class QPalette;
class QWidget;

namespace ponderix::platform::qt {

// A window or control's handle is its widget's address.
inline WindowHandle HandleOf(const QWidget* widget) {
    return reinterpret_cast<WindowHandle>(widget);
}
inline QWidget* WidgetOf(WindowHandle handle) {
    return reinterpret_cast<QWidget*>(handle);
}

QString ToQString(std::string_view text);
std::string ToUtf8(const QString& text);

QColor ToQColor(Colour colour);

// The text a caption shows: both line breaks become '\n', "&&" shows as "&"
// and a lone "&" (a mnemonic marker) is dropped.
QString DisplayText(std::string_view caption);

Qt::Alignment HorizontalAlignment(Alignment alignment);

// Shift, Ctrl and Alt held, as ShiftState adds them up.
std::int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers);
// A key as KeyCode numbers it (Return, Escape, Space, F1 to F12; the keypad's
// Enter is Return); 0 for every other key.
std::int16_t KeyCodeOf(int qtKey);
// The Qt key of a KeyCode, for the tests that press keys; 0 for none.
int QtKeyOf(std::int16_t keyCode);
QRect ToQRect(const WholePixelRect& rect);

// A copy of the pixels (0xAARRGGBB rows from the top) as an ARGB32 image.
QImage ToQImage(const Bitmap& bitmap);

QCursor ToQCursor(const CursorImage& cursor);

// The program icon from an .ico file: every image Qt's ICO reader (the image
// format plugin that comes with Qt's GUI library) finds in it.
QIcon ToQIcon(std::span<const std::uint8_t> file);

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

}  // namespace ponderix::platform::qt
