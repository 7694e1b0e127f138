// What the Qt backend draws alike for every control: the borders of the
// layouts, and a picture at its natural size on the screen's own pixels.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>

#include "platform/Layout.h"
#include "platform/Picture.h"

class QPainter;
class QPalette;

namespace ponderix::platform::qt {

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

// The sunken client edge: a grey and white outer ring, a black and light grey
// inner one, as the palette's dark and light, shadow and midlight.
void SetSunkenEdgeColours(QPalette& palette);
// Draws the border inside the rectangle and returns what is left inside it.
QRect DrawBorder(QPainter& painter, const QRect& rect, Border border);
// The width of the border on each side.
int BorderWidth(Border border);

}  // namespace ponderix::platform::qt
