#include "DialogControls.h"

#include "lumora/ControlId.h"

#include <QWidget>

namespace lumora {

namespace {

void Collect(QWidget* parent, std::vector<QWidget*>& controls)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow() || GetTemplateId(widget))
            continue;
        if (GetControlId(widget))
            controls.push_back(widget);
        Collect(widget, controls);
    }
}

}  // namespace

std::vector<QWidget*> DialogControls(QWidget* dialog)
{
    std::vector<QWidget*> controls;
    if (dialog)
        Collect(dialog, controls);
    return controls;
}

}  // namespace lumora
