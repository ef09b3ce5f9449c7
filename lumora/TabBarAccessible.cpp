#include "TabBarAccessible.h"

#include <QAccessibleActionInterface>
#include <QPointer>
#include <QTabBar>

namespace {

// One tab of the bar, known by its place.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(QTabBar* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Parent() ? Parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return Parent(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        if (kind == QAccessible::Name) {
            QString name = m_bar->accessibleTabName(m_index);
            return (name.isEmpty() ? m_bar->tabText(m_index) : name).remove(QLatin1Char('&'));
        }
        if (kind == QAccessible::Description)
            return m_bar->tabToolTip(m_index);
        return {};
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect tab = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(tab.topLeft()), tab.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        const bool current = m_bar->currentIndex() == m_index;
        state.selectable = true;
        state.selected = current;
        state.focusable = m_bar->focusPolicy() != Qt::NoFocus;
        state.focused = current && m_bar->hasFocus();
        state.disabled = !m_bar->isTabEnabled(m_index) || !m_bar->isEnabled();
        state.invisible = !m_bar->isVisible() || !m_bar->isTabVisible(m_index);
        state.offscreen = !m_bar->rect().intersects(m_bar->tabRect(m_index));
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        return isValid() && m_bar->isTabEnabled(m_index) ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && isValid() && m_bar->isTabEnabled(m_index))
            m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAccessibleInterface* Parent() const { return m_bar ? QAccessible::queryAccessibleInterface(m_bar) : nullptr; }

    QPointer<QTabBar> m_bar;
    int m_index;
};

}  // namespace

CTabBarAccessible::CTabBarAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}

CTabBarAccessible::~CTabBarAccessible()
{
    for (QAccessible::Id id : m_tabs)
        QAccessible::deleteAccessibleInterface(id);
}

QTabBar* CTabBarAccessible::Bar() const { return static_cast<QTabBar*>(widget()); }

QString CTabBarAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && Bar()->currentIndex() >= 0) {
        if (QAccessibleInterface* shown = child(Bar()->currentIndex()))
            return shown->text(QAccessible::Name);
    }
    return QAccessibleWidget::text(kind);
}

int CTabBarAccessible::childCount() const { return Bar()->count(); }

QAccessibleInterface* CTabBarAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (static_cast<int>(m_tabs.size()) <= index) {
        auto* tab = new TabAccessible(Bar(), static_cast<int>(m_tabs.size()));
        m_tabs.push_back(QAccessible::registerAccessibleInterface(tab));
    }
    return QAccessible::accessibleInterface(m_tabs[static_cast<size_t>(index)]);
}

int CTabBarAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        if (QAccessible::accessibleInterface(m_tabs[i]) == child)
            return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
    }
    return -1;
}

QAccessibleInterface* CTabBarAccessible::childAt(int x, int y) const
{
    const int index = Bar()->tabAt(Bar()->mapFromGlobal(QPoint(x, y)));
    return index >= 0 ? child(index) : nullptr;
}
