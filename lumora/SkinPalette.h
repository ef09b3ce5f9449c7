#pragma once
// The palette a frame gives its controls: the skin's dialog text colours on
// the frame's background, so static texts, edits and lists follow the skin.
#include "lumora/LumoraApi.h"

#include <QPalette>

namespace lumora {

LUMORA_API QPalette SkinPalette(int backgroundIndex);
// The skin colour of an index as a Qt colour.
LUMORA_API QColor SkinColor(int index);

// Gives every window of the program the skin's dark look, the ones the
// program does not draw itself included: message boxes, file and folder
// choosers, menus and tooltips (the Fusion style on a palette of the skin).
LUMORA_API void ApplySkinToApplication();

}  // namespace lumora
