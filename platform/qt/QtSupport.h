// What the Qt backend's pieces share: the layouts' colours, fonts, captions,
// pictures and rectangles turned into Qt's own, the borders every control
// draws alike, and the guard around the program's event handlers. Nothing
// here holds state. Where Windows answers from the system (its colours, its
// dialog font, DrawText's line breaks and "&" marks), Qt is given the same
// here: system colours come from the application's palette, points become
// pixels at 96 dots per inch, and a caption is resolved before it is drawn.
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

// The pixel height of a font of that many points at 96 dots per inch, the
// resolution the layouts were drawn at: text keeps its size on any screen.
int FontPixelSize(float points);

// The font of a layout for a screen whose device pixels are `ratio` to Qt's
// (logical) pixel. Wine's Tahoma and MS Sans Serif carry bitmaps drawn for
// small sizes, which only unsmoothed text uses: at 1:1 they draw unsmoothed
// as on Windows, each glyph advancing by its bitmap's own width where the
// face has a bitmap for that size (so that no gap opens after a wide
// letter); on a scaled screen, where no bitmap fits, they draw smoothed, and
// Tahoma stands in for MS Sans Serif, whose outlines Wine leaves empty.
QFont ToQFont(const FontSpec& font, qreal ratio = 1);

// How Windows sets a line of the font, where Qt would set it otherwise: a
// face that asks for its typographic metrics (Wine's Tahoma) is set by
// Windows from its Windows metrics, with a taller ascent. In the font's
// pixels; both zero where Qt and Windows agree.
struct LineShift {
    int Down = 0;    // the first baseline lies that much lower
    int Taller = 0;  // a line is that much taller
};
LineShift WindowsLineShift(const QFont& font);

// Whether the face's bold is no heavier than its regular face where it is
// drawn from its outlines (Wine's Tahoma keeps its bold only in its bitmaps
// for small sizes): bold text in it is then made bold by drawing it twice,
// side by side, as Windows makes bold a face that has none.
bool DrawsBoldThin(const QFont& font);

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

// A picture as one widget shows it at natural size: on a screen whose device
// pixels are not Qt's own, the set drawn nearest that scale, on the whole
// device pixels the natural size covers there (PictureArea), pixel for pixel,
// never smoothed. Keeps what it made for the screen it drew on last.
class ShownPicture {
public:
    // Draws the picture with its top-left corner at `at` (the painter's
    // coordinates); `opaque`: its colours only, as a bit block transfer
    // copies them. Nothing for an empty picture.
    void Draw(QPainter& painter, QPointF at, const Picture& picture, bool opaque = false);

private:
    QImage m_Image;
    // What m_Image shows: the picture, on a screen of that scale, that size.
    Picture m_Of;
    float m_Scale = 0;
    bool m_Opaque = false;
};

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

// The sunken client edge: a grey and white outer ring, a black and light grey
// inner one, as the palette's dark and light, shadow and midlight.
void SetSunkenEdgeColours(QPalette& palette);
// Draws the border inside the rectangle and returns what is left inside it.
QRect DrawBorder(QPainter& painter, const QRect& rect, Border border);
// The width of the border on each side.
int BorderWidth(Border border);

}  // namespace ponderix::platform::qt
