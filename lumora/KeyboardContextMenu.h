#pragma once
// Shift+F10 asks the focused control for its context menu, as the Menu key
// does: the control gets a context-menu request from the keyboard, placed
// at its text cursor or current row, else at its middle.
#include "lumora/LumoraApi.h"

#include <QPoint>

class QWidget;

namespace lumora {

// Installs the key once for the whole program; safe to call often.
LUMORA_API void InstallKeyboardContextMenu();
// Where a menu asked for from the keyboard opens over the control.
LUMORA_API QPoint KeyboardMenuPoint(const QWidget* control);

}  // namespace lumora
