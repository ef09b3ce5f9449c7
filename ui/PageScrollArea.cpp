#include "PageScrollArea.h"

#include "ui/EditorPageStyle.h"

#include <QChildEvent>
#include <QEvent>
#include <algorithm>

namespace {

constexpr int kBottomMargin = 12;

}  // namespace

CPageScrollArea::CPageScrollArea(QWidget* page, int rowsWidth, QWidget* parent)
    : QScrollArea(parent), m_page(page), m_rowsWidth(rowsWidth)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setStyleSheet(EditorScrollBarStyleSheet());
    setPalette(page->palette());
    setWidget(page);
    page->installEventFilter(this);
    for (QObject* child : page->children())
        Watch(child);
    UpdatePageHeight();
}

void CPageScrollArea::Watch(QObject* child)
{
    if (child->isWidgetType())
        child->installEventFilter(this);
}

int CPageScrollArea::ContentHeight() const
{
    int bottom = 0;
    for (QWidget* child : m_page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden())
            bottom = std::max(bottom, child->geometry().bottom() + 1);
    }
    return bottom + kBottomMargin;
}

void CPageScrollArea::UpdatePageHeight()
{
    if (m_updating)
        return;
    m_updating = true;
    m_page->setMinimumSize(m_rowsWidth, ContentHeight());
    m_updating = false;
}

bool CPageScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched == m_page)
            Watch(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched != m_page)
            UpdatePageHeight();
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}
