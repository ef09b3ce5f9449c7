#include "MyTabCtrl.h"

#include "lumora/AccessibleName.h"
#include "lumora/ButtonAccessible.h"
#include "lumora/CmdTarget.h"
#include "lumora/FocusRing.h"
#include "lumora/ResourceImage.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>

namespace {

constexpr int kTabHeight = 26;

}  // namespace

CMyTabCtrl::CMyTabCtrl(QWidget* parent) : QTabBar(parent)
{
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setFocusPolicy(Qt::StrongFocus);
    lumora::InstallButtonAccessibility();
    connect(this, &QTabBar::currentChanged, this, [this](int) {
        NMHDR notify{nullptr, 0, TCN_SELCHANGE};
        lumora::SendNotifyToOwner(this, notify);
    });
}

int CMyTabCtrl::InsertItem(int index, const QString& text, int imageId)
{
    const int at = insertTab(index, text);
    setTabData(at, imageId);
    setAccessibleTabName(at, text);
    lumora::UpdateAccessibleName(this, tabText(currentIndex()));
    return at;
}

void CMyTabCtrl::SetMinTabWidth(int pixels)
{
    m_minTabWidth = std::max(0, pixels);
    // The bar keeps the tab sizes it laid out; setting the elide mode is the
    // one public way to have it measure them again.
    setElideMode(Qt::ElideRight);
    updateGeometry();
    update();
}

QSize CMyTabCtrl::tabSizeHint(int index) const
{
    const QFontMetrics metrics(QApplication::font());
    int width = metrics.horizontalAdvance(tabText(index)) + 28;
    if (const int image = tabData(index).toInt())
        width += lumora::ResourceImageSize(image).width() + 2;
    return QSize(std::max(width, m_minTabWidth), kTabHeight);
}

// In a bar too short for every tab at its width (a narrow library at a large
// scale), the tabs share it down to a few letters each, their texts cut with
// an ellipsis, instead of the last ones running past the edge.
QSize CMyTabCtrl::minimumTabSizeHint(int index) const
{
    const QFontMetrics metrics(QApplication::font());
    const QString shortest = tabText(index).left(3) + QChar(0x2026);
    int width = metrics.horizontalAdvance(shortest) + 12;
    if (const int image = tabData(index).toInt())
        width += lumora::ResourceImageSize(image).width() + 2;
    const QSize full = tabSizeHint(index);
    return QSize(std::min(width, full.width()), full.height());
}

void CMyTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(QApplication::font());
    for (int i = 0; i < count(); ++i) {
        const bool selected = i == currentIndex() && isEnabled();
        const QRectF r = QRectF(tabRect(i)).adjusted(2, 0, -2, 0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(lumora::SkinColor(selected ? COLOR_TAB_CURITEM : COLOR_TAB_ITEM));
        // Rounded top corners, square where the tab meets its page.
        painter.save();
        painter.setClipRect(r);
        painter.drawRoundedRect(r.adjusted(0, 0, 0, 4), 3, 3);
        painter.restore();

        int textLeft = static_cast<int>(r.left()) + 4;
        if (const int image = tabData(i).toInt()) {
            const QSize size = lumora::ResourceImageSize(image);
            const QPixmap picture = lumora::LoadResourceImage(image, QStringLiteral("PNG"), size, devicePixelRatioF());
            painter.drawPixmap(textLeft, static_cast<int>(r.top()) + 3, picture);
            textLeft += size.width() + 2;
        }
        painter.setPen(lumora::SkinColor(i == currentIndex() ? COLOR_TAB_TEXT_H : COLOR_TAB_TEXT_L));
        const QRect textArea(textLeft, static_cast<int>(r.top()), static_cast<int>(r.right()) - textLeft, static_cast<int>(r.height()));
        const bool centred = !tabData(i).toInt();
        const QRect textRect = centred ? r.toRect().adjusted(4, 0, -4, 0) : textArea;
        const QString text = painter.fontMetrics().elidedText(tabText(i), Qt::ElideRight, textRect.width());
        painter.drawText(textRect, (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
                         text);
        // The keyboard moves the current tab (arrow keys): its ring shows where.
        if (selected && hasFocus())
            lumora::DrawFocusRing(painter, r, 3);
    }
}
