#pragma once
// Screen readers and GUI test tools find a control by its accessible name:
// its (translated) text, else its tooltip.
#include "lumora/LumoraApi.h"

class QString;
class QWidget;

namespace lumora {

LUMORA_API void UpdateAccessibleName(QWidget* control, const QString& text);

}  // namespace lumora
