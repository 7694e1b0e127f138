#include "platform/qt/QtDrawing.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QPalette>
#include <QTransform>

#include "platform/qt/QtConversions.h"

namespace ponderix::platform::qt {

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
