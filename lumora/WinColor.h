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

// The contrast ratio of two colours as the web's accessibility guidelines
// measure it (1 to 21); body text needs at least 4.5.
LUMORA_API double ContrastRatio(const QColor& a, const QColor& b);
inline constexpr double kReadableContrast = 4.5;

}  // namespace lumora
