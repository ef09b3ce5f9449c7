#pragma once
// Numeric identifiers on Qt objects. Every control of a dialog carries its
// control id and every dialog its template id, so language keys such as
// "IDD393_1105" and the program's control numbers stay valid. Menu actions
// carry their command id the same way.
#include "lumora/LumoraApi.h"

#include <optional>

class QObject;
class QWidget;

namespace lumora {

inline constexpr char kControlIdProperty[] = "controlId";
inline constexpr char kTemplateIdProperty[] = "templateId";

LUMORA_API void SetControlId(QObject* object, int id);
LUMORA_API std::optional<int> GetControlId(const QObject* object);

LUMORA_API void SetTemplateId(QWidget* dialog, int id);
LUMORA_API std::optional<int> GetTemplateId(const QObject* object);

// The control with that id among the dialog's own controls (not those of a
// dialog nested in it), or null.
LUMORA_API QWidget* FindControl(QWidget* dialog, int id);

}  // namespace lumora
