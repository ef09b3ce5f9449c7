#pragma once
// Screen readers and GUI test tools find a control by its accessible name:
// its (translated) text, else its tooltip. A text that says nothing by
// itself (a single letter, "..") gives way to the tooltip, which says what
// the control does.
#include "lumora/LumoraApi.h"

class QString;
class QWidget;

namespace lumora {

// The name a control with this text and tooltip is announced by.
LUMORA_API QString AccessibleNameFor(const QString& text, const QString& toolTip);
LUMORA_API void UpdateAccessibleName(QWidget* control, const QString& text);
// A name given in code ("Close", "Increase"): the current language's text
// for the key in its [Text] section, the key itself when it has none.
LUMORA_API QString AccessibleText(const wchar_t* key);
// A control's description: the one given in code, else its tooltip unless
// the tooltip only repeats the name.
LUMORA_API QString AccessibleDescriptionFor(const QWidget* control, const QString& name);

}  // namespace lumora
