// The layouts' fonts as Qt draws them, set as Windows sets them: points become
// pixels at 96 dots per inch, and Wine's Tahoma and MS Sans Serif, which the
// program borrows, draw from their bitmaps where Windows would.
#pragma once

#include <QFont>

#include "platform/Layout.h"

namespace ponderix::platform::qt {

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

}  // namespace ponderix::platform::qt
