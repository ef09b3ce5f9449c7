#include "LibraryButtonIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

constexpr int kSize = 24;

QIcon Drawn(const std::function<void(QPainter&)>& draw)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        for (bool active : {true, false}) {
            QPixmap pixmap(kSize * scale, kSize * scale);
            pixmap.setDevicePixelRatio(scale);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(active ? QColor(215, 218, 222) : QColor(110, 112, 116), 1.8, Qt::SolidLine,
                                Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            draw(painter);
            painter.end();
            icon.addPixmap(pixmap, active ? QIcon::Normal : QIcon::Disabled);
        }
    }
    return icon;
}

}  // namespace

QIcon LibraryRefreshIcon()
{
    return Drawn([](QPainter& p) {
        const QRectF ring(6, 6, 12, 12);
        p.drawArc(ring, 60 * 16, 290 * 16);
        QPainterPath head;
        head.moveTo(15.2, 3.6);
        head.lineTo(18.6, 7.4);
        head.lineTo(13.6, 8.6);
        p.drawPath(head);
    });
}

QIcon LibraryRemoveIcon()
{
    return Drawn([](QPainter& p) {
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 3, 3);
        p.drawLine(QPointF(9, 12), QPointF(15, 12));
    });
}

QIcon LibraryViewToggleIcon(bool rowsShown)
{
    return Drawn([rowsShown](QPainter& p) {
        if (rowsShown) {
            // Show icons next: four tiles.
            for (int x : {5, 13})
                for (int y : {5, 13})
                    p.drawRoundedRect(QRectF(x, y, 6, 6), 1.5, 1.5);
        } else {
            // Show rows next: three lines with bullets.
            for (int y : {7, 12, 17}) {
                p.drawPoint(QPointF(6, y));
                p.drawLine(QPointF(9, y), QPointF(19, y));
            }
        }
    });
}
