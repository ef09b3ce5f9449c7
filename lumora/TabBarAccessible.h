#pragma once
// What screen readers see of a Lumora tab bar (the editor's pages, the
// library's kinds): a page tab list named by the tab it shows, whose page
// tabs are named by their texts, read as selected when theirs is the tab
// shown, and turned to by the "press" action as by a click.
#include "lumora/LumoraApi.h"

#include <QAccessibleWidget>
#include <vector>

class QTabBar;

class LUMORA_API CTabBarAccessible : public QAccessibleWidget {
public:
    explicit CTabBarAccessible(QTabBar* bar);
    ~CTabBarAccessible() override;

    // Named by the tab it shows, as the page it stands for is.
    QString text(QAccessible::Text kind) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    QTabBar* Bar() const;

    mutable std::vector<QAccessible::Id> m_tabs;
};
