#include "Label.h"

#include "lumora/AccessibleName.h"
#include "lumora/ButtonAccessible.h"
#include "lumora/CmdTarget.h"
#include "lumora/FocusRing.h"
#include "lumora/ShellOpen.h"
#include "lumora/Skin.h"
#include "lumora/WinColor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr unsigned STN_CLICKED = 0;
constexpr qreal kRingCorner = 2.0;

}  // namespace

CLabel::CLabel(QWidget* parent) : CLabel(QString(), parent) {}

CLabel::CLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_textColor(static_cast<uint32_t>(CSkin::GetValue(COLOR_DLGTEXT_H)))
{
    setFont(QApplication::font());
    setAttribute(Qt::WA_TranslucentBackground);
    lumora::InstallButtonAccessibility();
}

CLabel& CLabel::SetText(const QString& text)
{
    setText(text);
    update();
    return *this;
}

CLabel& CLabel::SetTextColor(uint32_t color)
{
    m_textColor = color;
    update();
    return *this;
}

CLabel& CLabel::SetFontUnderline(bool underline)
{
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
    update();
    return *this;
}

CLabel& CLabel::SetFontBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    setFont(f);
    update();
    return *this;
}

CLabel& CLabel::SetFontSize(int points)
{
    QFont f = font();
    if (points > 0)
        f.setPointSize(points);
    setFont(f);
    update();
    return *this;
}

CLabel& CLabel::SetLink(bool link, const QString& target)
{
    m_link = link;
    m_target = target;
    SetNotify(link);
    UpdateCursor();
    UpdateFocusPolicy();
    return *this;
}

CLabel& CLabel::SetLinkCursor(const QCursor& cursor)
{
    m_linkCursor = cursor;
    UpdateCursor();
    return *this;
}

CLabel& CLabel::SetNotify(bool notify)
{
    m_notify = notify;
    UpdateFocusPolicy();
    return *this;
}

void CLabel::UpdateFocusPolicy()
{
    setFocusPolicy(IsClickable() ? Qt::StrongFocus : Qt::NoFocus);
}

void CLabel::UpdateCursor()
{
    if (m_link)
        setCursor(m_linkCursor.value_or(QCursor(Qt::PointingHandCursor)));
    else if (m_linkCursor)
        setCursor(*m_linkCursor);
    else
        unsetCursor();
}

void CLabel::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    if (m_link)
        update();
    QLabel::enterEvent(event);
}

void CLabel::leaveEvent(QEvent* event)
{
    m_hover = false;
    if (m_link)
        update();
    QLabel::leaveEvent(event);
}

void CLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    Activate();
}

void CLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool activates = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!IsClickable() || !activates || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QLabel::keyPressEvent(event);
    event->accept();
    if (!event->isAutoRepeat())
        Activate();
}

void CLabel::Activate()
{
    if (m_link)
        lumora::ShellOpen(m_target.isEmpty() ? text() : m_target);
    if (m_notify) {
        lumora::SendCommandToOwner(this, STN_CLICKED);
        emit Clicked();
    }
}

void CLabel::paintEvent(QPaintEvent*)
{
    lumora::UpdateAccessibleName(this, text());
    QPainter painter(this);
    QColor color = lumora::QColorFromColorRef(m_textColor);
    if (!isEnabled())
        color = lumora::QColorFromColorRef(static_cast<uint32_t>(CSkin::GetValue(COLOR_DLGTEXT_L)));
    else if (m_link && m_hover)
        color = color.lighter(125);
    painter.setPen(color);
    QFont f = font();
    if (m_link && m_hover)
        f.setUnderline(true);
    painter.setFont(f);
    const Qt::Alignment align = alignment();
    const int flags = static_cast<int>(align) | (wordWrap() ? Qt::TextWordWrap : 0);
    painter.drawText(contentsRect(), flags, text());
    if (hasFocus())
        lumora::DrawFocusRing(painter, QRectF(rect()), kRingCorner);
}
