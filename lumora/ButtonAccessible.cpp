#include "ButtonAccessible.h"

#include "lumora/AccessibleName.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/Label.h"
#include "lumora/LinkAccessible.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/TabBarAccessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QKeyEvent>

namespace {

QAccessibleInterface* LumoraButtonFactory(const QString&, QObject* object)
{
    if (qobject_cast<CGdipButton*>(object) || qobject_cast<CGdiplusButton*>(object))
        return new CButtonAccessible(static_cast<QAbstractButton*>(object));
    if (auto* label = qobject_cast<CLabel*>(object))
        return new CLinkAccessible(label);
    if (auto* tabs = qobject_cast<CMyTabCtrl*>(object))
        return new CTabBarAccessible(tabs);
    return nullptr;
}

// The on/off state of a picture button that has one: toggled to its
// alternate picture, or marked checked by its owner.
bool HasOnOffState(const QAbstractButton* button, bool* on)
{
    const auto* picture = qobject_cast<const CGdipButton*>(button);
    if (!picture || !picture->HasOnOffState())
        return false;
    *on = picture->GetCheck() || picture->IsToggled();
    return true;
}

}  // namespace

CButtonAccessible::CButtonAccessible(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

QAbstractButton* CButtonAccessible::Button() const { return static_cast<QAbstractButton*>(widget()); }

QString CButtonAccessible::text(QAccessible::Text kind) const
{
    const QAbstractButton* button = Button();
    const QString name = lumora::AccessibleNameFor(button->text(), button->toolTip());
    switch (kind) {
    case QAccessible::Name:
        return button->accessibleName().isEmpty() ? name : button->accessibleName();
    case QAccessible::Description:
        return lumora::AccessibleDescriptionFor(button, text(QAccessible::Name));
    default:
        return QAccessibleWidget::text(kind);
    }
}

QAccessible::State CButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const QAbstractButton* button = Button();
    state.pressed = button->isDown();
    bool on = false;
    if (HasOnOffState(button, &on)) {
        state.checkable = true;
        state.checked = on;
    }
    return state;
}

QStringList CButtonAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << pressAction();
    names << QAccessibleWidget::actionNames();
    return names;
}

void CButtonAccessible::doAction(const QString& actionName)
{
    // The click is played after the call returns, so a dialog the button
    // opens does not hold up the screen reader's request.
    if (actionName == pressAction() && widget()->isEnabled())
        Button()->animateClick();
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList CButtonAccessible::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Space"), QStringLiteral("Return")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

namespace lumora {

void InstallButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(LumoraButtonFactory);
        return true;
    }();
    (void)installed;
}

bool ClickOnReturn(QAbstractButton* button, QKeyEvent* event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isReturn || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (!event->isAutoRepeat())
        button->click();
    event->accept();
    return true;
}

void NotifyCheckedChanged(QAbstractButton* button, bool checkable)
{
    if (!checkable || !QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

}  // namespace lumora
