#pragma once
// The palette a frame gives its controls: the skin's dialog text colours on
// the frame's background, so static texts, edits and lists follow the skin.
#include "lumora/LumoraApi.h"

#include <QPalette>

namespace lumora {

LUMORA_API QPalette SkinPalette(int backgroundIndex);
// The skin colour of an index as a Qt colour.
LUMORA_API QColor SkinColor(int index);

}  // namespace lumora
