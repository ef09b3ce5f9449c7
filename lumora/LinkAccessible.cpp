#include "LinkAccessible.h"

#include "lumora/AccessibleName.h"
#include "lumora/Label.h"

#include <QTimer>

CLinkAccessible::CLinkAccessible(CLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

CLabel* CLinkAccessible::Label() const { return static_cast<CLabel*>(widget()); }

QAccessible::Role CLinkAccessible::role() const
{
    return Label()->IsClickable() ? QAccessible::Link : QAccessible::StaticText;
}

QString CLinkAccessible::text(QAccessible::Text kind) const
{
    const CLabel* label = Label();
    switch (kind) {
    case QAccessible::Name:
        return label->accessibleName().isEmpty() ? label->text() : label->accessibleName();
    case QAccessible::Description:
        return lumora::AccessibleDescriptionFor(label, text(QAccessible::Name));
    default:
        return QAccessibleWidget::text(kind);
    }
}

QAccessible::State CLinkAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (Label()->IsClickable())
        state.linked = true;
    return state;
}

QStringList CLinkAccessible::actionNames() const
{
    QStringList names;
    if (Label()->IsClickable() && widget()->isEnabled())
        names << pressAction();
    return names << QAccessibleWidget::actionNames();
}

void CLinkAccessible::doAction(const QString& actionName)
{
    if (actionName != pressAction() || !Label()->IsClickable() || !widget()->isEnabled())
        return QAccessibleWidget::doAction(actionName);
    // Acted on after the call returns, so a dialog the link opens does not
    // hold up the screen reader's request.
    QTimer::singleShot(0, Label(), [label = Label()] { label->Activate(); });
}

QStringList CLinkAccessible::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction() && Label()->IsClickable())
        return {QStringLiteral("Return"), QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}
