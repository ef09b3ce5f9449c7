#include "TabStepKeys.h"

#include <QPointer>
#include <QShortcut>
#include <QTabBar>

namespace lumora {

void AddTabStepKeys(QTabBar* tabs, QWidget* owner, const QKeySequence& next, const QKeySequence& previous)
{
    const std::pair<QKeySequence, int> steps[] = {{next, 1}, {previous, -1}};
    for (const auto& [keys, step] : steps) {
        auto* shortcut = new QShortcut(keys, owner);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, tabs, [tabs, step = step] {
            const int count = tabs->count();
            if (count > 0 && tabs->isEnabled())
                tabs->setCurrentIndex((tabs->currentIndex() + step + count) % count);
        });
    }
}

}  // namespace lumora
