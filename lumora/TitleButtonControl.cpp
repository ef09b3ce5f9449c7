#include "TitleButtonControl.h"

#include "lumora/ButtonAccessible.h"
#include "lumora/FocusRing.h"
#include "lumora/Lang.h"
#include "lumora/TitleButtons.h"

#include <QPainter>

namespace {

constexpr qreal kRingCorner = 3.0;

QString LangTextOr(const wchar_t* key)
{
    const std::wstring text = Lang::LoadLangText(key);
    return QString::fromStdWString(text.empty() ? std::wstring(key) : text);
}

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
        return LangTextOr(L"Close");
    case TB_OK:
        return LangTextOr(L"OK");
    case TB_MAXIMIZE:
        return LangTextOr(L"Maximise");
    case TB_RESTORE:
        return LangTextOr(L"Restore Down");
    case TB_MINIMIZE:
        return LangTextOr(L"Minimise");
    case TB_MENU:
        return LangTextOr(L"Menu");
    default:
        return {};
    }
}

}  // namespace lumora
