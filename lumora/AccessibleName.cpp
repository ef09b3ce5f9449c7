#include "AccessibleName.h"

#include <QWidget>

namespace lumora {

void UpdateAccessibleName(QWidget* control, const QString& text)
{
    if (!control)
        return;
    QString name = text;
    name.remove(QLatin1Char('&'));
    if (name.trimmed().isEmpty())
        name = control->toolTip();
    if (control->accessibleName() != name)
        control->setAccessibleName(name);
}

}  // namespace lumora
