#include "TitleButtonControl.h"

#include "lumora/ButtonAccessible.h"
#include "lumora/FocusRing.h"
#include "lumora/AccessibleName.h"
#include "lumora/TitleButtons.h"

#include <QPainter>

namespace {

constexpr qreal kRingCorner = 3.0;

}  // namespace

CTitleButtonControl::CTitleButtonControl(int buttonId, QWidget* frame) : QAbstractButton(frame), m_buttonId(buttonId)
{
    // The frame keeps the pointer: it draws hover and press itself.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    SetButtonId(buttonId);
}

void CTitleButtonControl::SetButtonId(int buttonId)
{
    m_buttonId = buttonId;
    const QString name = lumora::TitleButtonName(buttonId);
    setObjectName(QStringLiteral("titleButton%1").arg(buttonId));
    if (accessibleName() != name)
        setAccessibleName(name);
}

void CTitleButtonControl::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    lumora::DrawFocusRing(painter, QRectF(rect()), kRingCorner);
}

void CTitleButtonControl::keyPressEvent(QKeyEvent* event)
{
    if (!lumora::ClickOnReturn(this, event))
        QAbstractButton::keyPressEvent(event);
}

namespace lumora {

QString TitleButtonName(int buttonId)
{
    switch (buttonId) {
    case TB_CLOSE:
        return lumora::AccessibleText(L"Close");
    case TB_OK:
        return lumora::AccessibleText(L"OK");
    case TB_MAXIMIZE:
        return lumora::AccessibleText(L"Maximise");
    case TB_RESTORE:
        return lumora::AccessibleText(L"Restore Down");
    case TB_MINIMIZE:
        return lumora::AccessibleText(L"Minimise");
    case TB_MENU:
        return lumora::AccessibleText(L"Menu");
    default:
        return {};
    }
}

}  // namespace lumora
