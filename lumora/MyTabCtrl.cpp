#include "MyTabCtrl.h"

#include "lumora/AccessibleName.h"
#include "lumora/ButtonAccessible.h"
#include "lumora/CmdTarget.h"
#include "lumora/FocusRing.h"
#include "lumora/ResourceImage.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"

#include <QApplication>
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

QSize CMyTabCtrl::minimumTabSizeHint(int index) const { return tabSizeHint(index); }

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
        painter.drawText(centred ? r.toRect() : textArea,
                         (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine, tabText(i));
        // The keyboard moves the current tab (arrow keys): its ring shows where.
        if (selected && hasFocus())
            lumora::DrawFocusRing(painter, r, 3);
    }
}
