#include "EditorStatusLine.h"

#include "lumora/Lang.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace {

QString Text(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }  // lang-ids: 1309 1390 1391 1392 1394

// The arrow that tells a button opens a menu.
const QString kMenuArrow = QStringLiteral(" \u25BE");

// A label's text is its name for a screen reader; the description says what
// it tells.
QLabel* MakeLabel(QWidget* parent, const QString& description)
{
    auto* label = new QLabel(parent);
    label->setAccessibleDescription(description);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

// A button that opens its menu above itself (the line is the window's
// lowest row), filled afresh; it opens on a click or on its press action.
QToolButton* CEditorStatusLine::MakeMenuButton(const QString& accessibleName, const MenuFiller& fill)
{
    auto* button = new QToolButton(this);
    button->setAccessibleName(accessibleName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral("QToolButton { padding: 2px 6px; }"));
    QObject::connect(button, &QToolButton::clicked, button, [button, &fill] {
        QMenu menu(button);
        if (fill)
            fill(&menu);
        if (menu.isEmpty())
            return;
        const QSize size = menu.sizeHint();
        button->setDown(true);
        menu.exec(button->mapToGlobal(QPoint(button->width() - size.width(), -size.height())));
        button->setDown(false);
    });
    return button;
}

CEditorStatusLine::CEditorStatusLine(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusLine"));
    setAccessibleName(Text(1390));
    setAutoFillBackground(true);
    QPalette palette = lumora::SkinPalette(COLOR_DLGBK);
    palette.setColor(QPalette::WindowText, lumora::SkinColor(COLOR_DLGTEXT_H));
    palette.setColor(QPalette::ButtonText, lumora::SkinColor(COLOR_DLGTEXT_H));
    setPalette(palette);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 4, 0);
    layout->setSpacing(16);
    m_pointer = MakeLabel(this, Text(1391));
    m_pointer->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("X -00000  Y -00000")));
    m_selection = MakeLabel(this, Text(1392));
    // A long selection text gives way to the buttons; its tooltip has it whole.
    m_selection->setMinimumWidth(0);
    m_selection->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_guides = MakeMenuButton(Text(1309), m_fillGuides);
    m_guides->setText(Text(1309) + kMenuArrow);
    m_zoom = MakeMenuButton(Text(1394), m_fillZoom);  // named by SetZoom

    layout->addWidget(m_pointer);
    layout->addWidget(m_selection, 1);
    layout->addWidget(m_guides);
    layout->addWidget(m_zoom);
    SetZoom(100, true);
}

void CEditorStatusLine::SetPointer(int x, int y)
{
    m_pointer->setText(QString::fromStdWString(Lang::FormatLangString(1300, x, y)));
}

void CEditorStatusLine::ClearPointer() { m_pointer->clear(); }

void CEditorStatusLine::SetSelectionText(const QString& text)
{
    m_selection->setText(text);
    m_selection->setToolTip(text);
}

void CEditorStatusLine::SetZoom(int percent, bool fit)
{
    // A plain percentage reads the same in every language.
    const QString text = fit ? QString::fromStdWString(Lang::FormatLangString(1303, percent)) : QStringLiteral("%1%").arg(percent);
    m_zoom->setText(text + kMenuArrow);
    // A screen reader tells the zoom with the button's name.
    m_zoom->setAccessibleName(Text(1394) + QStringLiteral(": ") + text);
}

QString CEditorStatusLine::PointerText() const { return m_pointer->text(); }
QString CEditorStatusLine::SelectionText() const { return m_selection->text(); }
QString CEditorStatusLine::ZoomText() const { return m_zoom->text().chopped(kMenuArrow.size()); }
