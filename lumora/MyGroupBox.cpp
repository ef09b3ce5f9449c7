#include "MyGroupBox.h"

#include "lumora/AccessibleName.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"

#include <QApplication>
#include <QPainter>

CMyGroupBox::CMyGroupBox(QWidget* parent) : CMyGroupBox(QString(), parent) {}

CMyGroupBox::CMyGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    setFont(QApplication::font());
    const int top = QFontMetrics(font()).height() + 4;
    setContentsMargins(8, top, 8, 8);
}

void CMyGroupBox::paintEvent(QPaintEvent*)
{
    lumora::UpdateAccessibleName(this, title());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled() && (!parentWidget() || parentWidget()->isEnabled());
    const QFontMetrics metrics(font());
    const int captionMid = metrics.height() / 2;
    const QRectF frame = QRectF(rect()).adjusted(0.5, captionMid + 0.5, -0.5, -0.5);
    const QColor border = enabled ? lumora::SkinColor(COLOR_GROUPBOX_BORDER) : lumora::SkinColor(COLOR_DLGTEXT_L).darker(150);
    const QString caption = title();
    const int captionWidth = caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption) + 8;

    // The frame stops either side of the caption.
    painter.save();
    QRegion clip(rect());
    if (captionWidth)
        clip -= QRegion(8, 0, captionWidth, metrics.height());
    painter.setClipRegion(clip);
    painter.setPen(QPen(border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame, 3, 3);
    painter.restore();

    if (captionWidth) {
        painter.setFont(font());
        painter.setPen(enabled ? lumora::SkinColor(COLOR_GROUPBOX_TEXT) : lumora::SkinColor(COLOR_DLGTEXT_L));
        painter.drawText(QRect(12, 0, captionWidth, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
}
