#pragma once
// What screen readers see of Lumora's owner-drawn buttons: a push button
// named by its text or tooltip, described by its tooltip, focusable, with
// its on/off state where it has one, and a "press" action that does exactly
// what a click does.
#include "lumora/LumoraApi.h"

#include <QAccessibleWidget>

class QAbstractButton;
class QKeyEvent;

class LUMORA_API CButtonAccessible : public QAccessibleWidget {
public:
    explicit CButtonAccessible(QAbstractButton* button);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QAbstractButton* Button() const;
};

namespace lumora {

// Makes Qt's accessibility ask Lumora for its buttons, links and tab bars;
// safe to call often.
LUMORA_API void InstallButtonAccessibility();
// Return and Enter click a focused button as Space does; true when the key
// was one of them.
LUMORA_API bool ClickOnReturn(QAbstractButton* button, QKeyEvent* event);
// Tells screen readers that a button's on/off state changed.
LUMORA_API void NotifyCheckedChanged(QAbstractButton* button, bool checkable);

}  // namespace lumora
