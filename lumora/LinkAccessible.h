#pragma once
// What screen readers see of a Lumora label that acts on a click: a link
// named by its text, described by its tooltip, focusable, whose "press"
// action does what the click does. A label that does nothing stays a plain
// text.
#include "lumora/LumoraApi.h"

#include <QAccessibleWidget>

class CLabel;

class LUMORA_API CLinkAccessible : public QAccessibleWidget {
public:
    explicit CLinkAccessible(CLabel* label);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    CLabel* Label() const;
};
