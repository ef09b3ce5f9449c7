#pragma once
// Keys that step a tab bar to its next and previous tab as clicking the tabs
// does, wrapping round at either end, wherever the focus is in the owner's
// window while the owner shows.
#include "lumora/LumoraApi.h"

#include <QKeySequence>

class QTabBar;
class QWidget;

namespace lumora {

LUMORA_API void AddTabStepKeys(QTabBar* tabs, QWidget* owner, const QKeySequence& next, const QKeySequence& previous);

}  // namespace lumora
