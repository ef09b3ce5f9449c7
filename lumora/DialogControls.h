#pragma once
// The controls that belong to one dialog: every widget below it that carries
// a control id, in creation order, leaving out separate windows and dialogs
// nested in it (they have their own template id and translate themselves).
#include <vector>

class QWidget;

namespace lumora {

std::vector<QWidget*> DialogControls(QWidget* dialog);

}  // namespace lumora
