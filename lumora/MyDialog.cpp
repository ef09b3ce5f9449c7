#include "MyDialog.h"

#include "lumora/ControlId.h"
#include "lumora/SkinPalette.h"
#include "lumora/Skin.h"
#include "lumora/WinColor.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTextEdit>
#include <algorithm>

CMyDialog::CMyDialog(int templateId, QWidget* parent)
    : QDialog(parent),
      m_templateId(templateId),
      m_borderColor(static_cast<uint32_t>(CSkin::GetValue(COLOR_DLGBORDER)))
{
    lumora::SetTemplateId(this, templateId);
    // A dialog asks for a window of its own; a panel is a plain child.
    if (parent)
        setWindowFlags(Qt::Widget);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_StyledBackground, false);
    ApplySkinPalette();
}

CMyDialog::~CMyDialog() = default;

bool CMyDialog::Create(int templateId, QWidget* parent)
{
    m_templateId = templateId;
    lumora::SetTemplateId(this, templateId);
    setParent(parent, parent ? Qt::Widget : Qt::Dialog);
    if (parent)
        setWindowFlags(Qt::Widget);
    ApplySkinPalette();
    InitOnce();
    return true;
}

bool CMyDialog::OnInitDialog() { return true; }

void CMyDialog::InitOnce()
{
    if (m_initialised)
        return;
    m_initialised = true;
    OnInitDialog();
}

void CMyDialog::AddExcludeControl(QWidget* control)
{
    if (control && !IsExcludedControl(control))
        m_excluded.emplace_back(control);
}

bool CMyDialog::IsExcludedControl(const QWidget* control) const
{
    return std::any_of(m_excluded.begin(), m_excluded.end(), [&](const QPointer<QWidget>& w) { return w == control; });
}

void CMyDialog::SetBorderColor(uint32_t color)
{
    m_borderColor = color;
    update();
}

void CMyDialog::SetBorderWidth(int pixels)
{
    m_borderWidth = std::max(0, pixels);
    setContentsMargins(m_borderWidth, m_borderWidth, m_borderWidth, m_borderWidth);
    update();
}

void CMyDialog::SetCustomNC(int flag)
{
    m_customNC = flag;
    update();
}

void CMyDialog::SetRichTextDefaultProp(QTextEdit* edit)
{
    if (!edit)
        return;
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, lumora::SkinColor(COLOR_DLGBK));
    palette.setColor(QPalette::Text, lumora::SkinColor(COLOR_DLGTEXT_H));
    edit->setPalette(palette);
    edit->setTextColor(lumora::SkinColor(COLOR_DLGTEXT_H));
}

void CMyDialog::ApplySkinPalette() { setPalette(lumora::SkinPalette(COLOR_DLGBK)); }

// Static texts take the skin's text colour unless excluded; an excluded one
// keeps what its owner gave it.
void CMyDialog::ColourControl(QWidget* control)
{
    auto* label = qobject_cast<QLabel*>(control);
    if (!label || IsExcludedControl(label))
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, lumora::SkinColor(COLOR_DLGTEXT_H));
    palette.setColor(QPalette::Inactive, QPalette::WindowText, lumora::SkinColor(COLOR_DLGTEXT_H));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, lumora::SkinColor(COLOR_DLGTEXT_L));
    label->setPalette(palette);
}

// Enter and Escape stop here: the framework would click a default button or
// end the dialog, which a panel inside the editor must never do.
void CMyDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Escape:
            OnCancel();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            OnOK();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

void CMyDialog::showEvent(QShowEvent* event)
{
    InitOnce();
    for (QLabel* label : findChildren<QLabel*>())
        ColourControl(label);
    QDialog::showEvent(event);
}

void CMyDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), lumora::SkinColor(COLOR_DLGBK));
    if (m_customNC && m_borderWidth > 0) {
        const QColor border = lumora::QColorFromColorRef(m_borderColor);
        const int w = m_borderWidth;
        painter.fillRect(0, 0, width(), w, border);
        painter.fillRect(0, height() - w, width(), w, border);
        painter.fillRect(0, 0, w, height(), border);
        painter.fillRect(width() - w, 0, w, height(), border);
    }
}
