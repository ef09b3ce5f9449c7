#include "MultiViewPictures.h"

#include "formats/MultiViewTemplates.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace {

constexpr std::array<int, kMultiViewTemplateCount> kPictureIds = {442, 443, 444, 445, 437, 447,
                                                                  448, 449, 450, 446, 435, 236};

// A cell in picture coordinates: centre -1..1 (y upwards), size in canvas fractions.
QRectF CellRect(const MultiViewCell& cell, const QRectF& canvas)
{
    const double w = cell.zoomX * canvas.width();
    const double h = cell.zoomY * canvas.height();
    const double cx = canvas.center().x() + cell.x * canvas.width() / 2.0;
    const double cy = canvas.center().y() - cell.y * canvas.height() / 2.0;
    return QRectF(cx - w / 2.0, cy - h / 2.0, w, h);
}

QColor CellColour(int index)
{
    static const QColor colours[] = {QColor(0x3d, 0x8b, 0xfd), QColor(0x2f, 0xb5, 0x8a), QColor(0xf0, 0x9a, 0x3e),
                                     QColor(0xc0, 0x6b, 0xe0), QColor(0xe0, 0x5d, 0x6f), QColor(0x4c, 0xc2, 0xd6)};
    return colours[index % 6];
}

}  // namespace

int MultiViewPictureId(int templateIndex)
{
    return templateIndex >= 0 && templateIndex < kMultiViewTemplateCount ? kPictureIds[templateIndex] : 0;
}

QPixmap DrawMultiViewPicture(int templateIndex, QSize size, qreal devicePixelRatio)
{
    const MultiViewTemplate* layout = GetMultiViewTemplate(templateIndex);
    if (!layout || size.isEmpty())
        return {};
    QPixmap picture(size * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF canvas(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QPainterPath frame;
    frame.addRoundedRect(canvas, 3, 3);
    painter.fillPath(frame, QColor(0x1b, 0x1e, 0x24));
    painter.setClipPath(frame);

    // Cell 0 is the top layer: draw from the bottom up.
    const int count = static_cast<int>(std::min<uint32_t>(layout->count, 16));
    for (int i = count - 1; i >= 0; --i) {
        const QRectF cell = CellRect(layout->cells[i], canvas).adjusted(1.0, 1.0, -1.0, -1.0);
        const bool fullFrame = layout->cells[i].zoomX >= 0.999 && layout->cells[i].zoomY >= 0.999;
        QColor fill = fullFrame ? QColor(0x34, 0x3a, 0x46) : CellColour(i);
        fill.setAlpha(fullFrame ? 255 : 210);
        painter.setPen(QPen(fullFrame ? QColor(0x4a, 0x52, 0x60) : fill.lighter(140), 1.0));
        painter.setBrush(fill);
        painter.drawRoundedRect(cell, 2, 2);
    }
    painter.setClipping(false);
    painter.setPen(QPen(QColor(0x5a, 0x63, 0x73), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(frame);
    return picture;
}
