#include "ControlId.h"

#include "lumora/DialogControls.h"

#include <QVariant>
#include <QWidget>

namespace lumora {

namespace {

std::optional<int> IntProperty(const QObject* object, const char* name)
{
    if (!object)
        return std::nullopt;
    const QVariant value = object->property(name);
    bool ok = false;
    const int id = value.toInt(&ok);
    if (!value.isValid() || !ok)
        return std::nullopt;
    return id;
}

}  // namespace

void SetControlId(QObject* object, int id)
{
    if (object)
        object->setProperty(kControlIdProperty, id);
}

std::optional<int> GetControlId(const QObject* object) { return IntProperty(object, kControlIdProperty); }

void SetTemplateId(QWidget* dialog, int id)
{
    if (dialog)
        dialog->setProperty(kTemplateIdProperty, id);
}

std::optional<int> GetTemplateId(const QObject* object) { return IntProperty(object, kTemplateIdProperty); }

QWidget* FindControl(QWidget* dialog, int id)
{
    for (QWidget* control : DialogControls(dialog)) {
        if (GetControlId(control) == id)
            return control;
    }
    return nullptr;
}

}  // namespace lumora
