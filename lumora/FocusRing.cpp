#include "FocusRing.h"

#include <QPainter>

namespace lumora {

QColor FocusRingColor() { return QColor(0x5A, 0xAA, 0xF0); }

void DrawFocusRing(QPainter& painter, const QRectF& area, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FocusRingColor(), 2.0));
    painter.drawRoundedRect(area.adjusted(1.0, 1.0, -1.0, -1.0), radius, radius);
    painter.restore();
}

}  // namespace lumora
