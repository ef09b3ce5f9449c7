#pragma once
// Colours are kept as Windows colour values, 0x00BBGGRR (red in the low
// byte), in skin files and in the program; this is the one place that turns
// them into Qt colours for drawing.
#include "lumora/LumoraApi.h"

#include <QColor>
#include <cstdint>

namespace lumora {

// The top byte is ignored, as Windows does for plain colour values.
LUMORA_API QColor QColorFromColorRef(uint32_t colorRef);
LUMORA_API uint32_t ColorRefFromQColor(const QColor& color);

}  // namespace lumora
