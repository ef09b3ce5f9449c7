#include "MySplitWnd.h"

#include "lumora/AccessibleName.h"
#include "lumora/CmdTarget.h"
#include "lumora/ControlId.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"
#include "lumora/WinColor.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr uint32_t kTrackerColor = 0xD05050;

}  // namespace

CMySplitWnd::CMySplitWnd(QWidget* parent) : QWidget(parent)
{
    SetOrientation(Vertical);
    setAccessibleName(QStringLiteral("Splitter"));
}

bool CMySplitWnd::Create(unsigned, const QRect& rect, QWidget* parent, int id)
{
    if (!parent)
        return false;
    setParent(parent);
    lumora::SetControlId(this, id);
    const bool vertical = rect.height() > rect.width();
    SetOrientation(vertical ? Vertical : Horizontal);
    if (vertical)
        setGeometry(rect.x(), rect.y(), kThickness, rect.height());
    else
        setGeometry(rect.x(), rect.y(), rect.width(), kThickness);
    m_min = m_max = Position();
    show();
    return true;
}

void CMySplitWnd::SetOrientation(int orientation)
{
    m_orientation = orientation;
    setCursor(orientation == Vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
}

void CMySplitWnd::SetRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum;
}

int CMySplitWnd::Position() const { return m_orientation == Vertical ? x() : y(); }

// The range, further kept inside the parent; when nothing is left the bar
// does not move.
int CMySplitWnd::ClampedPosition(int pointer) const
{
    int low = m_min, high = m_max;
    if (QWidget* parent = parentWidget()) {
        const int extent = m_orientation == Vertical ? parent->width() - width() : parent->height() - height();
        low = std::max(low, 0);
        high = std::min(high, extent);
    }
    if (low > high)
        return Position();
    return std::clamp(pointer, low, high);
}

int CMySplitWnd::PointerPosition(const QMouseEvent* event) const
{
    const QPoint inParent = mapToParent(event->position().toPoint());
    return (m_orientation == Vertical ? inParent.x() : inParent.y()) - m_grabOffset;
}

// A separate tracking bar shown over the window during the drag took the
// pointer's events from the bar on X11 (the bar never saw the move or the
// release); the bar itself follows the pointer instead, drawn in the
// tracker's colour.
void CMySplitWnd::TrackTo(int position)
{
    if (m_orientation == Vertical)
        move(position, y());
    else
        move(x(), position);
    raise();
    update();
}

void CMySplitWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_dragging = true;
    m_start = Position();
    const QPoint p = event->position().toPoint();
    m_grabOffset = m_orientation == Vertical ? p.x() : p.y();
    TrackTo(ClampedPosition(PointerPosition(event)));
}

void CMySplitWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        TrackTo(ClampedPosition(PointerPosition(event)));
}

void CMySplitWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    const int target = ClampedPosition(PointerPosition(event));
    TrackTo(target);
    const int delta = target - m_start;
    NMSPLITWND notify{{nullptr, 0, NM_SPLITMOVED}, delta};
    lumora::SendNotifyToOwner(this, notify.hdr);
    emit Moved(delta);
}

void CMySplitWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_dragging ? lumora::QColorFromColorRef(kTrackerColor) : lumora::SkinColor(COLOR_SPLITBK));
}

void CMySplitWnd::ChangeWidth(QWidget* window, int pixels, int mode)
{
    if (!window)
        return;
    QRect g = window->geometry();
    switch (mode) {
    case SideRight:
        g.setRight(std::max(g.left() - 1, g.right() + pixels));
        break;
    case SideLeft:
        g.setLeft(std::min(g.right() + 1, g.left() - pixels));
        break;
    case SideBoth:
        g.translate(-pixels, 0);
        break;
    default:
        return;
    }
    window->setGeometry(g);
}
